#include "ui/progressbarrange.h"

#include <QProgressBar>
#include <QVariant>
#include <algorithm>

namespace veltrin {
namespace {
constexpr char kMaximumProperty[] = "veltrinMaximum";
}  // namespace

void SetBarRange(QProgressBar* bar, int maximum) {
    const int kept = std::max(maximum, 0);
    bar->setProperty(kMaximumProperty, kept);
    if (kept == 0) {
        bar->setRange(0, 1);
        bar->setValue(0);
    } else {
        bar->setRange(0, kept);
    }
}

int BarMaximum(const QProgressBar* bar) {
    const QVariant kept = bar->property(kMaximumProperty);
    return kept.isValid() ? kept.toInt() : bar->maximum();
}

}  // namespace veltrin
