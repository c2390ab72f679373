// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "list/namefile.h"

#include "platform/nativepath.h"
#include "platform/platformfile.h"
#include "roster/rosterfile.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstring>

namespace {

constexpr QByteArrayView Utf8Mark = "\xEF\xBB\xBF";

class Reader
{
public:
    Reader(NameFileForms forms, std::deque<QByteArray> &decoded, const NameSink &sink)
        : m_forms(forms), m_decoded(decoded), m_sink(sink)
    {
    }

    void readLines(QByteArrayView text)
    {
        const char *at = text.data();
        const char *const end = at + text.size();
        while (at < end) {
            const auto *lineFeed = static_cast<const char *>(std::memchr(at, '\n', size_t(end - at)));
            const char *const lineEnd = lineFeed ? lineFeed : end;
            QByteArrayView line(at, lineEnd - at);
            at = lineEnd + 1;
            // A CR ends a line too, alone or before the LF.
            for (qsizetype cr = line.indexOf('\r'); cr >= 0; cr = line.indexOf('\r')) {
                readLine(line.first(cr));
                line = line.sliced(cr + 1);
            }
            readLine(line);
        }
    }

    // A whole JSON document, as the command's json output or a tool that
    // spreads it over many lines gives it. False when the text is none.
    bool readJson(QByteArrayView text)
    {
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(text.toByteArray(), &error);
        if (error.error != QJsonParseError::NoError)
            return false;
        if (document.isArray())
            addJsonNames(document.array());
        else
            addJsonNames(document.object().value(QStringLiteral("names")).toArray());
        return true;
    }

private:
    void readLine(QByteArrayView line)
    {
        // Two files joined leave a byte-order mark at the start of a line.
        if (line.startsWith(Utf8Mark))
            line = line.sliced(Utf8Mark.size());
        if (line.isEmpty())
            return;
        const qsizetype comma = line.indexOf(',');
        if (m_forms == NameFileForms::ListFile) {
            if (comma >= 0 && !isBlockHeader(line, comma))
                addSplits(line, ',', comma, true);
            return;
        }
        if (line.front() == '{') {
            readJson(line);
            m_csv = false;
        } else if (line == "first,last") {
            m_csv = true;
        } else if (comma < 0) {
            addSplits(line, ' ', line.indexOf(' '), false);
        } else if (isBlockHeader(line, comma)) {
            m_csv = false;
        } else if (m_csv) {
            addCsvRecord(line);
        } else {
            addSplits(line, ',', comma, true);
        }
    }

    // The header of a block, "start , end": a comma with a blank either side.
    static bool isBlockHeader(QByteArrayView line, qsizetype comma)
    {
        for (; comma >= 0; comma = line.indexOf(',', comma + 1)) {
            if (comma > 0 && comma + 1 < line.size() && line[comma - 1] == ' ' && line[comma + 1] == ' ')
                return true;
        }
        return false;
    }

    void add(QByteArrayView first, QByteArrayView last)
    {
        if (!first.isEmpty() && !last.isEmpty())
            m_sink({first, last});
    }

    // Every split of the line at the separator, from the one at the given place on.
    void addSplits(QByteArrayView line, char separator, qsizetype at, bool lastFirst)
    {
        for (; at >= 0; at = line.indexOf(separator, at + 1)) {
            if (lastFirst)
                add(line.sliced(at + 1), line.first(at));
            else
                add(line.first(at), line.sliced(at + 1));
        }
    }

    QByteArrayView keep(QByteArray text)
    {
        m_decoded.push_back(std::move(text));
        return m_decoded.back();
    }

    // One field of a CSV record from at, which is left after the comma that
    // ends it, or at the end. False when the field is malformed.
    bool csvField(QByteArrayView line, qsizetype &at, QByteArrayView &field)
    {
        if (at < line.size() && line[at] == '"') {
            // Quoted: a doubled quote stands for one, and makes a text of its own.
            QByteArray unquoted;
            qsizetype from = at + 1;
            for (qsizetype i = from;; ++i) {
                if (i == line.size())
                    return false;
                if (line[i] != '"')
                    continue;
                if (i + 1 < line.size() && line[i + 1] == '"') {
                    unquoted += line.sliced(from, i + 1 - from);
                    from = ++i + 1;
                    continue;
                }
                if (from == at + 1) {
                    field = line.sliced(from, i - from);
                } else {
                    unquoted.append(line.sliced(from, i - from));
                    field = keep(std::move(unquoted));
                }
                at = i + 1;
                break;
            }
        } else {
            qsizetype end = line.indexOf(',', at);
            if (end < 0)
                end = line.size();
            field = line.sliced(at, end - at);
            if (field.contains('"'))
                return false;
            at = end;
        }
        if (at == line.size())
            return true;
        if (line[at] != ',')
            return false;
        ++at;
        return true;
    }

    void addCsvRecord(QByteArrayView line)
    {
        QByteArrayView first, last;
        qsizetype at = 0;
        if (csvField(line, at, first) && at < line.size() && csvField(line, at, last) && at == line.size()
            && line.back() != ',')
            add(first, last);
    }

    void addJsonNames(const QJsonArray &names)
    {
        for (const QJsonValue &value : names) {
            const QJsonObject name = value.toObject();
            const QJsonValue first = name.value(QStringLiteral("first"));
            const QJsonValue last = name.value(QStringLiteral("last"));
            if (first.isString() && last.isString())
                add(keep(first.toString().toUtf8()), keep(last.toString().toUtf8()));
        }
    }

    NameFileForms m_forms;
    std::deque<QByteArray> &m_decoded;
    const NameSink &m_sink;
    bool m_csv = false; // after a "first,last" header, until a block header or JSON
};

QString readError(QStringView what, const QString &path, const QString &reason)
{
    return QStringLiteral("Cannot read %1 %2: %3.").arg(what, withVisibleControls(QDir::toNativeSeparators(path)), reason);
}

} // namespace

QString readNames(QByteArrayView bytes, NameFileForms forms, std::deque<QByteArray> &decoded, const NameSink &sink)
{
    const bool utf16 = bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF");
    if (utf16 || (!bytes.isEmpty() && std::memchr(bytes.data(), 0, size_t(bytes.size())))) {
        const QString text = utf16 ? decodeRosterText(bytes) : QString();
        if (!utf16 || text.contains(QChar(0)))
            return QStringLiteral("it holds NUL bytes, so it is not a text file");
        decoded.push_back(text.toUtf8());
        bytes = decoded.back();
    } else if (!bytes.isValidUtf8()) {
        // Not UTF-8, so 8-bit text of Windows.
        decoded.push_back(decodeRosterText(bytes).toUtf8());
        bytes = decoded.back();
    }

    Reader reader(forms, decoded, sink);
    if (forms == NameFileForms::Any) {
        QByteArrayView start = bytes.startsWith(Utf8Mark) ? bytes.sliced(Utf8Mark.size()) : bytes;
        start = start.trimmed();
        if (!start.isEmpty() && (start.front() == '{' || start.front() == '[') && reader.readJson(start))
            return {};
    }
    reader.readLines(bytes);
    return {};
}

NameList parseNameFile(QByteArrayView bytes, NameFileForms forms)
{
    NameList list;
    list.error = readNames(bytes, forms, list.decoded, [&list](const Utf8Name &name) { list.names.push_back(name); });
    if (!list.error.isEmpty())
        list.names.clear();
    return list;
}

QString readNameFileBytes(const QString &path, bool missingIsEmpty, QStringView what, QByteArray &bytes)
{
    const ReadResult read = readRegularFile(path, MaxRosterBytes, bytes);
    if (read.status == ReadResult::Missing && missingIsEmpty) {
        bytes.clear();
        return {};
    }
    if (read.status == ReadResult::TooLarge)
        return readError(what, path, QStringLiteral("it is larger than %1 MiB").arg(MaxRosterBytes / (1024 * 1024)));
    if (read.status != ReadResult::Read)
        return readError(what, path, read.reason);
    return {};
}

QString addNameFile(const QString &path, NameFileForms forms, bool missingIsEmpty, QStringView what, TakenNames &taken)
{
    QByteArray bytes;
    if (QString error = readNameFileBytes(path, missingIsEmpty, what, bytes); !error.isEmpty())
        return error;
    std::deque<QByteArray> decoded;
    const QString reason = readNames(bytes, forms, decoded, [&taken](const Utf8Name &name) { taken.add(name); });
    return reason.isEmpty() ? QString() : readError(what, path, reason);
}

QString ListFileNames::update(const QString &path, const AllowedNames &names)
{
    const QStringView what = u"the list file";
    QByteArray bytes;
    if (QString error = readNameFileBytes(path, true, what, bytes); !error.isEmpty()) {
        m_taken.reset();
        return error;
    }
    // Only whole lines were read, so what follows them starts a line.
    const bool grown = m_taken && m_namesSerial == names.serial() && m_path == path && !m_bytes.isEmpty()
            && m_bytes.endsWith('\n') && bytes.startsWith(m_bytes);
    const QByteArrayView added = grown ? QByteArrayView(bytes).sliced(m_bytes.size()) : QByteArrayView(bytes);
    if (!grown) {
        m_taken.emplace(names, QStringLiteral("the list file ") + withVisibleControls(QDir::toNativeSeparators(path)));
        m_path = path;
        m_namesSerial = names.serial();
    }
    std::deque<QByteArray> decoded;
    TakenNames &taken = *m_taken;
    const QString reason = readNames(added, NameFileForms::ListFile, decoded, [&taken](const Utf8Name &name) { taken.add(name); });
    if (!reason.isEmpty()) {
        m_taken.reset();
        return readError(what, path, reason);
    }
    // A file that was not UTF-8 is read afresh next time, as a whole.
    m_bytes = decoded.empty() ? bytes : QByteArray();
    return {};
}
