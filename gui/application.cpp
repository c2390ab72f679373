// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "application.h"

#include "builtinpictures.h"
#include "base/identity.h"
#include "platform/nativepath.h"
#include "dialogfont.h"
#include "fixedsizewindows.h"
#include "frmmain.h"
#include "messages.h"
#include "popupaccessibility.h"

#include <QApplication>
#include <QIcon>
#include <QIconEngine>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cstdlib>

namespace {

// The program's icon: the design's own 16 px picture, and larger ones that
// keep docks and task switchers sharp. The pictures are read when the window
// system first asks for one; offscreen and on Wayland it never does, and the
// largest is more work to read than the rest of the icon and the baseball.
class ProgramIconEngine final : public QIconEngine
{
public:
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().pixmap(size, mode, state);
    }
    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        if (mode != QIcon::Normal || state != QIcon::Off)
            return {};
        QList<QSize> sizes;
        for (int side : Sides)
            sizes.append(QSize(side, side));
        return sizes;
    }
    QIconEngine *clone() const override { return new ProgramIconEngine(*this); }
    QString key() const override { return QStringLiteral("quillery"); }

private:
    static constexpr int Sides[] = {16, 32, 48, 64, 128, 256};

    const QIcon &icon()
    {
        if (m_icon.isNull()) {
            m_icon.addPixmap(builtInPicture(QStringLiteral(":/quillery-icon.png"), "png"));
            for (int side : Sides) {
                if (side != 16)
                    m_icon.addPixmap(builtInPicture(QStringLiteral(":/icons/quillery-%1.png").arg(side), "png"));
            }
        }
        return m_icon;
    }

    QIcon m_icon;
};

} // namespace

void prepareApplication()
{
    registerResources();
    addDialogFontSubstitutes();
    QApplication::setApplicationName(ApplicationTitle.toString());
    QApplication::setApplicationVersion(ApplicationVersion.toString());
    // The desktop entry's id: Wayland docks match the window to its entry by
    // it, as the app id. X11 docks match the first half of WM_CLASS, the
    // resource name, to the entry's StartupWMClass; Qt takes it from
    // RESOURCE_NAME, else from the program's file name, when the first window
    // is made. Both entries name this id, so both sessions find them.
    const QString desktopId = QStringLiteral("org.quillery.Quillery");
    QGuiApplication::setDesktopFileName(desktopId);
    if (QGuiApplication::platformName() == u"xcb" && qEnvironmentVariableIsEmpty("RESOURCE_NAME"))
        qputenv("RESOURCE_NAME", desktopId.toUtf8());
    QApplication::setWindowIcon(QIcon(new ProgramIconEngine));
    exposePopupsToAccessibility();
    // Elsewhere the window system itself offers no maximize to a fixed window.
    if (QGuiApplication::platformName().startsWith(u"wayland"))
        keepFixedSizeWindowsUnmaximized();
}

QString userSettingsFile()
{
    // Where QSettings keeps a user's INI file, found without QSettings, which
    // reads the file as soon as it exists and could wait on it for ever.
    const QString name = ApplicationTitle.toString();
#if defined(Q_OS_WIN)
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return QDir(QFileInfo(folder).path()).filePath(name + u'/' + name + QStringLiteral(".ini"));
#else
    const QByteArray configured = qgetenv("XDG_CONFIG_HOME");
    QString folder = QDir::homePath() + QStringLiteral("/.config");
    if (configured.startsWith('/'))
        folder = QFile::decodeName(configured);
    else if (!configured.isEmpty())
        folder = QDir::homePath() + u'/' + QFile::decodeName(configured);
    return QDir(folder).filePath(name + u'/' + name + QStringLiteral(".ini"));
#endif
}

int runMainWindow(const CheckedPath &programDirectory, NameRules startRules)
{
    if (!programDirectory.ok()) {
        showMessage(nullptr, QMessageBox::Critical, programDirectory.error);
        return EXIT_FAILURE;
    }
    frmMain window(programDirectory.path);
    window.setSettingsFile(userSettingsFile());
    window.setStartRules(startRules);
    if (!window.Form_Load())
        return EXIT_FAILURE;
    window.show();
    return QApplication::exec();
}
