// quillery-names: the main window's start sequence without a window. Loads the
// roster, sets the year texts as if typed into the fields, runs the Time
// Period command and prints the list, one "First Last" line per name.

#include "common/installlayout.h"
#include "common/mainstate.h"
#include "generate/generator.h"
#include "generate/randomsource.h"
#include "roster/period.h"
#include "roster/rosterfile.h"
#include "roster/yearfields.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

enum ExitStatus { Success = 0, Failure = 1, RosterUnusable = 2 };

void print(FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quillery-names"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Makes up random baseball player names from a roster."));
    parser.addHelpOption();
    const QCommandLineOption fromOption(QStringLiteral("from"), QStringLiteral("Start year text (default 1871)."), QStringLiteral("TEXT"), QStringLiteral("1871"));
    const QCommandLineOption toOption(QStringLiteral("to"), QStringLiteral("End year text (default 2000)."), QStringLiteral("TEXT"), QStringLiteral("2000"));
    const QCommandLineOption countOption(QStringLiteral("count"), QStringLiteral("Number of names, 1 to 1000 (default 12)."), QStringLiteral("TEXT"), QStringLiteral("12"));
    const QCommandLineOption rosterOption(QStringLiteral("roster"), QStringLiteral("Roster file (default: Kordane.txt beside the program)."), QStringLiteral("PATH"));
    const QCommandLineOption seedOption(QStringLiteral("seed"), QStringLiteral("Seed for reproducible names."), QStringLiteral("N"));
    const QCommandLineOption verboseOption(QStringLiteral("verbose"), QStringLiteral("Report the period and its number of players on stderr."));
    parser.addOptions({fromOption, toOption, countOption, rosterOption, seedOption, verboseOption});

    if (!parser.parse(QCoreApplication::arguments()) || !parser.positionalArguments().isEmpty()) {
        const QString problem = parser.errorText().isEmpty()
                ? QStringLiteral("Unexpected argument: %1").arg(parser.positionalArguments().join(u' '))
                : parser.errorText();
        print(stderr, QStringLiteral("quillery-names: %1\n\n%2").arg(problem, parser.helpText()));
        return Failure;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        print(stdout, parser.helpText());
        return Success;
    }

    std::unique_ptr<RandomSource> random;
    if (parser.isSet(seedOption)) {
        bool ok = false;
        const quint64 seed = parser.value(seedOption).toULongLong(&ok);
        if (!ok) {
            print(stderr, QStringLiteral("quillery-names: --seed takes a whole number from 0 to 18446744073709551615, not '%1'.\n\n%2")
                                  .arg(parser.value(seedOption), parser.helpText()));
            return Failure;
        }
        random = std::make_unique<FixedSeedRandom>(seed);
    } else {
        random = std::make_unique<ClockRandom>();
    }

    auto state = std::make_unique<MainState>();
    state->DataFilePath = parser.isSet(rosterOption)
            ? QDir::current().absoluteFilePath(parser.value(rosterOption))
            : rosterLocation(QCoreApplication::applicationDirPath());
    const RosterReport report = LoadNameFile(*state);
    if (!report.loaded()) {
        print(stderr, report.error + u'\n');
        return RosterUnusable;
    }

    PlainYearFields fields;
    fields.setYearText(0, parser.value(fromOption));
    fields.setYearText(1, parser.value(toOption));
    NormalisePeriod(fields);
    FilterByPeriod(*state, fields);
    const Generation generation = GenerateNames(*state, parser.value(countOption), *random);

    if (parser.isSet(verboseOption))
        print(stderr, QStringLiteral("Period: %1 to %2, %3 players\n").arg(fields.startText(), fields.endText()).arg(state->PoolCount));
    if (report.hasWarnings())
        print(stderr, report.warningText() + u'\n');
    if (!generation.problem.isEmpty()) {
        print(stderr, generation.problem + u'\n');
        return Failure;
    }

    QString list = generation.listText;
    list.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    print(stdout, list);
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        print(stderr, QStringLiteral("quillery-names: cannot write the names: %1\n").arg(QString::fromLocal8Bit(std::strerror(errno))));
        return Failure;
    }
    return Success;
}
