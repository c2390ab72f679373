#include "common/mainstate.h"
#include "generate/generator.h"
#include "generate/randomsource.h"
#include "roster/period.h"
#include "roster/rosterfile.h"
#include "roster/yearfields.h"

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

void BM_LoadRoster20001(benchmark::State &bench)
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
BENCHMARK(BM_LoadRoster20001)->Unit(benchmark::kMillisecond);

void BM_FilterByPeriod(benchmark::State &bench)
{
    // A store of 20001 players, filled the way the program fills it.
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

void BM_Generate1000(benchmark::State &bench)
{
    auto state = loadedState(shippedRosterPath());
    PlainYearFields fields;
    NormalisePeriod(fields);
    FilterByPeriod(*state, fields);
    ClockRandom random;
    const QString count = QStringLiteral("1000");
    for (auto _ : bench) {
        const Generation generation = GenerateNames(*state, count, random);
        benchmark::DoNotOptimize(generation.listText.constData());
    }
    bench.counters["pool"] = state->PoolCount;
}
BENCHMARK(BM_Generate1000)->Unit(benchmark::kMicrosecond);

} // namespace
