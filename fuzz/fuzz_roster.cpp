// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "base/mainstate.h"
#include "base/numeric.h"
#include "fuzzcheck.h"
#include "platform/nativepath.h"
#include "roster/rosterfile.h"

#include <QByteArrayView>
#include <QStringDecoder>
#include <QStringList>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <utility>

namespace {

MainState &sharedState()
{
    // One store for the whole run: building 3 × 32767 slots per input would
    // cost more than the parse. The reader clears only the slots it used.
    static const auto state = std::make_unique<MainState>();
    return *state;
}

// The line a UTF-8 decoder first stumbles on, found by feeding it one byte
// at a time; a file that is only cut short stumbles at its end.
int firstBadUtf8Line(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QChar buffer[4];
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        utf8.appendToBuffer(buffer, bytes.sliced(i, 1));
        if (utf8.hasError())
            return lineOfByte(bytes, i);
    }
    return lineOfByte(bytes, bytes.size() - 1);
}

// Whether a well-formed UTF-8 sequence of two to four bytes starts at any
// byte, asked of Qt's decoder one slice at a time.
bool holdsMultiByteUtf8(QByteArrayView bytes)
{
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (uchar(bytes[i]) < 0x80)
            continue;
        for (qsizetype length = 2; length <= 4 && i + length <= bytes.size(); ++length) {
            QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
            const QString decoded = utf8(bytes.sliced(i, length));
            if (!utf8.hasError())
                return true;
        }
    }
    return false;
}

// Decodes the way the reader should, without its code: UTF-16 by hand after
// its mark, else UTF-8 when Qt accepts it, else one character per byte. Checks
// the reader's text against it, and that it warns of the encoding only for
// UTF-8 mixed with other bytes; returns the text.
QString checkDecoding(QByteArrayView bytes, const MainState &state, const RosterReport &report)
{
    const auto *data = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype size = bytes.size();
    QString text;
    bool windows1252 = false;
    qsizetype brokenUtf16 = -1; // where the first U+FFFD for broken UTF-16 stands
    const bool littleEndian = bytes.startsWith("\xFF\xFE");
    if (littleEndian || bytes.startsWith("\xFE\xFF")) {
        QList<char16_t> units;
        for (qsizetype i = 2; i + 1 < size; i += 2)
            units.append(littleEndian ? char16_t(data[i] | data[i + 1] << 8) : char16_t(data[i] << 8 | data[i + 1]));
        for (qsizetype i = 0; i < units.size(); ++i) {
            const bool pair = QChar::isHighSurrogate(units[i]) && i + 1 < units.size() && QChar::isLowSurrogate(units[i + 1]);
            if (pair) {
                text += QChar(units[i]);
                text += QChar(units[++i]);
            } else if (QChar::isSurrogate(units[i])) {
                brokenUtf16 = brokenUtf16 < 0 ? text.size() : brokenUtf16;
                text += QChar::ReplacementCharacter;
            } else {
                text += QChar(units[i]);
            }
        }
        if (size % 2) {
            brokenUtf16 = brokenUtf16 < 0 ? text.size() : brokenUtf16;
            text += QChar::ReplacementCharacter;
        }
    } else if (size == 0 || !std::memchr(data, 0, size_t(size))) {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        text = utf8(bytes);
        windows1252 = utf8.hasError();
    } else {
        text = QString(1, QChar(0));
    }

    if (text.contains(QChar(0))) {
        FUZZ_CHECK(state.NameCount == 0 && state.RosterText.isEmpty());
        FUZZ_CHECK(report.error.startsWith(QStringLiteral("it holds NUL bytes")));
        return {};
    }
    FUZZ_CHECK(report.encodingWarning.isEmpty() == (!(windows1252 && holdsMultiByteUtf8(bytes)) && brokenUtf16 < 0));
    if (brokenUtf16 >= 0) {
        QString before = text.first(brokenUtf16);
        before.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
        FUZZ_CHECK(report.encodingWarning.startsWith(QStringLiteral("fuzz.txt line %1: ").arg(before.count(u'\n') + 1)));
    }
    if (!windows1252) {
        FUZZ_CHECK(state.RosterText == text);
        return text;
    }
    FUZZ_CHECK(firstInvalidUtf8(bytes) >= 0);
    if (!report.encodingWarning.isEmpty())
        FUZZ_CHECK(report.encodingWarning.startsWith(QStringLiteral("fuzz.txt line %1: ").arg(firstBadUtf8Line(bytes))));
    const qsizetype mark = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    FUZZ_CHECK(state.RosterText.size() == size - mark);
    const auto *decoded = state.RosterText.utf16();
    for (qsizetype i = mark; i < size; ++i) {
        if (data[i] < 0x80 || data[i] >= 0xA0)
            FUZZ_CHECK(decoded[i - mark] == data[i]);
    }
    return state.RosterText;
}

// Control characters, with which a name could drive a terminal, and the
// direction embeddings, overrides and isolates, which make a name display as
// another.
bool mustNotReachOutput(char16_t c)
{
    return c <= 0x1F || (c >= 0x7F && c <= 0x9F) || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

// Why the line cannot be used for a character it holds, or an empty text: the
// first such character counts. names is how many characters the names take.
QString forbiddenCharacterReason(QStringView line, qsizetype names)
{
    for (qsizetype k = 0; k < line.size(); ++k) {
        const char16_t c = line[k].unicode();
        auto code = [c] { return QStringLiteral("U+") + QString::number(c, 16).toUpper().rightJustified(4, u'0'); };
        if (c == u'\t')
            return QStringLiteral("the line holds a tab (U+0009)");
        if (c <= 0x1F || (c >= 0x7F && c <= 0x9F))
            return QStringLiteral("the line holds a control character (%1)").arg(code());
        if ((c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069))
            return QStringLiteral("the line holds a text-direction control (%1)").arg(code());
        if (k >= names)
            continue;
        if (c == u'\u2028')
            return QStringLiteral("a name holds a line separator (U+2028)");
        if (c == u'\u2029')
            return QStringLiteral("a name holds a paragraph separator (U+2029)");
        if (c == u'\uFEFF')
            return QStringLiteral("a name holds a byte-order mark (U+FEFF)");
    }
    return {};
}

// Walks the decoded text one character at a time, finds each line's commas
// with indexOf, and compares each line's outcome with what parseRoster stored
// or reported.
void checkAgainstLines(QStringView text, const MainState &state, const RosterReport &report)
{
    int records = 0;
    int skipped = 0;
    int ignoredFrom = 0;
    int unreachable = 0;
    QStringList details;
    QStringList unreachableDetails;
    auto skip = [&](int lineNumber, const QString &reason) {
        ++skipped;
        if (details.size() < 5)
            details << QStringLiteral("fuzz.txt line %1: %2").arg(QString::number(lineNumber), reason);
    };
    const char16_t *chars = text.utf16();
    qsizetype start = 0;
    for (int lineNumber = 1; start < text.size(); ++lineNumber) {
        qsizetype stop = start;
        while (stop < text.size() && chars[stop] != u'\r' && chars[stop] != u'\n')
            ++stop;
        QStringView line = text.sliced(start, stop - start);
        start = stop + (stop + 1 < text.size() && chars[stop] == u'\r' && chars[stop + 1] == u'\n' ? 2 : 1);
        if (line.startsWith(u'\uFEFF'))
            line = line.sliced(1);
        if (line.isEmpty())
            continue;
        if (records == StoreSlots) {
            ignoredFrom = lineNumber;
            break;
        }
        if (line.toUcs4().size() > 1000) {
            skip(lineNumber, QStringLiteral("longer than 1000 characters"));
            continue;
        }
        const qsizetype first = line.indexOf(u',');
        const qsizetype second = first < 0 ? -1 : line.indexOf(u',', first + 1);
        if (second < 0) {
            skip(lineNumber, QStringLiteral("fewer than two commas"));
            continue;
        }
        if (const QString reason = forbiddenCharacterReason(line, second); !reason.isEmpty()) {
            skip(lineNumber, reason);
            continue;
        }
        if (first == 0 || second == first + 1) {
            skip(lineNumber, first == 0 ? QStringLiteral("the last name is empty") : QStringLiteral("the first name is empty"));
            continue;
        }
        // A byte-order mark in the year is read as the year shows, without it.
        const QString yearText = line.sliced(second + 1).toString().remove(u'\uFEFF');
        const std::optional<qint16> year = ToInteger16(NumericValue(yearText));
        if (!year) {
            skip(lineNumber, QStringLiteral("year %1 is outside -32768..32767").arg(yearText.trimmed().left(20)));
            continue;
        }
        FUZZ_CHECK(state.LastNames[size_t(records)] == line.first(first));
        FUZZ_CHECK(state.FirstNames[size_t(records)] == line.sliced(first + 1, second - first - 1));
        FUZZ_CHECK(state.Years[size_t(records)] == *year);
        ++records;
        // Every period starts in 1871 or later; an end year such as "9e9"
        // reaches any later year.
        if (*year != 0 && *year < 1871) {
            ++unreachable;
            if (unreachableDetails.size() < 5)
                unreachableDetails << QStringLiteral("fuzz.txt line %1: year %2 lies before 1871").arg(lineNumber).arg(*year);
        }
    }
    FUZZ_CHECK(records == state.NameCount);
    FUZZ_CHECK(skipped == report.skippedLines);
    FUZZ_CHECK(details == report.skipDetails);
    FUZZ_CHECK(ignoredFrom == report.ignoredFromLine);
    FUZZ_CHECK(unreachable == report.unreachableYears);
    FUZZ_CHECK(unreachableDetails == report.unreachableDetails);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(data, qsizetype(size));
    MainState &state = sharedState();
    static int mostRecords = 0;
    const RosterReport report = parseRoster(bytes, QStringLiteral("fuzz.txt"), state);

    FUZZ_CHECK(state.NameCount >= 0 && state.NameCount <= StoreSlots);
    FUZZ_CHECK(state.PoolLast.size() == size_t(state.NameCount) + 1);
    FUZZ_CHECK(state.PoolFirst.size() == size_t(state.NameCount) + 1);
    FUZZ_CHECK(state.PoolCount == 0);
    FUZZ_CHECK(report.loaded() == (state.NameCount > 0));
    FUZZ_CHECK(report.hasWarnings() == !report.warningText().isEmpty());
    // Slots the previous inputs filled and this one did not are empty again.
    for (int i = state.NameCount; i < mostRecords; ++i)
        FUZZ_CHECK(state.LastNames[size_t(i)].isNull() && state.FirstNames[size_t(i)].isNull() && state.Years[size_t(i)] == 0);
    mostRecords = std::max<int>(mostRecords, state.NameCount);
    for (int i = 0; i < state.NameCount; ++i) {
        for (const QString *name : {&state.LastNames[size_t(i)], &state.FirstNames[size_t(i)]})
            FUZZ_CHECK(std::none_of(name->begin(), name->end(), [](QChar c) { return mustNotReachOutput(c.unicode()); }));
    }

    checkAgainstLines(checkDecoding(bytes, state, report), state, report);
    return 0;
}
