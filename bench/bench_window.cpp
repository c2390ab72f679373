// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "base/mainstate.h"
#include "generate/generator.h"
#include "generate/randomsource.h"
#include "gui/frmmain.h"
#include "gui/messages.h"
#include "list/listfile.h"
#include "roster/rosterfile.h"

#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif

namespace {

// The benchmarks share one offscreen application, made on first use, so this
// file works beside any benchmark main.
void ensureApplication()
{
    if (QCoreApplication::instance())
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "quillery-bench";
    static char *argv[] = {name, nullptr};
    new QApplication(argc, argv); // lives until the process ends
}

// A program folder with the shipped roster and a list file of 100 blocks of
// 1000 names each, drawn from that roster; made once per run.
const QTemporaryDir &folderWithLongList()
{
    static const QTemporaryDir folder;
    static bool made = false;
    if (made)
        return folder;
    made = true;
    const QString roster = folder.filePath(QStringLiteral("Kordane.txt"));
    QFile::copy(QStringLiteral(QUILLERY_ROSTER_DIR "/Kordane.txt"), roster);
    auto players = std::make_unique<MainState>();
    players->DataFilePath = roster;
    LoadNameFile(*players);
    players->PoolFirst.assign(players->FirstNames.begin(), players->FirstNames.begin() + players->NameCount);
    players->PoolLast.assign(players->LastNames.begin(), players->LastNames.begin() + players->NameCount);
    players->PoolCount = players->NameCount;
    QByteArray blocks;
    for (int block = 0; block < 100; ++block) {
        FixedSeedRandom random{quint64(block)};
        GenerateNames(*players, QStringLiteral("1000"), random);
        blocks += listBlock(QStringLiteral("1871"), QStringLiteral("2025"), *players);
    }
    QFile list(folder.filePath(QStringLiteral("RandomNames.txt")));
    if (!list.open(QIODevice::WriteOnly) || list.write(blocks) != blocks.size())
        qFatal("cannot write the list file");
    return folder;
}

// Generate with 1000 in the count field, and with the list's entries given
// by their object names turned on; the program's folder as given.
void windowGenerate1000(benchmark::State &state, const QStringList &entries,
                        const QString &programDirectory = QStringLiteral(QUILLERY_ROSTER_DIR))
{
    ensureApplication();
    MessageRecorder messages;
    frmMain window(programDirectory, std::make_unique<FixedSeedRandom>(1));
    if (!window.Form_Load()) {
        state.SkipWithError("the shipped roster did not load");
        return;
    }
    window.show();
    QCoreApplication::processEvents();
    for (const QString &entry : entries)
        window.findChild<QAction *>(entry)->trigger();
    window.findChild<QLineEdit *>(QStringLiteral("txtNumNames"))->setText(QStringLiteral("1000"));
    auto *generate = window.findChild<QPushButton *>(QStringLiteral("cmdGenerate"));
    // The first Generate with an entry on prepares what later ones reuse
    // (for No Repeated Names, the names of the list file).
    generate->click();

    for (auto _ : state) {
        generate->click();
        // Paint the updated list too, as the screen would.
        QCoreApplication::processEvents();
    }
    benchmark::DoNotOptimize(window.listText().size());
}

void BM_WindowGenerate1000(benchmark::State &state)
{
    windowGenerate1000(state, {});
}
BENCHMARK(BM_WindowGenerate1000)->Unit(benchmark::kMillisecond);

void BM_WindowGenerate1000BothEntries(benchmark::State &state)
{
    windowGenerate1000(state, {QStringLiteral("mnuMadeUpNamesOnly"), QStringLiteral("mnuNoRepeatedNames")});
}
BENCHMARK(BM_WindowGenerate1000BothEntries)->Unit(benchmark::kMillisecond);

// No Repeated Names reads the list file on every Generate.
void BM_WindowGenerate1000NoRepeats(benchmark::State &state)
{
    windowGenerate1000(state, {QStringLiteral("mnuNoRepeatedNames")});
}
BENCHMARK(BM_WindowGenerate1000NoRepeats)->Unit(benchmark::kMillisecond);

void BM_WindowGenerate1000NoRepeatsList100000(benchmark::State &state)
{
    windowGenerate1000(state, {QStringLiteral("mnuNoRepeatedNames")}, folderWithLongList().path());
}
BENCHMARK(BM_WindowGenerate1000NoRepeatsList100000)->Unit(benchmark::kMillisecond);

#ifdef Q_OS_UNIX
// CPU time of all ended child processes, in milliseconds.
double childCpuMilliseconds()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    const auto ms = [](const timeval &t) { return double(t.tv_sec) * 1e3 + double(t.tv_usec) / 1e3; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}
#else
double childCpuMilliseconds()
{
    return 0;
}
#endif

// Time from starting the process to its first window painted and the process
// ended, offscreen. The counter child_cpu_ms is the probe's own CPU time, which
// other load on the machine disturbs less than the wall time.
void startProcess(benchmark::State &state, const QString &program, const QStringList &arguments = {})
{
    ensureApplication();
    const double cpuBefore = childCpuMilliseconds();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    for (auto _ : state) {
        QProcess process;
        process.setProcessEnvironment(environment);
        process.setStandardErrorFile(QProcess::nullDevice());
        process.setStandardOutputFile(QProcess::nullDevice());
        process.start(program, arguments);
        if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit
            || process.exitCode() != 0) {
            state.SkipWithError("the probe did not start and end cleanly");
            return;
        }
    }
    state.counters["child_cpu_ms"] = benchmark::Counter(childCpuMilliseconds() - cpuBefore, benchmark::Counter::kAvgIterations);
}

void BM_StartupQuillery(benchmark::State &state)
{
    startProcess(state, QStringLiteral(QUILLERY_STARTUP_PROBE));
}
BENCHMARK(BM_StartupQuillery)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_StartupQuilleryBindNow(benchmark::State &state)
{
    startProcess(state, QStringLiteral(QUILLERY_BIND_NOW_PROBE));
}
BENCHMARK(BM_StartupQuilleryBindNow)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_StartupEmptyWindow(benchmark::State &state)
{
    startProcess(state, QStringLiteral(QUILLERY_EMPTY_WINDOW_PROBE));
}
BENCHMARK(BM_StartupEmptyWindow)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_StartupTextWindow(benchmark::State &state)
{
    startProcess(state, QStringLiteral(QUILLERY_TEXT_WINDOW_PROBE));
}
BENCHMARK(BM_StartupTextWindow)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_StartupWidgetsOnly(benchmark::State &state)
{
    startProcess(state, QStringLiteral(QUILLERY_WIDGETS_PROBE));
}
BENCHMARK(BM_StartupWidgetsOnly)->Unit(benchmark::kMillisecond)->UseRealTime();

// The command as a whole process, default against both rules, for their
// ratio; run with --benchmark_enable_random_interleaving so they share the load.
void BM_NamesCommand1000(benchmark::State &state)
{
    startProcess(state, QStringLiteral(QUILLERY_NAMES_COMMAND), {QStringLiteral("--count"), QStringLiteral("1000")});
}
BENCHMARK(BM_NamesCommand1000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_NamesCommand1000FictionalUnique(benchmark::State &state)
{
    startProcess(state, QStringLiteral(QUILLERY_NAMES_COMMAND),
                 {QStringLiteral("--count"), QStringLiteral("1000"), QStringLiteral("--fictional"), QStringLiteral("--unique")});
}
BENCHMARK(BM_NamesCommand1000FictionalUnique)->Unit(benchmark::kMillisecond)->UseRealTime();

// --exclude of a list file of 100,000 names against the same command without it.
void BM_NamesCommand1000Unique(benchmark::State &state)
{
    startProcess(state, QStringLiteral(QUILLERY_NAMES_COMMAND),
                 {QStringLiteral("--count"), QStringLiteral("1000"), QStringLiteral("--unique")});
}
BENCHMARK(BM_NamesCommand1000Unique)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_NamesCommand1000UniqueExclude100000(benchmark::State &state)
{
    const QString list = QDir(folderWithLongList().path()).filePath(QStringLiteral("RandomNames.txt"));
    startProcess(state, QStringLiteral(QUILLERY_NAMES_COMMAND),
                 {QStringLiteral("--count"), QStringLiteral("1000"), QStringLiteral("--unique"),
                  QStringLiteral("--exclude"), list});
}
BENCHMARK(BM_NamesCommand1000UniqueExclude100000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
