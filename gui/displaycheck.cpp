// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "displaycheck.h"

#include "platform/nativepath.h"

#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QStringList>

#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
#include "platform/displaysocket.h"
#endif

namespace {

#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)

// An environment variable for a message: control characters would act on the terminal.
QString shown(const QByteArray &value)
{
    QString text;
    for (const QChar c : QString::fromLocal8Bit(value))
        text += c.category() == QChar::Other_Control ? QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QChar(u'0')) : QString(c);
    return text;
}

struct Attempt {
    QString failure;       // empty: this platform may open
    QString missingPlugin; // the Debian package that brings the plugin, when that is what failed
};

Attempt tryWayland(const QString &pluginDirectory, const QString &pluginFile)
{
    if (qEnvironmentVariableIsSet("WAYLAND_SOCKET"))
        return {};
    QByteArray name = qgetenv("WAYLAND_DISPLAY");
    if (name.isEmpty())
        name = "wayland-0";
    const QString display = QStringLiteral("Wayland display %1").arg(shown(name));
    if (!pluginDirectory.isEmpty() && !QFileInfo::exists(pluginDirectory + u'/' + pluginFile))
        return {display + QStringLiteral(": Qt's Wayland plugin is not installed"), QStringLiteral("qt6-wayland")};
    QByteArray path = name;
    if (!name.startsWith('/')) {
        const QByteArray runtimeFolder = qgetenv("XDG_RUNTIME_DIR");
        if (runtimeFolder.isEmpty())
            return {display + QStringLiteral(": XDG_RUNTIME_DIR is not set"), {}};
        path = runtimeFolder + '/' + name;
    }
    const QString refusal = displaySocketRefusal(path);
    if (refusal.isEmpty())
        return {};
    return {QStringLiteral("%1 (%2): %3").arg(display, shown(path), refusal), {}};
}

Attempt tryX11(const QString &pluginDirectory)
{
    const QByteArray name = qgetenv("DISPLAY");
    if (name.isEmpty())
        return {QStringLiteral("no X display is set"), {}};
    const QString display = QStringLiteral("X display %1").arg(shown(name));
    if (!pluginDirectory.isEmpty() && !QFileInfo::exists(pluginDirectory + QStringLiteral("/libqxcb.so")))
        return {display + QStringLiteral(": Qt's X11 plugin is not installed"), QStringLiteral("qt6-qpa-plugins")};
    // Only ":N", ":N.S" and "unix:N" are local sockets; a display on a host is reached another way.
    const qsizetype colon = name.lastIndexOf(':');
    const QByteArray host = name.left(colon);
    QByteArray number = name.mid(colon + 1);
    number.truncate(number.indexOf('.') < 0 ? number.size() : number.indexOf('.'));
    bool isNumber = false;
    number.toUInt(&isNumber);
    if (colon < 0 || !(host.isEmpty() || host == "unix") || !isNumber)
        return {};
    const QByteArray path = "/tmp/.X11-unix/X" + number;
    const QString refusal = displaySocketRefusal(path);
    if (refusal.isEmpty() || displaySocketRefusal(path, true).isEmpty())
        return {};
    return {QStringLiteral("%1 (%2): %3").arg(display, shown(path), refusal), {}};
}

// The platforms Qt 6.4 tries, in its order.
QStringList platformsToTry()
{
    const QByteArray chosen = qgetenv("QT_QPA_PLATFORM");
    if (!chosen.isEmpty())
        return QString::fromLocal8Bit(chosen).split(u';', Qt::SkipEmptyParts);
    QStringList platforms;
    if (qEnvironmentVariableIsSet("DISPLAY"))
        platforms << QStringLiteral("xcb");
    if (qEnvironmentVariableIsSet("WAYLAND_DISPLAY") || qgetenv("XDG_SESSION_TYPE") == "wayland")
        platforms.prepend(QStringLiteral("wayland"));
    if (!platforms.contains(u"xcb"))
        platforms << QStringLiteral("xcb");
    return platforms;
}

#endif

} // namespace

QString unopenableDisplays(const QString &pluginDirectory)
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    QStringList failures;
    QStringList packages;
    for (const QString &platform : platformsToTry()) {
        const QString name = platform.section(u':', 0, 0).trimmed().toLower();
        Attempt attempt;
        if (name == u"xcb")
            attempt = tryX11(pluginDirectory);
        else if (name == u"wayland" || name == u"wayland-egl")
            attempt = tryWayland(pluginDirectory, name == u"wayland" ? QStringLiteral("libqwayland-generic.so")
                                                                     : QStringLiteral("libqwayland-egl.so"));
        else if (!name.isEmpty())
            return {};
        if (attempt.failure.isEmpty())
            return {};
        if (!failures.contains(attempt.failure))
            failures << attempt.failure;
        if (!attempt.missingPlugin.isEmpty() && !packages.contains(attempt.missingPlugin))
            packages << attempt.missingPlugin;
    }
    if (failures.isEmpty())
        return {};
    const QString advice = packages.isEmpty() ? QStringLiteral("run it in a desktop session or under xvfb-run")
                                              : QStringLiteral("install %1").arg(packages.join(QStringLiteral(" and ")));
    return QStringLiteral("cannot open a display: %1; %2").arg(failures.join(QStringLiteral("; ")), advice);
#else
    Q_UNUSED(pluginDirectory);
    return {};
#endif
}

QString platformPluginDirectory()
{
    // Plugins found some other way are for Qt to judge.
    if (qEnvironmentVariableIsSet("QT_PLUGIN_PATH") || qEnvironmentVariableIsSet("QT_QPA_PLATFORM_PLUGIN_PATH"))
        return {};
    const CheckedPath folder = programDirectory();
    if (!folder.ok() || QFileInfo::exists(folder.path + QStringLiteral("/qt.conf"))
        || QFileInfo::exists(folder.path + QStringLiteral("/platforms")))
        return {};
    return QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/platforms");
}
