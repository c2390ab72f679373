// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "settingsfile.h"

#include "platform/nativepath.h"
#include "platform/platformfile.h"

#include <QFileInfo>
#include <QSet>

#include <utility>

namespace {

// Far more than any settings file of this program needs.
constexpr qint64 MaxSettingsBytes = 1 << 20;

const QString DefaultGroup = QStringLiteral("General");

bool hasControlCharacter(QStringView text)
{
    for (QChar c : text) {
        if ((c.unicode() < 0x20 && c != u'\t') || c.unicode() == 0x7F)
            return true;
    }
    return false;
}

bool hasLoneSurrogate(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        else if (text[i].isSurrogate())
            return true;
    }
    return false;
}

// The length of the line break (LF, CR LF or CR) at position i of text; 0
// when there is none there.
template<typename Text>
int lineBreakLength(const Text &text, qsizetype i)
{
    if (text[i] == '\n')
        return 1;
    if (text[i] == '\r')
        return i + 1 < text.size() && text[i + 1] == '\n' ? 2 : 1;
    return 0;
}

// Calls line(start, end, breakLength) for every line of text, the last one
// too, which is empty when the text ends in a line break.
template<typename Text, typename Line>
void forEachLine(const Text &text, Line line)
{
    qsizetype start = 0;
    for (qsizetype i = 0;; ++i) {
        const int breakLength = i < text.size() ? lineBreakLength(text, i) : 0;
        if (i < text.size() && breakLength == 0)
            continue;
        line(start, i, breakLength);
        if (i == text.size())
            return;
        i += breakLength - 1;
        start = i + 1;
    }
}

} // namespace

SettingsText SettingsText::parse(QByteArrayView bytes)
{
    SettingsText result;
    struct RawLine {
        QString text;
        QString lineBreak;
        QString problem;
    };
    QList<RawLine> raw;

    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        const bool little = bytes.startsWith("\xFF\xFE");
        result.m_encoding = little ? Encoding::Utf16LittleEndian : Encoding::Utf16BigEndian;
        const QByteArrayView body = bytes.sliced(2);
        QString text(body.size() / 2, Qt::Uninitialized);
        for (qsizetype i = 0; i < text.size(); ++i) {
            const auto first = uchar(body[2 * i]);
            const auto second = uchar(body[2 * i + 1]);
            text[i] = QChar(little ? ushort(first | second << 8) : ushort(first << 8 | second));
        }
        forEachLine(text, [&](qsizetype start, qsizetype end, int breakLength) {
            RawLine line{text.sliced(start, end - start), text.sliced(end, breakLength), {}};
            // An odd byte at the end is half a character.
            if (hasLoneSurrogate(line.text) || (end == text.size() && body.size() % 2 != 0))
                line.problem = QStringLiteral("it is not valid UTF-16");
            raw.append(line);
        });
    } else {
        QByteArrayView body = bytes;
        if (body.startsWith("\xEF\xBB\xBF")) {
            result.m_encoding = Encoding::Utf8WithMark;
            body = body.sliced(3);
        }
        forEachLine(body, [&](qsizetype start, qsizetype end, int breakLength) {
            const QByteArrayView line = body.sliced(start, end - start);
            RawLine decoded{QString::fromUtf8(line), QString::fromLatin1(body.sliced(end, breakLength)), {}};
            if (firstInvalidUtf8(line) >= 0)
                decoded.problem = QStringLiteral("it is not valid UTF-8");
            raw.append(decoded);
        });
    }
    // What follows the last line break is no line.
    if (raw.last().text.isEmpty() && raw.last().problem.isEmpty())
        raw.removeLast();

    QString group = DefaultGroup;
    QSet<QString> keys; // "group\nkey" of every key seen
    for (RawLine &line : raw) {
        Line parsed{line.text, line.lineBreak, {}, {}};
        const QString trimmed = line.text.trimmed();
        QString problem = line.problem;
        if (problem.isEmpty() && hasControlCharacter(line.text))
            problem = QStringLiteral("it holds a control character");
        const qsizetype equals = trimmed.indexOf(u'=');
        const bool blankOrComment = trimmed.isEmpty() || trimmed.startsWith(u';') || trimmed.startsWith(u'#');
        if (!problem.isEmpty() || blankOrComment) {
            // Nothing to take from it.
        } else if (trimmed.startsWith(u'[') && trimmed.endsWith(u']') && trimmed.size() > 2) {
            group = trimmed.sliced(1, trimmed.size() - 2).trimmed();
        } else if (equals > 0) {
            parsed.key = trimmed.left(equals).trimmed();
            if (keys.contains(group + u'\n' + parsed.key))
                problem = QStringLiteral("it gives %1/%2 a second time")
                                  .arg(withVisibleControls(group), withVisibleControls(parsed.key));
            keys.insert(group + u'\n' + parsed.key);
        } else {
            problem = QStringLiteral("it is neither a [group], a key=value line nor a comment");
        }
        if (!problem.isEmpty()) {
            parsed.key.clear();
            result.markUnreadable(int(result.m_lines.size()) + 1, problem);
        }
        parsed.group = group;
        result.m_lines.append(parsed);
    }
    return result;
}

void SettingsText::markUnreadable(int line, const QString &reason)
{
    if (m_unreadableLine == 0) {
        m_unreadableLine = line;
        m_unreadableReason = reason;
    }
}

SettingsText::Value SettingsText::value(const QString &group, const QString &key) const
{
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const Line &line = m_lines[i];
        if (line.group == group && line.key == key)
            return {line.text.sliced(line.text.indexOf(u'=') + 1).trimmed(), int(i) + 1};
    }
    return {};
}

QString SettingsText::newLineBreak() const
{
    for (const Line &line : m_lines) {
        if (!line.lineBreak.isEmpty())
            return line.lineBreak;
    }
#if defined(Q_OS_WIN)
    return QStringLiteral("\r\n");
#else
    return QStringLiteral("\n");
#endif
}

void SettingsText::setValue(const QString &group, const QString &key, const QString &text)
{
    if (const Value old = value(group, key); old.line > 0) {
        // The key, the "=" and the blanks after it stay as the user wrote them.
        QString &line = m_lines[old.line - 1].text;
        qsizetype start = line.indexOf(u'=') + 1;
        while (start < line.size() && line[start].isSpace())
            ++start;
        line = line.left(start) + text;
        return;
    }
    const QString lineBreak = newLineBreak();
    // After the group's last key, or its header when it has none.
    qsizetype after = -1;
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const QString trimmed = m_lines[i].text.trimmed();
        if (m_lines[i].group == group && (!m_lines[i].key.isEmpty() || trimmed.startsWith(u'[')))
            after = i;
    }
    QList<Line> added;
    if (after < 0) {
        after = m_lines.size() - 1;
        if (after >= 0 && !m_lines[after].text.trimmed().isEmpty())
            added.append({QString(), lineBreak, group, {}});
        added.append({u'[' + group + u']', lineBreak, group, {}});
    }
    added.append({key + u'=' + text, lineBreak, group, key});
    if (after >= 0 && m_lines[after].lineBreak.isEmpty())
        m_lines[after].lineBreak = lineBreak;
    for (qsizetype i = 0; i < added.size(); ++i)
        m_lines.insert(after + 1 + i, added[i]);
}

QByteArray SettingsText::bytes() const
{
    QString text;
    for (const Line &line : m_lines)
        text += line.text + line.lineBreak;
    switch (m_encoding) {
    case Encoding::Utf8:
        return text.toUtf8();
    case Encoding::Utf8WithMark:
        return "\xEF\xBB\xBF" + text.toUtf8();
    case Encoding::Utf16LittleEndian:
    case Encoding::Utf16BigEndian:
        break;
    }
    const bool little = m_encoding == Encoding::Utf16LittleEndian;
    QByteArray bytes(little ? "\xFF\xFE" : "\xFE\xFF");
    bytes.reserve(2 + 2 * text.size());
    for (QChar c : std::as_const(text)) {
        const char high = char(c.unicode() >> 8);
        const char low = char(c.unicode() & 0xFF);
        bytes += little ? low : high;
        bytes += little ? high : low;
    }
    return bytes;
}

SettingsFileRead readSettingsFile(const QString &path)
{
    SettingsFileRead result;
    // Judged before it is opened: opening a pipe to read it could wait for ever.
    const FileKind kind = fileKindAt(path);
    if (kind.kind == FileKind::Missing)
        return result;
    if (kind.kind == FileKind::Unusable)
        return {SettingsFileRead::Refused, kind.reason, {}};
    QByteArray bytes;
    const ReadResult read = readRegularFile(path, MaxSettingsBytes, bytes);
    if (read.status == ReadResult::TooLarge)
        return {SettingsFileRead::Refused, QStringLiteral("it is larger than 1 MB, far too large for a settings file"), {}};
    if (read.status == ReadResult::Failed)
        return {SettingsFileRead::Refused, read.reason, {}};
    return {SettingsFileRead::Read, {}, SettingsText::parse(bytes)};
}

QString writeSettingsFile(const QString &path, const SettingsText &text)
{
    if (QString reason = makeFolder(QFileInfo(path).absolutePath()); !reason.isEmpty())
        return reason;
    return replaceFileContents(path, text.bytes());
}
