#include "common/mainstate.h"
#include "common/numeric.h"
#include "fuzzcheck.h"
#include "roster/rosterfile.h"

#include <QByteArrayView>
#include <QStringDecoder>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <memory>

namespace {

MainState &sharedState()
{
    // One store for the whole run: building 3 × 20001 slots per input would
    // cost more than the parse. Only slots below NameCount are checked.
    static const auto state = std::make_unique<MainState>();
    return *state;
}

// Walks the decoded lines the simple way, a split at every comma, and compares
// each line's outcome with what parseRoster stored or reported.
void checkAgainstLines(const QString &text, const MainState &state, const RosterReport &report)
{
    QStringList lines = text.split(u'\n');
    if (lines.last().isEmpty())
        lines.removeLast();

    int records = 0;
    int skipped = 0;
    int ignoredFrom = 0;
    for (int index = 0; index < lines.size(); ++index) {
        QString line = lines[index];
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.isEmpty())
            continue;
        if (records == StoreSlots) {
            ignoredFrom = index + 1;
            break;
        }
        const QStringList fields = line.split(u',');
        if (fields.size() < 3) {
            ++skipped;
            continue;
        }
        const QString yearText = line.section(u',', 2);
        const std::optional<qint16> year = ToInteger16(NumericValue(yearText));
        if (!year) {
            ++skipped;
            continue;
        }
        FUZZ_CHECK(state.LastNames[size_t(records)] == fields[0]);
        FUZZ_CHECK(state.FirstNames[size_t(records)] == fields[1]);
        FUZZ_CHECK(state.Years[size_t(records)] == *year);
        ++records;
    }
    FUZZ_CHECK(records == state.NameCount);
    FUZZ_CHECK(skipped == report.skippedLines);
    FUZZ_CHECK(ignoredFrom == report.ignoredFromLine);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(data, qsizetype(size));
    MainState &state = sharedState();
    const RosterReport report = parseRoster(bytes, QStringLiteral("fuzz.txt"), state);

    FUZZ_CHECK(state.NameCount >= 0 && state.NameCount <= StoreSlots);
    FUZZ_CHECK(state.PoolLast.size() == size_t(state.NameCount) + 1);
    FUZZ_CHECK(state.PoolFirst.size() == size_t(state.NameCount) + 1);
    FUZZ_CHECK(state.PoolCount == 0);
    FUZZ_CHECK(report.loaded() == (state.NameCount > 0));
    FUZZ_CHECK(report.hasWarnings() == !report.warningText().isEmpty());
    FUZZ_CHECK(report.skipDetails.size() == std::min(report.skippedLines, 5));
    for (const QString &detail : report.skipDetails)
        FUZZ_CHECK(detail.startsWith(QStringLiteral("fuzz.txt line ")));

    // Names never hold the separators that split them off; a lone CR inside a
    // line is part of the name.
    for (int i = 0; i < state.NameCount; ++i) {
        for (const QString *name : {&state.LastNames[size_t(i)], &state.FirstNames[size_t(i)]}) {
            FUZZ_CHECK(!name->contains(u','));
            FUZZ_CHECK(!name->contains(u'\n'));
        }
    }

    const QString text = decodeRosterText(bytes);
    // A leading UTF-8 byte-order mark is dropped; past it, a Windows-1252
    // file keeps one character per byte.
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        QStringDecoder keepingMarks(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
        FUZZ_CHECK(text.size() == bytes.size() - 3 || text == QString(keepingMarks(bytes.sliced(3))));
    }
    checkAgainstLines(text, state, report);
    return 0;
}
