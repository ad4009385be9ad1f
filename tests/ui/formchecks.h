#pragma once

#include <QLabel>
#include <QPalette>
#include <QTest>
#include <QWidget>
#include <initializer_list>

// Where a control of a form sits: its object name and its place in its parent's client area;
// a width of -1 means the control sizes itself to its text.
struct Placement {
    const char* name;
    int x;
    int y;
    int width = -1;
    int height = -1;
};

inline bool CheckPlacements(QWidget* form, std::initializer_list<Placement> placements) {
    for (const Placement& p : placements) {
        const QWidget* w = form->findChild<QWidget*>(QString::fromLatin1(p.name));
        if (w == nullptr) {
            qWarning("no control %s", p.name);
            return false;
        }
        const QRect g = w->geometry();
        const bool sized = p.width < 0 || (g.width() == p.width && g.height() == p.height);
        if (g.x() != p.x || g.y() != p.y || !sized) {
            qWarning("%s at %d,%d %dx%d", p.name, g.x(), g.y(), g.width(), g.height());
            return false;
        }
    }
    return true;
}

template <typename T>
T* Child(QWidget* form, const char* name) {
    return form->findChild<T*>(QString::fromLatin1(name));
}

inline QString LabelText(QWidget* form, const char* name) {
    const QLabel* label = Child<QLabel>(form, name);
    return label == nullptr ? QStringLiteral("<missing>") : label->text();
}

inline QColor TextColor(QWidget* form, const char* name) {
    return Child<QLabel>(form, name)->palette().color(QPalette::WindowText);
}
