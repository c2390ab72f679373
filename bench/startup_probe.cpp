// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Start-up probes for quillery-bench: each starts like the program, shows its
// window and quits as soon as that window has painted for the first time.
// quillery-startup-probe runs the real start sequence on the roster beside it;
// empty-window-probe shows an empty window of the same size, the floor;
// text-window-probe adds one line of text to it, so it pays for the fonts;
// widgets-probe shows the program's window without its start sequence, so it
// pays for the controls, pictures and icon but reads no roster.

#include "platform/nativepath.h"
#include "platform/platformfile.h"
#include "platform/startupheap.h"
#include "gui/application.h"
#include "gui/displaycheck.h"
#include "gui/frmmain.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QWidget>

namespace {

class QuitAfterFirstPaint : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType() && static_cast<QWidget *>(watched)->isWindow())
            QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

int main(int argc, char *argv[])
{
#if !defined(QUILLERY_PROBE_EMPTY_WINDOW) && !defined(QUILLERY_PROBE_TEXT_WINDOW) && !defined(QUILLERY_PROBE_WIDGETS)
    // The program's own look for a display that can be opened.
    if (!unopenableDisplays(platformPluginDirectory()).isEmpty())
        return 1;
#endif
    QApplication app(argc, argv);
    QuitAfterFirstPaint quitter;
    app.installEventFilter(&quitter);
#if defined(QUILLERY_PROBE_EMPTY_WINDOW) || defined(QUILLERY_PROBE_TEXT_WINDOW)
    QWidget window;
    window.setFixedSize(493, 313);
#ifdef QUILLERY_PROBE_TEXT_WINDOW
    new QLabel(QStringLiteral("Quillery"), &window);
#endif
    window.show();
    return QApplication::exec();
#elif defined(QUILLERY_PROBE_WIDGETS)
    prepareStartupHeap();
    prepareApplication();
    frmMain window(QApplication::applicationDirPath());
    window.show();
    return QApplication::exec();
#else
    prepareStartupHeap();
    prepareApplication();
    return runMainWindow(programDirectory());
#endif
}
