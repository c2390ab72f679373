#include "application.h"

#include "common/identity.h"
#include "dialogfont.h"
#include "frmmain.h"

#include <QApplication>
#include <QIcon>

#include <cstdlib>

// Q_INIT_RESOURCE must be used outside any namespace.
static void initResourcesOnce()
{
    Q_INIT_RESOURCE(quillery);
}

void registerResources()
{
    static const bool registered = (initResourcesOnce(), true);
    Q_UNUSED(registered);
}

void prepareApplication()
{
    registerResources();
    addDialogFontSubstitutes();
    QApplication::setApplicationName(ApplicationTitle.toString());
    QApplication::setApplicationVersion(ApplicationVersion.toString());
    // The desktop entry's id: Wayland docks match the window to its entry by it.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.quillery.Quillery"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/quillery-icon.png")));
}

int runMainWindow(const QString &programDirectory)
{
    frmMain window(programDirectory);
    if (!window.Form_Load())
        return EXIT_FAILURE;
    window.show();
    return QApplication::exec();
}
