// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "popupaccessibility.h"

#include <QAccessible>
#include <QAccessibleObject>
#include <QApplication>
#include <QWidget>

namespace {

class ApplicationWithPopup final : public QAccessibleApplication
{
public:
    int childCount() const override { return QAccessibleApplication::childCount() + (popup() ? 1 : 0); }

    QAccessibleInterface *child(int index) const override
    {
        if (QWidget *open = popup(); open && index == QAccessibleApplication::childCount())
            return QAccessible::queryAccessibleInterface(open);
        return QAccessibleApplication::child(index);
    }

    int indexOfChild(const QAccessibleInterface *child) const override
    {
        if (QWidget *open = popup(); open && child && child->object() == open)
            return QAccessibleApplication::childCount();
        return QAccessibleApplication::indexOfChild(child);
    }

    QAccessibleInterface *focusChild() const override
    {
        if (QWidget *open = popup())
            return QAccessible::queryAccessibleInterface(open);
        return QAccessibleApplication::focusChild();
    }

private:
    static QWidget *popup() { return QApplication::activePopupWidget(); }
};

QAccessibleInterface *applicationFactory(const QString &className, QObject *object)
{
    if (object == qApp && className == QLatin1String("QApplication"))
        return new ApplicationWithPopup;
    return nullptr;
}

} // namespace

void exposePopupsToAccessibility()
{
    QAccessible::installFactory(applicationFactory);
}
