// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "popupaccessibility.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAction>
#include <QAccessibleObject>
#include <QApplication>
#include <QMenu>
#include <QPointer>
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

// A checkable entry that outlives the menus it is put in, as the list's two
// entries outlive the context menu made afresh on each opening. Qt keeps the
// interface it makes for an entry with the first menu it was in, and once that
// menu is gone the entry reads as empty. This one finds its open menu each time
// it is asked, and says what the entry does: its status tip.
class CheckableMenuEntry final : public QAccessibleInterface, public QAccessibleActionInterface
{
public:
    explicit CheckableMenuEntry(QAction *action) : m_action(action) { }

    bool isValid() const override { return m_action; }
    QObject *object() const override { return m_action; }
    QWindow *window() const override
    {
        QMenu *open = menu();
        return open ? open->window()->windowHandle() : nullptr;
    }
    QAccessibleInterface *parent() const override { return QAccessible::queryAccessibleInterface(menu()); }
    QAccessibleInterface *child(int) const override { return nullptr; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }

    QString text(QAccessible::Text kind) const override
    {
        switch (kind) {
        case QAccessible::Name:
            return withoutAccessKeyMarks(m_action->text());
        case QAccessible::Description:
            return m_action->statusTip();
        case QAccessible::Accelerator:
            return QKeySequence::mnemonic(m_action->text()).toString(QKeySequence::NativeText);
        default:
            return {};
        }
    }
    void setText(QAccessible::Text, const QString &) override { }

    QRect rect() const override
    {
        QMenu *open = menu();
        return open ? open->actionGeometry(m_action).translated(open->mapToGlobal(QPoint(0, 0))) : QRect();
    }

    // Qt's bridge to AT-SPI passes no "checkable" state on, so there the
    // entry says by its role that it can be ticked; UI Automation reads the
    // state of a menu item.
    QAccessible::Role role() const override
    {
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
        return QAccessible::MenuItem;
#else
        return QAccessible::CheckBox;
#endif
    }

    QAccessible::State state() const override
    {
        QAccessible::State state;
        QMenu *open = menu();
        state.invisible = !open || !open->isVisible() || !m_action->isVisible();
        state.focused = open && open->activeAction() == m_action;
        state.disabled = !m_action->isEnabled();
        state.checkable = true;
        state.checked = m_action->isChecked();
        return state;
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface *>(this) : nullptr;
    }
    QStringList actionNames() const override { return {toggleAction()}; }
    void doAction(const QString &name) override
    {
        if ((name == toggleAction() || name == pressAction()) && m_action->isEnabled())
            m_action->trigger();
    }
    QStringList keyBindingsForAction(const QString &) const override { return {}; }

private:
    // The open menu that holds the entry, else any menu that does.
    QMenu *menu() const
    {
        QMenu *holder = nullptr;
        for (QObject *associated : m_action->associatedObjects()) {
            if (auto *candidate = qobject_cast<QMenu *>(associated)) {
                if (candidate->isVisible())
                    return candidate;
                holder = candidate;
            }
        }
        return holder;
    }

    static QString withoutAccessKeyMarks(const QString &caption)
    {
        QString name;
        for (qsizetype i = 0; i < caption.size(); ++i) {
            if (caption[i] == u'&' && ++i == caption.size())
                break;
            name += caption[i];
        }
        return name;
    }

    QPointer<QAction> m_action;
};

QAccessibleInterface *applicationFactory(const QString &className, QObject *object)
{
    if (object == qApp && className == QLatin1String("QApplication"))
        return new ApplicationWithPopup;
    if (auto *action = qobject_cast<QAction *>(object); action && action->isCheckable() && className == QLatin1String("QAction"))
        return new CheckableMenuEntry(action);
    return nullptr;
}

} // namespace

void exposePopupsToAccessibility()
{
    QAccessible::installFactory(applicationFactory);
}
