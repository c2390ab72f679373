// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Which displays the window program finds it cannot open before Qt would
// abort, in Qt's order of platforms, with the plugins' folder given.

#include "gui/displaycheck.h"

#include <QTemporaryDir>
#include <QTest>

class TestDisplayCheck : public QObject
{
    Q_OBJECT

private slots:
    void report_data()
    {
        QTest::addColumn<QString>("environment"); // NAME=value pairs; $T is a fresh empty folder
        QTest::addColumn<bool>("pluginsInstalled");
        QTest::addColumn<QString>("expected");
        const QString advice = QStringLiteral("; run it in a desktop session or under xvfb-run");
        QTest::newRow("Wayland without its plugin")
                << "QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY=wayland-0 XDG_RUNTIME_DIR=$T" << false
                << "cannot open a display: Wayland display wayland-0: Qt's Wayland plugin is not installed; install qt6-wayland";
        QTest::newRow("Wayland first, then X11, neither plugin")
                << "WAYLAND_DISPLAY=w DISPLAY=:0 XDG_RUNTIME_DIR=$T" << false
                << "cannot open a display: Wayland display w: Qt's Wayland plugin is not installed; X display :0: "
                   "Qt's X11 plugin is not installed; install qt6-wayland and qt6-qpa-plugins";
        QTest::newRow("a Wayland session, no socket")
                << "XDG_SESSION_TYPE=wayland DISPLAY=unix:99999.0 XDG_RUNTIME_DIR=$T" << true
                << "cannot open a display: Wayland display wayland-0 ($T/wayland-0): No such file or directory; X display "
                   "unix:99999.0 (/tmp/.X11-unix/X99999): No such file or directory" + advice;
        QTest::newRow("no runtime folder") << "QT_QPA_PLATFORM=wayland;xcb WAYLAND_DISPLAY=w" << true
                << "cannot open a display: Wayland display w: XDG_RUNTIME_DIR is not set; no X display is set" + advice;
        QTest::newRow("a platform without a display") << "QT_QPA_PLATFORM=wayland;offscreen" << true << QString();
        QTest::newRow("an X display on a host") << "QT_QPA_PLATFORM=xcb DISPLAY=elsewhere:0" << true << QString();
        QTest::newRow("Wayland's socket handed over") << "QT_QPA_PLATFORM=wayland WAYLAND_SOCKET=3" << true << QString();
    }

    void report()
    {
        QFETCH(QString, environment);
        QFETCH(bool, pluginsInstalled);
        QFETCH(QString, expected);
        QTemporaryDir folder;
        for (const char *name : {"QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "WAYLAND_SOCKET", "DISPLAY", "XDG_SESSION_TYPE", "XDG_RUNTIME_DIR"})
            qunsetenv(name);
        for (const QString &pair : environment.replace(QStringLiteral("$T"), folder.path()).split(u' '))
            qputenv(pair.section(u'=', 0, 0).toLocal8Bit(), pair.section(u'=', 1).toLocal8Bit());
        const QString plugins = pluginsInstalled ? platformPluginDirectory() : folder.path();
        QCOMPARE(unopenableDisplays(plugins), expected.replace(QStringLiteral("$T"), folder.path()));
    }
};

QTEST_GUILESS_MAIN(TestDisplayCheck)

#include "test_displaycheck.moc"
