#include "ui/dialogdescription.h"

#include <QLabel>
#include <QStringList>
#include <QWidget>

namespace veltrin {

void DescribeByLabels(QWidget* dialog) {
    QStringList texts;
    for (const QLabel* label : dialog->findChildren<QLabel*>()) {
        if (!label->isHidden() && !label->text().isEmpty()) {
            texts << label->text();
        }
    }
    dialog->setAccessibleDescription(texts.join(QLatin1Char('\n')));
}

}  // namespace veltrin
