#include "application.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

namespace {

// Without a display Qt aborts with a message about platform plugins; say
// plainly what is missing instead.
bool displayMissing()
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    return qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")
            && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
#else
    return false;
#endif
}

} // namespace

int main(int argc, char *argv[])
{
    if (displayMissing()) {
        std::fputs("quillery: no display found; run it in a desktop session or under xvfb-run\n", stderr);
        return EXIT_FAILURE;
    }
    QApplication app(argc, argv);
    prepareApplication();
    return runMainWindow(QApplication::applicationDirPath());
}
