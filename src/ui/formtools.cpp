#include "ui/formtools.h"

#include <QFontInfo>
#include <QLabel>
#include <QPalette>
#include <QWidget>

#include "ui/tahomafiles.h"

namespace veltrin {

QFont TahomaFont(int pixelSize, bool bold) {
    EnsureTahomaLoaded();
    // Fonts of Arial's widths come close to Tahoma's when it is not installed.
    QFont font;
    font.setFamilies(
        {QStringLiteral("Tahoma"), QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    // Other sans-serif fallbacks run wider and would push the fixed forms' texts past their
    // boxes; a slightly condensed face keeps them inside.
    if (!font.families().contains(QFontInfo(font).family())) {
        font.setStretch(QFont::SemiCondensed);
    }
    return font;
}

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void ApplyLayout(QWidget* control, FormControl id) {
    const ControlLayout& entry = LayoutOf(id);
    const FormRect place = PlaceInParent(id);
    if (entry.Parent == entry.Control) {
        control->setFixedSize(place.Width, place.Height);
    } else if (entry.Size == Sizing::ToText) {
        control->move(place.Left, place.Top);
    } else {
        control->setGeometry(place.Left, place.Top, place.Width, place.Height);
    }
    if (entry.FontPixels != 0) {
        control->setFont(TahomaFont(entry.FontPixels, entry.Bold));
    }
}

QLabel* MakeLabel(QWidget* parent, const char* objectName, FormControl id) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(objectName));
    label->setTextFormat(Qt::PlainText);
    ApplyLayout(label, id);
    const TextLook& look = LayoutOf(id).Look;
    label->setAlignment((look.CentreHorizontally ? Qt::AlignHCenter : Qt::AlignLeft) |
                        (look.CentreVertically ? Qt::AlignVCenter : Qt::AlignTop));
    label->setWordWrap(look.WordWrap);
    return label;
}

void SetLabelText(QLabel* label, FormControl id, std::string_view text) {
    label->setText(ToQString(text));
    if (LayoutOf(id).Size == Sizing::ToText) {
        label->adjustSize();
    } else {
        const FormRect place = PlaceInParent(id);
        label->setGeometry(place.Left, place.Top, place.Width, place.Height);
    }
}

void SetTextColor(QLabel* label, const QColor& color) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
}

}  // namespace veltrin
