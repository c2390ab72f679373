// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "application.h"
#include "displaycheck.h"

#include "base/identity.h"
#include "platform/nativepath.h"
#include "platform/platformfile.h"
#include "platform/startupheap.h"

#include <QApplication>
#include <QMessageBox>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

namespace {

constexpr char UsageText[] =
        "Usage: quillery [--fictional] [--unique] [--help | --version]\n"
        "Makes up random baseball player names in a window.\n"
        "\n"
        "Reads the roster Kordane.txt from the program's folder, or else from\n"
        "../share/quillery/ relative to it. \"Save to File\" appends the list to\n"
        "RandomNames.txt in the program's folder when the roster is there, and\n"
        "otherwise in your documents folder.\n"
        "\n"
        "The list's context menu (right-click it, or press Shift+F10 or the Menu\n"
        "key in it) has two entries that the program remembers for you:\n"
        "\"Made-up Names Only\" and \"No Repeated Names\".\n"
        "\n"
        "  --fictional     start with \"Made-up Names Only\" on: no name in the list\n"
        "                  is a real player's full name\n"
        "  --unique        start with \"No Repeated Names\" on: no name appears twice\n"
        "                  or is already in the list file\n"
        "  -h, --help      show this help and quit\n"
        "  -v, --version   show the version and quit\n"
        "\n"
        "Qt's own options, such as -platform or -style, work as in any Qt program.\n";

bool isArgument(const char *argument, const char *shortForm, const char *longForm)
{
    return std::strcmp(argument, shortForm) == 0 || std::strcmp(argument, longForm) == 0;
}

// Answers --help and --version without a display and without opening any
// window, as a shell user expects. Returns the exit status when one was
// asked for: a failure when the text could not be written.
std::optional<int> answeredInformationOption(int argc, char *argv[], bool outputOpen)
{
    for (int i = 1; i < argc; ++i) {
        const bool help = isArgument(argv[i], "-h", "--help");
        if (!help && !isArgument(argv[i], "-v", "--version"))
            continue;
        const QByteArray text = help ? QByteArray(UsageText) : "quillery " + ApplicationVersion.toString().toUtf8() + '\n';
        QString reason = QStringLiteral("standard output is closed");
        switch (connectStandardOutput(outputOpen)) {
        case TerminalOutput::NoTerminal: {
            // Started from a shortcut or Windows' Explorer: no console would
            // show the text, so a message box does.
            QApplication app(argc, argv);
            QMessageBox::information(nullptr, ApplicationTitle.toString(), QString::fromUtf8(text));
            return EXIT_SUCCESS;
        }
        case TerminalOutput::Ready:
            reason = writeAndFlush(stdout, text);
            break;
        case TerminalOutput::Closed:
            break;
        }
        if (reason.isEmpty())
            return EXIT_SUCCESS;
        writeAndFlush(stderr, QStringLiteral("quillery: cannot write the %1: %2\n")
                                      .arg(help ? QStringLiteral("help") : QStringLiteral("version"), reason).toUtf8());
        return EXIT_FAILURE;
    }
    return std::nullopt;
}

// Without a display Qt aborts with a message about platform plugins; say
// plainly what is missing instead. A platform named on the command line is
// Qt's to judge.
QString displayProblem(int argc, char *argv[])
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    for (int i = 1; i < argc; ++i)
        if (isArgument(argv[i], "-platform", "--platform"))
            return {};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")
        && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return QStringLiteral("no display found; run it in a desktop session or under xvfb-run");
    return unopenableDisplays(platformPluginDirectory());
#else
    Q_UNUSED(argc);
    Q_UNUSED(argv);
    return {};
#endif
}

// QApplication has taken its own options out of the arguments by now; what is
// left must be the window's own, and a window that ignored anything else would
// hide the mistake. Returns the choices to start with, or nothing after
// reporting the first argument that is none. Without a terminal to tell, as
// from a shortcut or a file dropped on the program, a message box tells it.
std::optional<NameRules> windowOptions(bool outputOpen)
{
    NameRules rules;
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    for (const QString &argument : arguments) {
        if (argument == u"--fictional") {
            rules.fictional = true;
        } else if (argument == u"--unique") {
            rules.unique = true;
        } else {
            const QString what = argument.startsWith(u'-') ? QStringLiteral("unknown option") : QStringLiteral("unexpected argument");
            const QString sentence = QStringLiteral("%1 %2. Try --help.").arg(what, argument);
            if (connectStandardOutput(outputOpen) == TerminalOutput::NoTerminal)
                QMessageBox::critical(nullptr, ApplicationTitle.toString(), sentence.front().toUpper() + sentence.mid(1));
            else
                writeAndFlush(stderr, (QStringLiteral("quillery: ") + sentence + u'\n').toUtf8());
            return std::nullopt;
        }
    }
    return rules;
}

} // namespace

int main(int argc, char *argv[])
{
    const bool outputOpen = reserveStandardDescriptors();
    if (const std::optional<int> status = answeredInformationOption(argc, argv, outputOpen))
        return *status;
    if (const QString problem = displayProblem(argc, argv); !problem.isEmpty()) {
        writeAndFlush(stderr, QStringLiteral("quillery: %1\n").arg(problem).toUtf8());
        return EXIT_FAILURE;
    }
    // A save that meets a file-size limit must fail with an error the user
    // sees, not end the program.
#ifdef SIGXFSZ
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    QApplication app(argc, argv);
    const std::optional<NameRules> rules = windowOptions(outputOpen);
    if (!rules)
        return EXIT_FAILURE;
    prepareStartupHeap();
    prepareApplication();
    return runMainWindow(programDirectory(), *rules);
}
