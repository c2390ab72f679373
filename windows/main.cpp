#include "application.h"

#include <QApplication>

#include <csignal>
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
    // A save that meets a file-size limit must fail with an error the user
    // sees, not end the program.
#ifdef SIGXFSZ
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    QApplication app(argc, argv);
    prepareApplication();
    return runMainWindow(QApplication::applicationDirPath());
}
