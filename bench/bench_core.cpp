// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "base/mainstate.h"
#include "generate/allowednames.h"
#include "generate/generator.h"
#include "generate/randomsource.h"
#include "roster/period.h"
#include "roster/rosterfile.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

#include <filesystem>
#include <memory>

namespace {

// The shipped roster sits beside the benchmark executable.
QString shippedRosterPath()
{
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe");
    return QString::fromStdString((exe.parent_path() / "Kordane.txt").string());
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

std::unique_ptr<MainState> loadedState(const QString &path)
{
    auto state = std::make_unique<MainState>();
    state->DataFilePath = path;
    LoadNameFile(*state);
    return state;
}

void BM_ReadRoster(benchmark::State &bench)
{
    const QString path = shippedRosterPath();
    for (auto _ : bench) {
        const QString text = decodeRosterText(readFile(path));
        benchmark::DoNotOptimize(text.constData());
    }
}
BENCHMARK(BM_ReadRoster)->Unit(benchmark::kMillisecond);

void BM_LoadRoster(benchmark::State &bench)
{
    auto state = std::make_unique<MainState>();
    state->DataFilePath = shippedRosterPath();
    for (auto _ : bench) {
        const RosterReport report = LoadNameFile(*state);
        if (!report.loaded()) {
            bench.SkipWithError(qPrintable(report.error));
            break;
        }
    }
    bench.counters["players"] = state->NameCount;
}
BENCHMARK(BM_LoadRoster)->Unit(benchmark::kMillisecond);

void BM_LoadRoster32767(benchmark::State &bench)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Kordane.txt"));
    QByteArray bytes;
    for (int i = 0; i < StoreSlots; ++i)
        bytes += "Lastname" + QByteArray::number(i) + ",Firstname" + QByteArray::number(i % 977) + ","
                + QByteArray::number(1871 + i % 150) + "\r\n";
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        bench.SkipWithError("cannot write the roster");
        return;
    }
    file.close();

    auto state = std::make_unique<MainState>();
    state->DataFilePath = path;
    for (auto _ : bench)
        LoadNameFile(*state);
    bench.counters["players"] = state->NameCount;
}
BENCHMARK(BM_LoadRoster32767)->Unit(benchmark::kMillisecond);

void BM_FilterByPeriod(benchmark::State &bench)
{
    // A full store, filled the way the program fills it.
    QByteArray bytes;
    for (int i = 0; i < StoreSlots; ++i)
        bytes += "Last" + QByteArray::number(i) + ",First" + QByteArray::number(i % 977) + ","
                + (i % 200 == 0 ? QByteArray() : QByteArray::number(1871 + i % 150)) + "\r\n";
    auto state = std::make_unique<MainState>();
    parseRoster(bytes, QStringLiteral("Kordane.txt"), *state);
    const PlainYearFields fields;
    for (auto _ : bench)
        FilterByPeriod(*state, fields);
    bench.counters["pool"] = state->PoolCount;
}
BENCHMARK(BM_FilterByPeriod)->Unit(benchmark::kMicrosecond);

std::unique_ptr<MainState> defaultPeriodState()
{
    auto state = loadedState(shippedRosterPath());
    PlainYearFields fields;
    NormalisePeriod(fields);
    FilterByPeriod(*state, fields);
    return state;
}

void BM_Generate1000(benchmark::State &bench)
{
    auto state = defaultPeriodState();
    ClockRandom random;
    const QString count = QStringLiteral("1000");
    for (auto _ : bench) {
        const Generation generation = GenerateNames(*state, count, random);
        benchmark::DoNotOptimize(generation.listText.constData());
    }
    bench.counters["pool"] = state->PoolCount;
}
BENCHMARK(BM_Generate1000)->Unit(benchmark::kMicrosecond);

// The names a period allows are worked out once per period; the generation
// under the rules is what repeats.
void generateAllowed(benchmark::State &bench, MainState &state, const QString &count, NameRules rules)
{
    const AllowedNames names(state, rules);
    ClockRandom random;
    for (auto _ : bench) {
        const Generation generation = GenerateAllowedNames(state, count, random, names);
        if (!generation.problem.isEmpty()) {
            bench.SkipWithError(qPrintable(generation.problem));
            break;
        }
        benchmark::DoNotOptimize(generation.listText.constData());
    }
    bench.counters["possible"] = double(names.possibleNames());
}

void BM_GenerateFictional1000(benchmark::State &bench)
{
    generateAllowed(bench, *defaultPeriodState(), QStringLiteral("1000"), {.fictional = true});
}
BENCHMARK(BM_GenerateFictional1000)->Unit(benchmark::kMicrosecond);

void BM_GenerateUnique1000(benchmark::State &bench)
{
    generateAllowed(bench, *defaultPeriodState(), QStringLiteral("1000"), {.unique = true});
}
BENCHMARK(BM_GenerateUnique1000)->Unit(benchmark::kMicrosecond);

// 19,990 players "John Smith" and ten others: all 121 names, the last ones
// rare enough that redrawing alone would take billions of draws.
void BM_GenerateUniqueSkewed(benchmark::State &bench)
{
    QByteArray bytes;
    for (int i = 0; i < 19990; ++i)
        bytes += "Smith,John,1950\r\n";
    for (int i = 0; i < 10; ++i)
        bytes += "Last" + QByteArray::number(i) + ",First" + QByteArray::number(i) + ",1950\r\n";
    auto state = std::make_unique<MainState>();
    parseRoster(bytes, QStringLiteral("Kordane.txt"), *state);
    FilterByPeriod(*state, PlainYearFields());
    generateAllowed(bench, *state, QStringLiteral("121"), {.unique = true});
}
BENCHMARK(BM_GenerateUniqueSkewed)->Unit(benchmark::kMillisecond);

// The once-per-period work of --fictional: the different names of the pools
// and the real players' names among them.
void BM_AllowedNamesFictional(benchmark::State &bench)
{
    auto state = defaultPeriodState();
    for (auto _ : bench) {
        const AllowedNames names(*state, {.fictional = true});
        benchmark::DoNotOptimize(names.possibleNames());
    }
}
BENCHMARK(BM_AllowedNamesFictional)->Unit(benchmark::kMillisecond);

} // namespace
