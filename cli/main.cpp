// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

// quillery-names: the main window's start sequence without a window. Loads the
// roster, sets the year texts as if typed into the fields, runs the Time
// Period command and prints the list, one "First Last" line per name, or in a
// format for scripts. Can also append the list file's block to a file.

#include "base/identity.h"
#include "base/installlayout.h"
#include "base/mainstate.h"
#include "platform/nativepath.h"
#include "platform/platformfile.h"
#include "platform/startupheap.h"
#include "generate/allowednames.h"
#include "generate/generator.h"
#include "generate/randomsource.h"
#include "roster/period.h"
#include "roster/rosterfile.h"
#include "list/listfile.h"
#include "list/listformats.h"
#include "list/namefile.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>

#include <csignal>
#include <cstdio>
#include <memory>
#include <optional>
#include <vector>

namespace {

enum ExitStatus { Success = 0, Failure = 1, RosterUnusable = 2 };

const QString ProgramName = QStringLiteral("quillery-names");

// A Windows console gets the text as UTF-16, so that a folder named in a
// message shows right whatever its code page.
void print(FILE *stream, const QString &text)
{
    writeAndFlush(stream, text.toUtf8());
}

// Every error the program itself reports goes through here.
void printError(const QString &message)
{
    print(stderr, ProgramName + QStringLiteral(": ") + message + u'\n');
}

int usageError(const QString &message)
{
    printError(message + QStringLiteral(" Try --help."));
    return Failure;
}

// Help and version go to stdout like the names, and a failure to write them
// is reported like theirs.
int printInformation(const QString &what, const QString &text)
{
    const QString reason = writeAndFlush(stdout, text.toUtf8());
    if (reason.isEmpty())
        return Success;
    printError(QStringLiteral("cannot write the %1: %2").arg(what, reason));
    return Failure;
}

// An argument that is not valid UTF-8 would be read with U+FFFD in place of
// its bad bytes, and as a path would name another file. Returns the first one.
std::optional<QByteArray> undecodableArgument(int argc, char *argv[])
{
#ifndef Q_OS_WIN
    for (int i = 1; i < argc; ++i) {
        if (!decodesWithoutLoss(argv[i]))
            return QByteArray(argv[i]);
    }
#else
    // Qt reads the arguments from the system as UTF-16, not from argv.
    Q_UNUSED(argc);
    Q_UNUSED(argv);
#endif
    return std::nullopt;
}

// "a", "a or b", "a, b or c".
QString joinedWithOr(const QStringList &items)
{
    if (items.size() < 2)
        return items.join(QString());
    return items.first(items.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" or ") + items.last();
}

const QStringList Formats = {QStringLiteral("text"), QStringLiteral("csv"), QStringLiteral("json"), QStringLiteral("block")};

// An option whose value is missing would take the next option for its value:
// "--append --unique" would write a file named --unique and lose the rule.
// A value given with '=' is taken as it stands.
struct ValueOption {
    const QCommandLineOption &option;
    QString needs; // "a file name", as in "--append needs a file name"
};

bool isOption(const QString &argument, const QList<QCommandLineOption> &options)
{
    for (const QCommandLineOption &option : options) {
        for (const QString &name : option.names()) {
            const QString spelled = (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
            if (argument == spelled || (name.size() > 1 && argument.startsWith(spelled + u'=')))
                return true;
        }
    }
    return false;
}

// The message for the first option whose value is another option, or an
// empty text.
QString missingValue(const QStringList &arguments, const std::vector<ValueOption> &valueOptions,
                     const QList<QCommandLineOption> &options)
{
    for (qsizetype i = 1; i + 1 < arguments.size(); ++i) {
        if (arguments[i] == u"--")
            break;
        for (const ValueOption &valueOption : valueOptions) {
            const QString name = valueOption.option.names().constFirst();
            if (arguments[i] != QStringLiteral("--") + name)
                continue;
            if (isOption(arguments[i + 1], options))
                return QStringLiteral("--%1 needs %2.").arg(name, valueOption.needs);
            ++i;
            break;
        }
    }
    return {};
}

} // namespace

int main(int argc, char *argv[])
{
#ifdef SIGPIPE
    // A reader that goes away must give an error to handle, not end the
    // program: after an append, the user has to learn that it happened.
    std::signal(SIGPIPE, SIG_IGN);
#endif
    if (!reserveStandardDescriptors()) {
        printError(QStringLiteral("standard output is closed, so the names would be lost; nothing was done."));
        return Failure;
    }
    QCoreApplication app(argc, argv);
    prepareStartupHeap();
    QCoreApplication::setApplicationName(ProgramName);
    QCoreApplication::setApplicationVersion(ApplicationVersion.toString());

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Makes up random baseball player names from a roster."));
    const QCommandLineOption helpOption({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help and exit."));
    const QCommandLineOption versionOption({QStringLiteral("v"), QStringLiteral("version")}, QStringLiteral("Show the version and exit."));
    const QCommandLineOption fromOption(QStringLiteral("from"), QStringLiteral("Start year text (default 1871)."), QStringLiteral("TEXT"), QStringLiteral("1871"));
    const QCommandLineOption toOption(QStringLiteral("to"), QStringLiteral("End year text (default 2000)."), QStringLiteral("TEXT"), QStringLiteral("2000"));
    const QCommandLineOption countOption(QStringLiteral("count"), QStringLiteral("Number of names, 1 to 1000 (default 12)."), QStringLiteral("TEXT"), QStringLiteral("12"));
    const QCommandLineOption rosterOption(QStringLiteral("roster"), QStringLiteral("Roster file (default: Kordane.txt beside the program, else in ../share/quillery/)."), QStringLiteral("PATH"));
    const QCommandLineOption seedOption(QStringLiteral("seed"), QStringLiteral("Seed for reproducible names."), QStringLiteral("N"));
    const QCommandLineOption fictionalOption(QStringLiteral("fictional"), QStringLiteral("No name is a real player's full name."));
    const QCommandLineOption uniqueOption(QStringLiteral("unique"), QStringLiteral("No name appears twice in the list, nor is one already in the file of --append."));
    const QCommandLineOption formatOption(QStringLiteral("format"), QStringLiteral("Output format: text, csv, json or block (default text)."), QStringLiteral("FORMAT"), QStringLiteral("text"));
    const QCommandLineOption appendOption(QStringLiteral("append"), QStringLiteral("Also append the list file's block to FILE."), QStringLiteral("FILE"));
    const QCommandLineOption excludeOption(QStringLiteral("exclude"), QStringLiteral("Leave out every name listed in FILE: a list file, this command's output in any format, or one \"First Last\" a line. May be given more than once."), QStringLiteral("FILE"));
    const QCommandLineOption verboseOption(QStringLiteral("verbose"), QStringLiteral("Report the period and its number of players on stderr."));
    const QList<QCommandLineOption> options = {helpOption, versionOption, fromOption, toOption, countOption, rosterOption,
                                               seedOption, fictionalOption, uniqueOption, formatOption, appendOption,
                                               excludeOption, verboseOption};
    parser.addOptions(options);
    const std::vector<ValueOption> valueOptions = {
        {fromOption, QStringLiteral("a start year")},
        {toOption, QStringLiteral("an end year")},
        {countOption, QStringLiteral("a number of names")},
        {rosterOption, QStringLiteral("a file name")},
        {seedOption, QStringLiteral("a whole number")},
        {formatOption, QStringLiteral("a format: text, csv, json or block")},
        {appendOption, QStringLiteral("a file name")},
        {excludeOption, QStringLiteral("a file name")},
    };

    if (const std::optional<QByteArray> argument = undecodableArgument(argc, argv)) {
        printError(QStringLiteral("Cannot use the argument '%1': it is not valid UTF-8, so it would stand for another "
                                  "name or text.").arg(printableName(*argument)));
        return Failure;
    }
    if (!parser.parse(QCoreApplication::arguments()))
        return usageError(parser.errorText());
    if (const QString missing = missingValue(QCoreApplication::arguments(), valueOptions, options); !missing.isEmpty())
        return usageError(missing);
    if (parser.isSet(helpOption)) {
        // The usage line names the program, not the path it was started by.
        QString help = parser.helpText();
        help.replace(0, help.indexOf(u'\n'), QStringLiteral("Usage: %1 [options]").arg(ProgramName));
        return printInformation(QStringLiteral("help"), help);
    }
    if (parser.isSet(versionOption))
        return printInformation(QStringLiteral("version"), ProgramName + u' ' + ApplicationVersion.toString() + u'\n');
    if (!parser.positionalArguments().isEmpty())
        return usageError(QStringLiteral("Unexpected argument '%1'.").arg(parser.positionalArguments().first()));
    const QString format = parser.value(formatOption);
    if (!Formats.contains(format))
        return usageError(QStringLiteral("--format takes text, csv, json or block, not '%1'.").arg(format));

    std::unique_ptr<RandomSource> random;
    if (parser.isSet(seedOption)) {
        bool ok = false;
        const quint64 seed = parser.value(seedOption).toULongLong(&ok);
        if (!ok) {
            return usageError(QStringLiteral("--seed takes a whole number from 0 to 18446744073709551615, not '%1'.")
                                      .arg(parser.value(seedOption)));
        }
        random = std::make_unique<FixedSeedRandom>(seed);
    } else {
        random = std::make_unique<ClockRandom>();
    }

    CheckedPath appendPath;
    if (parser.isSet(appendOption)) {
        appendPath = absoluteFromCurrentFolder(parser.value(appendOption));
        if (!appendPath.ok()) {
            printError(appendPath.error);
            return Failure;
        }
    }
    std::vector<QString> excludePaths;
    for (const QString &value : parser.values(excludeOption)) {
        const CheckedPath path = absoluteFromCurrentFolder(value);
        if (!path.ok()) {
            printError(path.error);
            return Failure;
        }
        excludePaths.push_back(path.path);
    }
    const CheckedPath rosterPath = parser.isSet(rosterOption) ? absoluteFromCurrentFolder(parser.value(rosterOption))
                                                              : programDirectory();
    if (!rosterPath.ok()) {
        printError(rosterPath.error);
        return RosterUnusable;
    }

    auto state = std::make_unique<MainState>();
    state->DataFilePath = parser.isSet(rosterOption) ? rosterPath.path : rosterLocation(rosterPath.path);
    // A block appended to the roster would be read as players next time.
    if (parser.isSet(appendOption) && isSameFile(appendPath.path, state->DataFilePath)) {
        printError(QStringLiteral("Cannot write the list file %1: it is the roster file %2. Choose another file.")
                           .arg(QDir::toNativeSeparators(appendPath.path), QDir::toNativeSeparators(state->DataFilePath)));
        return Failure;
    }
    const RosterReport report = LoadNameFile(*state);
    if (!report.loaded()) {
        printError(report.error);
        return RosterUnusable;
    }

    PlainYearFields fields;
    fields.setYearText(0, parser.value(fromOption));
    fields.setYearText(1, parser.value(toOption));
    NormalisePeriod(fields);
    FilterByPeriod(*state, fields);
    const NameRules rules{parser.isSet(fictionalOption), parser.isSet(uniqueOption)};
    // The names already kept: those of the list file appended to, under the
    // unique rule, and those of every file to exclude.
    const bool uniqueAppend = rules.unique && parser.isSet(appendOption);
    Generation generation;
    if (rules.any() || !excludePaths.empty()) {
        const AllowedNames allowed(*state, rules);
        std::optional<TakenNames> taken;
        if (uniqueAppend || !excludePaths.empty()) {
            QStringList places;
            if (uniqueAppend)
                places << QStringLiteral("the list file ") + withVisibleControls(QDir::toNativeSeparators(appendPath.path));
            for (const QString &path : excludePaths)
                places << withVisibleControls(QDir::toNativeSeparators(path));
            taken.emplace(allowed, joinedWithOr(places));
            QString error;
            // A device such as the null device holds no names; it, and anything
            // else that is no file, is the append's to judge.
            const FileKind appendKind = uniqueAppend ? fileKindAt(appendPath.path) : FileKind{};
            if (uniqueAppend && appendKind.kind != FileKind::Unusable)
                error = addNameFile(appendPath.path, NameFileForms::ListFile, true, u"the list file", *taken);
            for (size_t i = 0; i < excludePaths.size() && error.isEmpty(); ++i)
                error = addNameFile(excludePaths[i], NameFileForms::Any, false, u"the name file", *taken);
            if (!error.isEmpty()) {
                printError(error);
                return Failure;
            }
        }
        generation = GenerateAllowedNames(*state, parser.value(countOption), *random, allowed, Shortfall::Refuse,
                                          taken ? &*taken : nullptr);
    } else {
        generation = GenerateNames(*state, parser.value(countOption), *random);
    }

    if (parser.isSet(verboseOption))
        print(stderr, QStringLiteral("Period: %1 to %2, %3 players\n")
                              .arg(fields.startText(), fields.endText(), QString::number(state->PoolCount)));
    if (report.hasWarnings())
        print(stderr, report.warningText() + u'\n');
    if (!generation.problem.isEmpty()) {
        printError(generation.problem);
        return Failure;
    }
    if (!generation.shortfall.isEmpty())
        printError(generation.shortfall + (state->NumNames == 1 ? QStringLiteral(" The list holds that one.")
                                                                : QStringLiteral(" The list holds all %1.").arg(state->NumNames)));

    const QByteArray block = listBlock(fields.startText(), fields.endText(), *state);
    if (parser.isSet(appendOption)) {
#ifdef SIGXFSZ
        // A file-size limit must give an error to report, not end the program.
        std::signal(SIGXFSZ, SIG_IGN);
#endif
        const ListFileReport saved = appendListBlock(appendPath.path, block);
        if (!saved.saved()) {
            printError(saved.error);
            return Failure;
        }
    }

    const QByteArray output = format == u"csv" ? csvText(*state)
            : format == u"json"                ? jsonText(*state, fields)
            : format == u"block"               ? block
                                               : plainText(generation);
    bool readerGone = false;
    const QString reason = writeAndFlush(stdout, output, &readerGone);
    if (reason.isEmpty())
        return Success;
    // A script that runs the command again would append a second block.
    if (parser.isSet(appendOption)) {
        printError(QStringLiteral("the block was appended to %1; only printing the names failed: %2")
                           .arg(QDir::toNativeSeparators(appendPath.path), reason));
    } else if (!readerGone) {
        // A reader that stopped early, as head does, wanted no more names.
        printError(QStringLiteral("cannot write the names: %1").arg(reason));
    }
    return Failure;
}
