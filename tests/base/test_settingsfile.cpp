// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "base/settingsfile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include <string>

using namespace std::string_literals;

namespace {

struct SettingsCase {
    const char *name;
    std::string bytes;
    int unreadableLine;
    const char *reason;
    const char *madeUp; // the value of Names/MadeUpNamesOnly
    int madeUpLine;
    std::string after; // once Names/NoRepeatedNames is set to true; "%n": the system's line break
};

void PrintTo(const SettingsCase &c, std::ostream *out) { *out << c.name; }

class SettingsTextCase : public testing::TestWithParam<SettingsCase> {};

QByteArray bytesOf(const std::string &text)
{
    return QByteArray(text.data(), qsizetype(text.size()));
}

TEST_P(SettingsTextCase, ReadsAndChangesOneLine)
{
    const SettingsCase &c = GetParam();
    SettingsText text = SettingsText::parse(bytesOf(c.bytes));

    EXPECT_EQ(text.unreadableLine(), c.unreadableLine);
    EXPECT_EQ(text.unreadableReason().toStdString(), c.reason);
    const SettingsText::Value madeUp = text.value(QStringLiteral("Names"), QStringLiteral("MadeUpNamesOnly"));
    EXPECT_EQ(madeUp.text.toStdString(), c.madeUp);
    EXPECT_EQ(madeUp.line, c.madeUpLine);
    // A file that is not fully read is never written again.
    if (c.unreadableLine != 0)
        return;
    EXPECT_EQ(text.bytes(), bytesOf(c.bytes));
    text.setValue(QStringLiteral("Names"), QStringLiteral("NoRepeatedNames"), QStringLiteral("true"));
#if defined(Q_OS_WIN)
    const QByteArray lineBreak = "\r\n";
#else
    const QByteArray lineBreak = "\n";
#endif
    EXPECT_EQ(text.bytes(), bytesOf(c.after).replace("%n", lineBreak));
}

const std::string Unicode = "\xFF\xFE[\0N\0a\0m\0e\0s\0]\0\r\0\n\0M\0a\0d\0e\0U\0p\0N\0a\0m\0e\0s\0O\0n\0l\0y\0=\0t\0r\0u\0e\0"
                            "\r\0\n\0"s;
const std::string UnicodeAfter = Unicode + "N\0o\0R\0e\0p\0e\0a\0t\0e\0d\0N\0a\0m\0e\0s\0=\0t\0r\0u\0e\0\r\0\n\0"s;
const std::string BigEndian = "\xFE\xFF\0[\0N\0a\0m\0e\0s\0]\0\n\0M\0a\0d\0e\0U\0p\0N\0a\0m\0e\0s\0O\0n\0l\0y\0=\0f\0a\0l\0s\0e"s;
const std::string BigEndianAfter =
        BigEndian + "\0\n\0N\0o\0R\0e\0p\0e\0a\0t\0e\0d\0N\0a\0m\0e\0s\0=\0t\0r\0u\0e\0\n"s;
const char *const NotALine = "it is neither a [group], a key=value line nor a comment";

INSTANTIATE_TEST_SUITE_P(Cases, SettingsTextCase, testing::Values(
    SettingsCase{"empty", "", 0, "", "", 0, "[Names]%nNoRepeatedNames=true%n"},
    SettingsCase{"only a byte-order mark", "\xEF\xBB\xBF", 0, "", "", 0, "\xEF\xBB\xBF[Names]%nNoRepeatedNames=true%n"},
    SettingsCase{"as the program writes it", "[Names]\nMadeUpNamesOnly=true\n", 0, "", "true", 2,
                 "[Names]\nMadeUpNamesOnly=true\nNoRepeatedNames=true\n"},
    SettingsCase{"CR LF, no line break at the end", "[Names]\r\nMadeUpNamesOnly=false", 0, "", "false", 2,
                 "[Names]\r\nMadeUpNamesOnly=false\r\nNoRepeatedNames=true\r\n"},
    SettingsCase{"lone CRs", "[Names]\rMadeUpNamesOnly=true\r", 0, "", "true", 2,
                 "[Names]\rMadeUpNamesOnly=true\rNoRepeatedNames=true\r"},
    SettingsCase{"the key's line rewritten, blanks kept", "[Names]\n  NoRepeatedNames = false  \n", 0, "", "", 0,
                 "[Names]\n  NoRepeatedNames = true\n"},
    SettingsCase{"comments and another group kept", "# mine\n[Names]\n; mine too\nMadeUpNamesOnly = true\n\n[Other]\nA=b\n",
                 0, "", "true", 4, "# mine\n[Names]\n; mine too\nMadeUpNamesOnly = true\nNoRepeatedNames=true\n\n[Other]\nA=b\n"},
    SettingsCase{"no group of its own yet", "[Other]\nMadeUpNamesOnly=true", 0, "", "", 0,
                 "[Other]\nMadeUpNamesOnly=true\n\n[Names]\nNoRepeatedNames=true\n"},
    SettingsCase{"UTF-8 with a byte-order mark", "\xEF\xBB\xBF[Names]\nMadeUpNamesOnly=true\n", 0, "", "true", 2,
                 "\xEF\xBB\xBF[Names]\nMadeUpNamesOnly=true\nNoRepeatedNames=true\n"},
    SettingsCase{"UTF-16 little endian, as Notepad's Unicode", Unicode, 0, "", "true", 2, UnicodeAfter},
    SettingsCase{"UTF-16 big endian", BigEndian, 0, "", "false", 2, BigEndianAfter},
    SettingsCase{"UTF-16 with half a character at the end", Unicode + "A", 3, "it is not valid UTF-16", "true", 2, ""},
    SettingsCase{"UTF-16 with a lone surrogate", "\xFF\xFE[\0\x00\xD8]\0"s, 1, "it is not valid UTF-16", "", 0, ""},
    SettingsCase{"UTF-16 without a byte-order mark", "[\0N\0]\0"s, 1, "it holds a control character", "", 0, ""},
    SettingsCase{"bytes that are not UTF-8", "[Names]\nMadeUpNamesOnly=true\n\xFF\xFE\n", 3, "it is not valid UTF-8",
                 "true", 2, ""},
    SettingsCase{"a stray word", "[Names]\nstray\nMadeUpNamesOnly=true\n", 2, NotALine, "true", 3, ""},
    SettingsCase{"a value without a key", "=true\n", 1, NotALine, "", 0, ""},
    SettingsCase{"a key given twice", "[Names]\nMadeUpNamesOnly=true\n[Names]\nMadeUpNamesOnly=false\n", 4,
                 "it gives Names/MadeUpNamesOnly a second time", "true", 2, ""},
    SettingsCase{"a key given twice in a group named with controls", "[\xE2\x80\xAEsemaN\xC2\x9B]\nA=1\nA=2\n", 3,
                 "it gives <U+202E>semaN<U+009B>/A a second time", "", 0, ""}));

// Written and read back through the system's own file layer.
TEST(SettingsFile, WritesAFileAndItsFolderAndRefusesAFolder)
{
    QTemporaryDir root;
    const QString path = root.filePath(QStringLiteral("Quillery/Quillery.ini"));
    EXPECT_EQ(readSettingsFile(path).status, SettingsFileRead::Missing);
    SettingsText text;
    text.setValue(QStringLiteral("Names"), QStringLiteral("MadeUpNamesOnly"), QStringLiteral("true"));

    ASSERT_EQ(writeSettingsFile(path, text).toStdString(), "");
    text.setValue(QStringLiteral("Names"), QStringLiteral("MadeUpNamesOnly"), QStringLiteral("false"));
    ASSERT_EQ(writeSettingsFile(path, text).toStdString(), "");

    const SettingsFileRead read = readSettingsFile(path);
    EXPECT_EQ(read.status, SettingsFileRead::Read);
    EXPECT_EQ(read.text.bytes(), text.bytes());
    EXPECT_EQ(QDir(root.filePath(QStringLiteral("Quillery"))).entryList(QDir::Files),
              QStringList{QStringLiteral("Quillery.ini")});
    const QString folder = root.filePath(QStringLiteral("Folder.ini"));
    ASSERT_TRUE(QDir().mkpath(folder));
    EXPECT_EQ(readSettingsFile(folder).reason.toStdString(), "it is a folder, not a file");
    EXPECT_EQ(writeSettingsFile(folder, text).toStdString(), "it is a folder, not a file");
}

} // namespace
