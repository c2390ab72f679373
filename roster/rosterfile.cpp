// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "rosterfile.h"

#include "base/mainstate.h"
#include "base/numeric.h"
#include "platform/nativepath.h"
#include "platform/platformfile.h"
#include "roster/period.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <bit>
#include <cstring>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr int MaxDetailLines = 5;

// Windows-1252 differs from Latin-1 only in 0x80..0x9F; its five unused bytes
// map to the C1 controls of the same value, as Windows itself does.
constexpr char16_t Cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// Latin-1 for all but 0x80..0x9F: widen everything at once, then mend the few
// bytes in that range.
QString decodeWindows1252(QByteArrayView bytes)
{
    QString text = QString::fromLatin1(bytes);
    char16_t *out = reinterpret_cast<char16_t *>(text.data());
    const auto *in = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype size = bytes.size();
    auto mend = [&](qsizetype from, qsizetype to) {
        for (qsizetype i = from; i < to; ++i) {
            if (unsigned(in[i]) - 0x80 < 0x20)
                out[i] = Cp1252High[in[i] - 0x80];
        }
    };
    qsizetype i = 0;
#if defined(__SSE2__)
    // Flipping the top bit maps 0x80..0x9F to 0..31 and every other byte to
    // a negative value or to 32 and more.
    const __m128i flip = _mm_set1_epi8(char(0x80));
    const __m128i limit = _mm_set1_epi8(0x20);
    const __m128i negative = _mm_set1_epi8(-1);
    for (; size - i >= 16; i += 16) {
        const __m128i flipped = _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i *>(in + i)), flip);
        const __m128i inRange = _mm_and_si128(_mm_cmpgt_epi8(flipped, negative), _mm_cmplt_epi8(flipped, limit));
        if (_mm_movemask_epi8(inRange))
            mend(i, i + 16);
    }
#endif
    mend(i, size);
    return text;
}

// A byte left over at the end is half a character, and a surrogate without
// its partner no character at all; each is shown as U+FFFD, and
// firstInvalidUnit is set to where the first one stands, or -1.
QString decodeUtf16(QByteArrayView bytes, bool littleEndian, qsizetype &firstInvalidUnit)
{
    const qsizetype units = bytes.size() / 2;
    QString text(units + bytes.size() % 2, Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(text.data());
    const auto *in = reinterpret_cast<const unsigned char *>(bytes.data());
    for (qsizetype i = 0; i < units; ++i) {
        const unsigned first = in[2 * i];
        const unsigned second = in[2 * i + 1];
        out[i] = char16_t(littleEndian ? first | second << 8 : first << 8 | second);
    }
    firstInvalidUnit = -1;
    for (qsizetype i = 0; i < units; ++i) {
        if (!QChar::isSurrogate(out[i]))
            continue;
        if (QChar::isHighSurrogate(out[i]) && i + 1 < units && QChar::isLowSurrogate(out[i + 1])) {
            ++i;
            continue;
        }
        out[i] = QChar::ReplacementCharacter;
        if (firstInvalidUnit < 0)
            firstInvalidUnit = i;
    }
    if (bytes.size() % 2) {
        out[units] = QChar::ReplacementCharacter;
        if (firstInvalidUnit < 0)
            firstInvalidUnit = units;
    }
    return text;
}

// The line, from 1, that holds the character at offset; CR LF, LF and a lone
// CR each end a line.
int lineOfText(QStringView text, qsizetype offset)
{
    int line = 1;
    for (qsizetype i = 0; i < offset; ++i) {
        if (text[i] == u'\n' || (text[i] == u'\r' && (i + 1 == text.size() || text[i + 1] != u'\n')))
            ++line;
    }
    return line;
}

constexpr char16_t ByteOrderMark = u'\uFEFF';

// A character that no line may hold (the line's own break is no part of it).
constexpr bool isForbiddenInLine(char16_t c) { return isControlOrDirection(c); }

// A character that no name may hold: the line and paragraph separators break
// a name in two in the list and on the clipboard, and a byte-order mark, left
// where two files were joined, is invisible yet makes the name differ from the
// same name without it.
constexpr bool isForbiddenInName(char16_t c)
{
    return c == u'\u2028' || c == u'\u2029' || c == ByteOrderMark;
}

// The first character of the line [begin, end) that makes it unusable, or
// end; the names end at namesEnd.
const char16_t *firstForbidden(const char16_t *begin, const char16_t *namesEnd, const char16_t *end)
{
    for (const char16_t *c = begin; c < end; ++c) {
        if (isForbiddenInLine(*c) || (c < namesEnd && isForbiddenInName(*c)))
            return c;
    }
    return end;
}

QString forbiddenReason(char16_t character)
{
    switch (character) {
    case u'\u2028':
        return QStringLiteral("a name holds a line separator (U+2028)");
    case u'\u2029':
        return QStringLiteral("a name holds a paragraph separator (U+2029)");
    case ByteOrderMark:
        return QStringLiteral("a name holds a byte-order mark (U+FEFF)");
    case u'\t':
        return QStringLiteral("the line holds a tab (U+0009)");
    default:
        break;
    }
    const QString code = QStringLiteral("U+%1").arg(unsigned(character), 4, 16, QChar(u'0')).toUpper();
    return character >= 0x202A ? QStringLiteral("the line holds a text-direction control (%1)").arg(code)
                               : QStringLiteral("the line holds a control character (%1)").arg(code);
}

// Characters in [begin, end), a surrogate pair counting as one.
qsizetype characterCount(const char16_t *begin, const char16_t *end)
{
    return (end - begin) - std::count_if(begin, end, [](char16_t c) { return QChar::isLowSurrogate(c); });
}

// A year that no period reaches: every period starts in 1871 or later, and 0
// marks a player without a year. Later years are all reachable, even beyond
// 9999: an end year of three characters, such as "9e9", is never lowered.
bool isUnreachableYear(qint16 year)
{
    return year != 0 && year < EarliestStartYear;
}

QString fileError(const QString &path, const QString &reason)
{
    return QStringLiteral("Cannot read the roster file %1: %2.")
            .arg(QDir::toNativeSeparators(path), reason);
}

QString tooLargeReason()
{
    return QStringLiteral("it is larger than %1 MiB, far more than %2 players need")
            .arg(MaxRosterBytes / (1024 * 1024))
            .arg(StoreSlots);
}

constexpr qsizetype BlockLength = 64;

// Bit k of commas is set when text[k] is a comma, bit k of lineEnds when it is
// a CR or an LF; count is at most 64. The scanner then visits only those
// characters, a few per line.
struct SeparatorMasks {
    quint64 commas = 0;
    quint64 lineEnds = 0;
    bool forbidden = false; // some character may be forbidden in a line or in a name
};

#if defined(__SSE2__)
// Lanes that may hold a character forbidden in a line or in a name, given the
// lanes of the line ends: the controls, and every character from U+2028 on,
// where the separators, the direction controls and the byte-order mark lie.
// Rosters rarely hold any of the latter, and the lines are searched exactly
// once one turns up.
inline __m128i forbiddenLanes(__m128i text, __m128i lineEnds)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i controls = _mm_andnot_si128(lineEnds, _mm_cmpeq_epi16(_mm_subs_epu16(text, _mm_set1_epi16(0x1F)), zero));
    const __m128i c1Controls = _mm_cmpeq_epi16(
            _mm_subs_epu16(_mm_sub_epi16(text, _mm_set1_epi16(0x7F)), _mm_set1_epi16(0x9F - 0x7F)), zero);
    // Unsigned comparison through the signed one, with the top bits flipped.
    const __m128i flip = _mm_set1_epi16(short(0x8000));
    const __m128i fromSeparators = _mm_cmpgt_epi16(_mm_xor_si128(text, flip), _mm_set1_epi16(short(0x2027 ^ 0x8000)));
    return _mm_or_si128(_mm_or_si128(controls, c1Controls), fromSeparators);
}
#endif

inline SeparatorMasks separatorMasks(const char16_t *text, qsizetype count)
{
    SeparatorMasks masks;
#if defined(__SSE2__)
    if (count == BlockLength) {
        const __m128i comma = _mm_set1_epi16(u',');
        const __m128i cr = _mm_set1_epi16(u'\r');
        const __m128i lf = _mm_set1_epi16(u'\n');
        __m128i forbidden = _mm_setzero_si128();
        for (int part = 0; part < 4; ++part) {
            const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i *>(text + part * 16));
            const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i *>(text + part * 16 + 8));
            const __m128i commas = _mm_packs_epi16(_mm_cmpeq_epi16(low, comma), _mm_cmpeq_epi16(high, comma));
            const __m128i lowEnds = _mm_or_si128(_mm_cmpeq_epi16(low, cr), _mm_cmpeq_epi16(low, lf));
            const __m128i highEnds = _mm_or_si128(_mm_cmpeq_epi16(high, cr), _mm_cmpeq_epi16(high, lf));
            masks.commas |= quint64(unsigned(_mm_movemask_epi8(commas))) << (part * 16);
            masks.lineEnds |= quint64(unsigned(_mm_movemask_epi8(_mm_packs_epi16(lowEnds, highEnds)))) << (part * 16);
            forbidden = _mm_or_si128(forbidden, _mm_or_si128(forbiddenLanes(low, lowEnds), forbiddenLanes(high, highEnds)));
        }
        masks.forbidden = _mm_movemask_epi8(forbidden) != 0;
        return masks;
    }
#endif
    for (qsizetype k = 0; k < count; ++k) {
        if (text[k] == u',')
            masks.commas |= quint64(1) << k;
        else if (text[k] == u'\r' || text[k] == u'\n')
            masks.lineEnds |= quint64(1) << k;
        else if (isForbiddenInLine(text[k]) || isForbiddenInName(text[k]))
            masks.forbidden = true;
    }
    return masks;
}

QString withoutByteOrderMarks(QStringView text)
{
    return text.toString().remove(QChar(ByteOrderMark));
}

// The year field as ToInteger16(NumericValue(text)), with a shortcut for the
// one to four plain digits that nearly every line holds. False when the year
// lies outside -32768..32767. (A plain bool and an out value: an optional
// returned through memory stalls the loop on every line.)
bool readYear(const char16_t *text, const char16_t *end, qint16 &year)
{
    const qsizetype length = end - text;
    if (length >= 1 && length <= 4) {
        unsigned value = 0;
        qsizetype i = 0;
        for (; i < length; ++i) {
            const unsigned digit = unsigned(text[i]) - u'0';
            if (digit > 9)
                break;
            value = value * 10 + digit;
        }
        if (i == length) {
            year = qint16(value);
            return true;
        }
    }
    const QStringView yearText(text, end);
    // A byte-order mark is invisible, so the year is read as it shows, the
    // way blanks in it are skipped.
    const std::optional<qint16> value = ToInteger16(
            NumericValue(yearText.contains(QChar(ByteOrderMark)) ? withoutByteOrderMarks(yearText) : yearText));
    year = value.value_or(0);
    return value.has_value();
}

// A name that borrows its characters from the roster text, which outlives it.
inline QString borrowedName(const char16_t *begin, const char16_t *end)
{
    return QString::fromRawData(reinterpret_cast<const QChar *>(begin), end - begin);
}

} // namespace

QString RosterReport::warningText() const
{
    QStringList lines;
    if (!encodingWarning.isEmpty())
        lines << encodingWarning;
    // A heading with the count, the lines it names, and how many more there are.
    auto listLines = [&lines](int count, const QString &heading, const QStringList &details) {
        if (count == 0)
            return;
        lines << heading << details;
        if (count > details.size())
            lines << QStringLiteral("and %1 more.").arg(count - details.size());
    };
    listLines(skippedLines,
              skippedLines == 1 ? QStringLiteral("1 line of the roster was skipped:")
                                : QStringLiteral("%1 lines of the roster were skipped:").arg(skippedLines),
              skipDetails);
    listLines(unreachableYears,
              unreachableYears == 1 ? QStringLiteral("1 player of the roster can never be drawn:")
                                    : QStringLiteral("%1 players of the roster can never be drawn:").arg(unreachableYears),
              unreachableDetails);
    if (ignoredFromLine > 0)
        lines << QStringLiteral("The roster holds at most %1 players; the rest, from line %2 on, was ignored.")
                         .arg(StoreSlots)
                         .arg(ignoredFromLine);
    return lines.join(u'\n');
}

int lineOfByte(QByteArrayView bytes, qsizetype offset)
{
    int line = 1;
    for (qsizetype i = 0; i < offset; ++i) {
        if (bytes[i] == '\n' || (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n')))
            ++line;
    }
    return line;
}

namespace {

// True when a well-formed UTF-8 sequence of two to four bytes starts at any
// byte; the search goes on after each byte that starts none.
bool holdsMultiByteUtf8(QByteArrayView bytes)
{
    while (!bytes.isEmpty()) {
        const qsizetype invalid = firstInvalidUtf8(bytes);
        const QByteArrayView valid = bytes.first(invalid < 0 ? bytes.size() : invalid);
        if (std::any_of(valid.begin(), valid.end(), [](char byte) { return byte & 0x80; }))
            return true;
        if (invalid < 0)
            return false;
        bytes = bytes.sliced(invalid + 1);
    }
    return false;
}

} // namespace

DecodedRoster decodeRoster(QByteArrayView bytes)
{
    DecodedRoster decoded;
    const bool littleEndian = bytes.startsWith("\xFF\xFE");
    if (littleEndian || bytes.startsWith("\xFE\xFF")) {
        decoded.text = decodeUtf16(bytes.sliced(2), littleEndian, decoded.firstInvalidUnit);
        decoded.encoding = RosterEncoding::Utf16;
        decoded.hasNul = decoded.text.contains(QChar(0));
        return decoded;
    }
    // No 8-bit text holds a NUL byte; a file that does is most likely UTF-16
    // without its mark, whose every name would be riddled with NULs.
    if (!bytes.isEmpty() && std::memchr(bytes.data(), 0, size_t(bytes.size()))) {
        decoded.hasNul = true;
        return decoded;
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    decoded.text = utf8(bytes);
    if (!utf8.hasError())
        return decoded;
    decoded.encoding = RosterEncoding::Windows1252;
    decoded.firstInvalidByte = std::max<qsizetype>(firstInvalidUtf8(bytes), 0);
    decoded.mixesUtf8 = holdsMultiByteUtf8(bytes);
    // A UTF-8 byte-order mark before a file that is not valid UTF-8 still
    // marks no text of its own: it is not three letters of the first name.
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    decoded.text = decodeWindows1252(bytes);
    return decoded;
}

QString decodeRosterText(QByteArrayView bytes)
{
    return decodeRoster(bytes).text;
}

RosterReport parseRoster(QByteArrayView bytes, const QString &fileName, MainState &state)
{
    RosterReport report;
    // The names of the old roster point into its text, so that text lives
    // until every name has been replaced or cleared.
    const QString oldText = std::exchange(state.RosterText, QString());
    const int oldCount = std::clamp<int>(state.NameCount, 0, StoreSlots);
    state.PickLast.clear();
    state.PickFirst.clear();
    state.NumNames = 0;

    DecodedRoster decoded = decodeRoster(bytes);
    if (decoded.hasNul) {
        report.error = QStringLiteral("it holds NUL bytes, so it is not a text file; save it as UTF-8 or Windows-1252 text");
        decoded.text.clear();
    }
    // A file of 8-bit text with no UTF-8 in it is a roster of the program's
    // own legacy encoding, nothing to warn about. UTF-8 beside bytes that are
    // not is a file damaged or pieced together, whose names may be garbled.
    if (decoded.encoding == RosterEncoding::Windows1252 && decoded.mixesUtf8) {
        report.encodingWarning = QStringLiteral("%1 line %2: not valid UTF-8, so the whole file was read as Windows-1252.")
                                         .arg(fileName, QString::number(lineOfByte(bytes, decoded.firstInvalidByte)));
    }
    state.RosterText = std::move(decoded.text);
    const QStringView all(state.RosterText);
    if (decoded.firstInvalidUnit >= 0 && report.error.isEmpty()) {
        report.encodingWarning = QStringLiteral("%1 line %2: not valid UTF-16, so each broken character was read as U+FFFD.")
                                         .arg(fileName, QString::number(lineOfText(all, decoded.firstInvalidUnit)));
    }
    // Characters that no name may hold are rare enough that a line is
    // searched for them only once the scan has met one.
    bool seenForbidden = false;

    auto note = [&](int &count, QStringList &details, int lineNumber, const QString &what) {
        ++count;
        if (details.size() < MaxDetailLines)
            details << QStringLiteral("%1 line %2: %3").arg(fileName, QString::number(lineNumber), what);
    };
    auto skip = [&](int lineNumber, const QString &reason) { note(report.skippedLines, report.skipDetails, lineNumber, reason); };

    int count = 0;
    int lineNumber = 0;
    const char16_t *const begin = all.utf16();
    const qsizetype size = all.size();
    const char16_t *const end = begin + size;
    const char16_t *lineStart = begin;
    const char16_t *firstComma = nullptr;
    const char16_t *secondComma = nullptr;
    bool full = false;
    // The first two commas of the current line, taken from the lowest bits
    // of a comma mask that holds only commas of this line.
    auto takeCommas = [&](quint64 commas, const char16_t *base) {
        if (commas && !secondComma) {
            const char16_t *const comma = base + std::countr_zero(commas);
            if (!firstComma) {
                firstComma = comma;
                commas &= commas - 1;
                if (commas)
                    secondComma = base + std::countr_zero(commas);
            } else {
                secondComma = comma;
            }
        }
    };
    // Blocks of 64 characters; the last block, short or empty, carries one
    // more line end for the end of the text, which ends a final unterminated
    // line.
    for (qsizetype blockStart = 0; !full && blockStart <= size; blockStart += BlockLength) {
        const char16_t *const base = begin + blockStart;
        const qsizetype length = std::min(BlockLength, size - blockStart);
        auto [commas, lineEnds, forbidden] = separatorMasks(base, length);
        seenForbidden |= forbidden;
        if (length < BlockLength)
            lineEnds |= quint64(1) << length;
        while (lineEnds) {
            const int offset = std::countr_zero(lineEnds);
            lineEnds &= lineEnds - 1;
            const char16_t *const lineEnd = base + offset;
            if (lineEnd < lineStart) // the LF of a CR LF
                continue;
            if (lineEnd == end && lineStart == end)
                break;
            const quint64 before = (quint64(1) << offset) - 1;
            takeCommas(commas & before, base);
            commas &= ~before;
            ++lineNumber;
            // A byte-order mark that opens a line is dropped as the one that
            // opens the file is: two files joined leave one there.
            const char16_t *const recordStart = lineStart + (lineEnd > lineStart && *lineStart == ByteOrderMark);
            if (lineEnd > recordStart) {
                qint16 year;
                if (count == StoreSlots) {
                    report.ignoredFromLine = lineNumber;
                    full = true;
                    break;
                } else if (lineEnd - recordStart > MaxRosterLineLength
                           && characterCount(recordStart, lineEnd) > MaxRosterLineLength) {
                    skip(lineNumber, QStringLiteral("longer than %1 characters").arg(MaxRosterLineLength));
                } else if (!secondComma) {
                    skip(lineNumber, QStringLiteral("fewer than two commas"));
                } else if (const char16_t *unusable = seenForbidden ? firstForbidden(recordStart, secondComma, lineEnd)
                                                                    : lineEnd;
                           unusable != lineEnd) {
                    skip(lineNumber, forbiddenReason(*unusable));
                } else if (firstComma == recordStart) {
                    skip(lineNumber, QStringLiteral("the last name is empty"));
                } else if (secondComma == firstComma + 1) {
                    skip(lineNumber, QStringLiteral("the first name is empty"));
                } else if (!readYear(secondComma + 1, lineEnd, year)) {
                    const QStringView yearText(secondComma + 1, lineEnd);
                    skip(lineNumber, QStringLiteral("year %1 is outside -32768..32767")
                                             .arg(withoutByteOrderMarks(yearText).trimmed().left(20)));
                } else {
                    state.LastNames[size_t(count)] = borrowedName(recordStart, firstComma);
                    state.FirstNames[size_t(count)] = borrowedName(firstComma + 1, secondComma);
                    state.Years[size_t(count)] = year;
                    ++count;
                    if (isUnreachableYear(year)) {
                        note(report.unreachableYears, report.unreachableDetails, lineNumber,
                             QStringLiteral("year %1 lies before %2")
                                     .arg(QString::number(year), QString::number(EarliestStartYear)));
                    }
                }
            }
            lineStart = lineEnd == end ? end
                    : lineEnd + (*lineEnd == u'\r' && lineEnd + 1 < end && lineEnd[1] == u'\n' ? 2 : 1);
            firstComma = nullptr;
            secondComma = nullptr;
        }
        takeCommas(commas, base);
    }
    for (int i = count; i < oldCount; ++i) {
        state.LastNames[size_t(i)] = QString();
        state.FirstNames[size_t(i)] = QString();
        state.Years[size_t(i)] = 0;
    }

    state.NameCount = qint16(count);
    // clear() and resize() keep to QString's inline constructor and
    // destructor; assign() would call its out-of-line copy for every slot.
    state.PoolLast.clear();
    state.PoolLast.resize(size_t(count) + 1);
    state.PoolFirst.clear();
    state.PoolFirst.resize(size_t(count) + 1);
    state.PoolCount = 0;
    if (count == 0 && report.error.isEmpty())
        report.error = lineNumber == 0 ? QStringLiteral("the file is empty")
                : report.skipDetails.isEmpty()
                ? QStringLiteral("the file holds no usable player line")
                : QStringLiteral("the file holds no usable player line (first: %1)").arg(report.skipDetails.first());
    return report;
}

RosterReport LoadNameFile(MainState &state)
{
    const QString &path = state.DataFilePath;
    RosterReport report;
    QByteArray bytes;
    const ReadResult read = readRegularFile(path, MaxRosterBytes, bytes);
    if (read.status != ReadResult::Read) {
        report.error = fileError(path, read.status == ReadResult::TooLarge ? tooLargeReason() : read.reason);
        return report;
    }
    report = parseRoster(bytes, QFileInfo(path).fileName(), state);
    if (!report.loaded())
        report.error = fileError(path, report.error);
    return report;
}
