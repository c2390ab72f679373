// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "generate/randomsource.h"
#include "gui/frmmain.h"
#include "gui/messages.h"

#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>

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

// Generate with 1000 in the count field, and with the list's entries given
// by their object names turned on.
void windowGenerate1000(benchmark::State &state, const QStringList &entries)
{
    ensureApplication();
    MessageRecorder messages;
    frmMain window(QStringLiteral(QUILLERY_ROSTER_DIR), std::make_unique<FixedSeedRandom>(1));
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

} // namespace
