#include "ui/formtools.h"

#include <QFontInfo>
#include <QLabel>
#include <QPalette>
#include <QWidget>

namespace veltrin {

QFont TahomaFont(int pixelSize, bool bold) {
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
    return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

void SetAutoSizeText(QLabel* label, const QString& text) {
    label->setText(text);
    label->adjustSize();
}

void StretchOverBox(QLabel* label, const QWidget* box) {
    label->resize(box->width() - 2 * label->x(), box->height() - 2 * label->y());
}

void SetTextColor(QLabel* label, const QColor& color) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
}

QLabel* MakePlainLabel(QWidget* parent, const char* objectName, int x, int y) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(objectName));
    label->setTextFormat(Qt::PlainText);
    label->move(x, y);
    return label;
}

}  // namespace veltrin
