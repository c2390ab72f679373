#include "rosterfile.h"

#include "common/mainstate.h"
#include "common/numeric.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>

namespace {

constexpr int MaxSkipDetails = 5;

// Windows-1252 differs from Latin-1 only in 0x80..0x9F; its five unused bytes
// map to the C1 controls of the same value, as Windows itself does.
constexpr char16_t Cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

QString decodeWindows1252(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(text.data());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        out[i] = byte >= 0x80 && byte < 0xA0 ? Cp1252High[byte - 0x80] : char16_t(byte);
    }
    return text;
}

QString fileError(const QString &path, const QString &reason)
{
    return QStringLiteral("Cannot read the roster file %1: %2.")
            .arg(QDir::toNativeSeparators(path), reason);
}

} // namespace

QString RosterReport::warningText() const
{
    QStringList lines;
    if (skippedLines > 0) {
        lines << (skippedLines == 1 ? QStringLiteral("1 line of the roster was skipped:")
                                    : QStringLiteral("%1 lines of the roster were skipped:").arg(skippedLines));
        lines << skipDetails;
        if (skippedLines > skipDetails.size())
            lines << QStringLiteral("and %1 more.").arg(skippedLines - skipDetails.size());
    }
    if (ignoredFromLine > 0)
        lines << QStringLiteral("The roster holds at most %1 players; the rest, from line %2 on, was ignored.")
                         .arg(StoreSlots)
                         .arg(ignoredFromLine);
    return lines.join(u'\n');
}

QString decodeRosterText(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    // A UTF-8 byte-order mark before a file that is not valid UTF-8 still
    // marks no text of its own: it is not three letters of the first name.
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    return decodeWindows1252(bytes);
}

RosterReport parseRoster(QByteArrayView bytes, const QString &fileName, MainState &state)
{
    RosterReport report;
    // Everything that may point into the previous text goes before the text.
    std::fill(state.LastNames.begin(), state.LastNames.end(), QString());
    std::fill(state.FirstNames.begin(), state.FirstNames.end(), QString());
    std::fill(state.Years.begin(), state.Years.end(), qint16(0));
    state.PoolLast.clear();
    state.PoolFirst.clear();
    state.PickLast.clear();
    state.PickFirst.clear();
    state.NumNames = 0;
    state.RosterText = decodeRosterText(bytes);
    const QStringView all(state.RosterText);

    auto skip = [&](int lineNumber, const QString &reason) {
        ++report.skippedLines;
        if (report.skipDetails.size() < MaxSkipDetails)
            report.skipDetails << QStringLiteral("%1 line %2: %3").arg(fileName).arg(lineNumber).arg(reason);
    };

    int count = 0;
    int lineNumber = 0;
    const char16_t *const begin = all.utf16();
    const char16_t *const end = begin + all.size();
    const char16_t *cursor = begin;
    while (cursor < end) {
        // One pass over the line finds its end and its first two commas.
        const char16_t *lineStart = cursor;
        const char16_t *firstComma = nullptr;
        const char16_t *secondComma = nullptr;
        while (cursor < end && *cursor != u'\n') {
            if (*cursor == u',' && !secondComma)
                (firstComma ? secondComma : firstComma) = cursor;
            ++cursor;
        }
        const char16_t *lineEnd = cursor;
        if (cursor < end)
            ++cursor;
        if (lineEnd > lineStart && lineEnd[-1] == u'\r')
            --lineEnd;
        ++lineNumber;

        if (lineEnd == lineStart)
            continue;
        if (count == StoreSlots) {
            report.ignoredFromLine = lineNumber;
            break;
        }
        if (!secondComma) {
            skip(lineNumber, QStringLiteral("fewer than two commas"));
            continue;
        }
        const QStringView yearText(secondComma + 1, lineEnd);
        const std::optional<qint16> year = ToInteger16(NumericValue(yearText));
        if (!year) {
            skip(lineNumber, QStringLiteral("year %1 is outside -32768..32767").arg(yearText.trimmed().left(20)));
            continue;
        }
        // Names borrow their characters from the roster text: one allocation
        // for the whole roster instead of two for every player.
        state.LastNames[size_t(count)] = QString::fromRawData(reinterpret_cast<const QChar *>(lineStart), firstComma - lineStart);
        state.FirstNames[size_t(count)] = QString::fromRawData(reinterpret_cast<const QChar *>(firstComma + 1), secondComma - firstComma - 1);
        state.Years[size_t(count)] = *year;
        ++count;
    }

    state.NameCount = qint16(count);
    state.PoolLast.assign(size_t(count) + 1, QString());
    state.PoolFirst.assign(size_t(count) + 1, QString());
    state.PoolCount = 0;
    if (count == 0)
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
    const QFileInfo info(path);
    if (info.isDir()) {
        report.error = fileError(path, QStringLiteral("it is a folder, not a file"));
        return report;
    }
    // A pipe or a device would be read until it ends, which may be never.
    if (info.exists() && !info.isFile()) {
        report.error = fileError(path, QStringLiteral("it is not a regular file"));
        return report;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        report.error = fileError(path, file.errorString());
        return report;
    }
    const QByteArray bytes = file.read(MaxRosterBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        report.error = fileError(path, file.errorString());
        return report;
    }
    if (bytes.size() > MaxRosterBytes) {
        report.error = fileError(path, QStringLiteral("it is larger than %1 MiB, far more than %2 players need")
                                               .arg(MaxRosterBytes / (1024 * 1024))
                                               .arg(StoreSlots));
        return report;
    }
    report = parseRoster(bytes, info.fileName(), state);
    if (!report.loaded())
        report.error = fileError(path, report.error);
    return report;
}
