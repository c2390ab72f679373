// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The Windows version record in resources/quillery.rc: read from its source
// text, and from the resource compiler's output where the build has one.

#include "base/identity.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QPair>
#include <QRegularExpression>
#include <QString>
#include <QtEndian>

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <stdexcept>

void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

using StringTable = QList<QPair<QString, QString>>;

struct VersionRecord
{
    QList<quint16> fileVersion;
    QList<quint16> productVersion;
    quint32 fileType = 0;
    QString tableName;
    StringTable strings;
    QList<quint16> translation;
};

QByteArray readFile(const char *path)
{
    QFile file(QString::fromUtf8(path));
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + std::string(path));
    return file.readAll();
}

// ---- Source text ----

QList<quint16> numbersIn(const QString &text)
{
    QList<quint16> numbers;
    for (const QString &part : text.split(u',')) {
        bool ok = false;
        numbers << quint16(part.trimmed().toUInt(&ok, 0));
        if (!ok)
            throw std::runtime_error("not a number: " + part.toStdString());
    }
    return numbers;
}

VersionRecord readSource(const QString &text)
{
    VersionRecord record;
    const auto statement = [&text](const QString &keyword) {
        const QRegularExpression pattern(QStringLiteral("^\\s*%1\\s+(.+?)\\s*$").arg(keyword),
                                         QRegularExpression::MultilineOption);
        const QRegularExpressionMatch match = pattern.match(text);
        if (!match.hasMatch())
            throw std::runtime_error("no " + keyword.toStdString() + " statement");
        return match.captured(1);
    };
    record.fileVersion = numbersIn(statement(QStringLiteral("FILEVERSION")));
    record.productVersion = numbersIn(statement(QStringLiteral("PRODUCTVERSION")));
    const QString fileType = statement(QStringLiteral("FILETYPE"));
    record.fileType = fileType == u"VFT_APP" ? 1 : numbersIn(fileType).value(0);

    const QRegularExpression table(QStringLiteral("BLOCK\\s+\"StringFileInfo\"\\s+BEGIN\\s+BLOCK\\s+\"([^\"]*)\"\\s+BEGIN(.*?)END"),
                                   QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch tableMatch = table.match(text);
    if (!tableMatch.hasMatch())
        throw std::runtime_error("no string table");
    record.tableName = tableMatch.captured(1);
    const QRegularExpression value(QStringLiteral("VALUE\\s+\"([^\"]*)\"\\s*,\\s*\"([^\"]*)\""));
    for (const QRegularExpressionMatch &match : value.globalMatch(tableMatch.captured(2)))
        record.strings.append({match.captured(1), match.captured(2)});

    const QRegularExpression translation(QStringLiteral("VALUE\\s+\"Translation\"\\s*,\\s*([^\\n]+)"));
    const QRegularExpressionMatch translationMatch = translation.match(text);
    if (!translationMatch.hasMatch())
        throw std::runtime_error("no translation");
    record.translation = numbersIn(translationMatch.captured(1));
    return record;
}

// ---- Compiled resource file ----

// Reads the little-endian structures of a .res file, each read checked
// against the end of the data.
class Reader
{
public:
    Reader(QByteArrayView data, qsizetype begin, qsizetype end)
        : m_data(data), m_pos(begin), m_end(end)
    {
        if (begin < 0 || end > data.size() || begin > end)
            throw std::runtime_error("block outside the file");
    }

    qsizetype pos() const { return m_pos; }
    bool atEnd() const { return m_pos >= m_end; }

    quint16 word() { return qFromLittleEndian<quint16>(take(2)); }
    quint32 dword() { return qFromLittleEndian<quint32>(take(4)); }

    QString zeroTerminated()
    {
        QString text;
        for (quint16 unit = word(); unit != 0; unit = word())
            text.append(QChar(unit));
        return text;
    }

    // Data blocks start on 32-bit boundaries of the file.
    void align() { m_pos = std::min(m_end, (m_pos + 3) & ~qsizetype(3)); }

    void skip(qsizetype count) { take(count); }

private:
    const char *take(qsizetype count)
    {
        if (count < 0 || m_end - m_pos < count)
            throw std::runtime_error("record cut short at byte " + std::to_string(m_pos));
        const char *at = m_data.data() + m_pos;
        m_pos += count;
        return at;
    }

    QByteArrayView m_data;
    qsizetype m_pos;
    qsizetype m_end;
};

struct VersionNode
{
    QString key;
    qsizetype valueAt = 0;
    qsizetype valueLength = 0; // bytes
    QList<VersionNode> children;
};

VersionNode readNode(QByteArrayView data, qsizetype at)
{
    Reader header(data, at, data.size());
    const quint16 length = header.word();
    Reader node(data, at, at + length);
    node.skip(2);
    const quint16 valueLength = node.word();
    const quint16 type = node.word();
    VersionNode result;
    result.key = node.zeroTerminated();
    node.align();
    result.valueAt = node.pos();
    result.valueLength = type == 1 ? 2 * valueLength : valueLength;
    node.skip(result.valueLength);
    node.align();
    while (!node.atEnd()) {
        const VersionNode child = readNode(data, node.pos());
        result.children.append(child);
        node.skip(Reader(data, node.pos(), data.size()).word());
        node.align();
    }
    return result;
}

const VersionNode &child(const VersionNode &node, const QString &key)
{
    for (const VersionNode &candidate : node.children)
        if (candidate.key == key)
            return candidate;
    throw std::runtime_error("no " + key.toStdString() + " under " + node.key.toStdString());
}

QString textValue(QByteArrayView data, const VersionNode &node)
{
    Reader value(data, node.valueAt, node.valueAt + node.valueLength);
    return value.zeroTerminated();
}

// The version resource (type 16) among the entries of a .res file.
QByteArrayView versionResource(QByteArrayView file)
{
    Reader entries(file, 0, file.size());
    while (!entries.atEnd()) {
        const qsizetype start = entries.pos();
        const quint32 dataSize = entries.dword();
        const quint32 headerSize = entries.dword();
        const quint16 typeMarker = entries.word();
        const quint16 type = typeMarker == 0xFFFF ? entries.word() : 0;
        entries.skip(qsizetype(headerSize) - (entries.pos() - start));
        if (type == 16 && dataSize > 0)
            return file.sliced(entries.pos(), dataSize);
        entries.skip(dataSize);
        entries.align();
    }
    throw std::runtime_error("no version resource");
}

VersionRecord readCompiled(QByteArrayView file)
{
    const QByteArrayView data = versionResource(file);
    const VersionNode root = readNode(data, 0);
    if (root.key != u"VS_VERSION_INFO" || root.valueLength != 52)
        throw std::runtime_error("not a version record");

    Reader fixed(data, root.valueAt, root.valueAt + root.valueLength);
    if (fixed.dword() != 0xFEEF04BD)
        throw std::runtime_error("fixed file info without its signature");
    fixed.skip(4);
    VersionRecord record;
    for (QList<quint16> *version : {&record.fileVersion, &record.productVersion}) {
        const quint32 high = fixed.dword();
        const quint32 low = fixed.dword();
        *version = {quint16(high >> 16), quint16(high), quint16(low >> 16), quint16(low)};
    }
    fixed.skip(12);
    record.fileType = fixed.dword();

    const VersionNode &stringInfo = child(root, QStringLiteral("StringFileInfo"));
    if (stringInfo.children.size() != 1)
        throw std::runtime_error("expected one string table");
    const VersionNode &table = stringInfo.children.front();
    record.tableName = table.key;
    for (const VersionNode &string : table.children)
        record.strings.append({string.key, textValue(data, string)});

    const VersionNode &translation = child(child(root, QStringLiteral("VarFileInfo")), QStringLiteral("Translation"));
    Reader pairs(data, translation.valueAt, translation.valueAt + translation.valueLength);
    while (!pairs.atEnd())
        record.translation << pairs.word();
    return record;
}

// ---- The tests ----

enum class Form { Source, Compiled };

std::optional<VersionRecord> loadRecord(Form form)
{
    if (form == Form::Source)
        return readSource(QString::fromUtf8(readFile(QUILLERY_RC_FILE)));
#ifdef QUILLERY_RES_FILE
    return readCompiled(readFile(QUILLERY_RES_FILE));
#else
    return std::nullopt;
#endif
}

class VersionRecordTest : public testing::TestWithParam<Form>
{
protected:
    void SetUp() override
    {
        record = loadRecord(GetParam());
        if (!record)
            GTEST_SKIP() << "no resource compiler in this build";
    }

    std::optional<VersionRecord> record;
};

// The six of the program's documented record, then what Windows shows of a
// program in its place.
TEST_P(VersionRecordTest, HoldsTheSixStringsInOrderThenDescriptionAndCopyright)
{
    const StringTable expected = {
        {QStringLiteral("CompanyName"), QStringLiteral("None")},
        {QStringLiteral("ProductName"), QStringLiteral("Quillery")},
        {QStringLiteral("FileVersion"), QStringLiteral("1.00")},
        {QStringLiteral("ProductVersion"), QStringLiteral("1.00")},
        {QStringLiteral("InternalName"), QStringLiteral("Quillery")},
        {QStringLiteral("OriginalFilename"), QStringLiteral("Quillery.exe")},
        {QStringLiteral("FileDescription"), QStringLiteral("Quillery")},
        {QStringLiteral("LegalCopyright"), QStringLiteral("2026 The Quillery developers, GPL-3.0-or-later")},
    };
    EXPECT_EQ(record->strings, expected);
}

TEST_P(VersionRecordTest, IsOneUsEnglishUnicodeTable)
{
    EXPECT_EQ(record->tableName, QStringLiteral("040904B0"));
    EXPECT_EQ(record->translation, (QList<quint16>{0x0409, 1200}));
}

TEST_P(VersionRecordTest, NumbersTheApplicationOneZeroZeroZero)
{
    const QList<quint16> oneZeroZeroZero = {1, 0, 0, 0};
    EXPECT_EQ(record->fileVersion, oneZeroZeroZero);
    EXPECT_EQ(record->productVersion, oneZeroZeroZero);
    EXPECT_EQ(record->fileType, 1u) << "VFT_APP";
}

TEST_P(VersionRecordTest, AgreesWithTheProgramsOwnName)
{
    const auto value = [this](const char *key) {
        for (const auto &[name, text] : record->strings)
            if (name == QLatin1StringView(key))
                return text;
        return QString();
    };
    EXPECT_EQ(value("ProductName"), ApplicationTitle);
    EXPECT_EQ(value("InternalName"), ApplicationTitle);
    EXPECT_EQ(value("OriginalFilename"), ApplicationTitle.toString() + QStringLiteral(".exe"));
    EXPECT_EQ(value("FileVersion"), ApplicationVersion);
    EXPECT_EQ(value("ProductVersion"), ApplicationVersion);
}

// The command's record differs only in what names the file itself.
TEST(VersionRecordOfTheCommand, SharesTheProgramsIdentity)
{
    const VersionRecord program = readSource(QString::fromUtf8(readFile(QUILLERY_RC_FILE)));
    StringTable expected = program.strings;
    for (auto &[name, text] : expected) {
        if (name == u"InternalName")
            text = QStringLiteral("quillery-names");
        else if (name == u"OriginalFilename")
            text = QStringLiteral("quillery-names.exe");
        else if (name == u"FileDescription")
            text = QStringLiteral("Makes up random baseball player names");
    }
    EXPECT_EQ(readSource(QString::fromUtf8(readFile(QUILLERY_NAMES_RC_FILE))).strings, expected);
}

INSTANTIATE_TEST_SUITE_P(Forms, VersionRecordTest, testing::Values(Form::Source, Form::Compiled),
                         [](const testing::TestParamInfo<Form> &info) {
                             return info.param == Form::Source ? "Source" : "Compiled";
                         });

} // namespace
