// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "fixedsizewindows.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QWidget>
#include <QWindow>

namespace {

class MaximizeGuard final : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show && watched->isWidgetType()) {
            auto *widget = static_cast<QWidget *>(watched);
            if (widget->isWindow() && widget->windowHandle())
                connect(widget->windowHandle(), &QWindow::windowStateChanged, this, &MaximizeGuard::stateChanged,
                        Qt::UniqueConnection);
        }
        return false;
    }

private:
    // The request has just gone to the window system, from inside the code
    // that draws the title bar: the surface is made anew once that code is
    // done, and before the answer can be read.
    void stateChanged(Qt::WindowState state)
    {
        QPointer<QWindow> handle = qobject_cast<QWindow *>(sender());
        if (state == Qt::WindowMaximized && handle)
            QMetaObject::invokeMethod(this, [handle] { unmaximize(handle); }, Qt::QueuedConnection);
    }

    static void unmaximize(const QPointer<QWindow> &handle)
    {
        QWidget *window = nullptr;
        for (QWidget *candidate : QApplication::topLevelWidgets())
            if (candidate->windowHandle() == handle)
                window = candidate;
        if (!handle || !window || !window->isVisible() || !(handle->windowStates() & Qt::WindowMaximized)
            || window->minimumSize() != window->maximumSize())
            return;
        // QWidget's own hide and show, not a dialog's: those would end the
        // dialog's loop.
        // The window, not the widget, holds the state asked for, and a new
        // surface would ask for it again.
        window->QWidget::setVisible(false);
        handle->setWindowStates(handle->windowStates() & ~Qt::WindowMaximized);
        window->QWidget::setVisible(true);
    }
};

} // namespace

void keepFixedSizeWindowsUnmaximized()
{
    qApp->installEventFilter(new MaximizeGuard(qApp));
}
