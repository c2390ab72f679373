// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "list/namefile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#if !defined(Q_OS_WIN)
#include <sys/stat.h>
#endif

namespace {

struct NameFileCase {
    const char *name;
    QByteArray bytes;
    NameFileForms forms;
    QString names; // "First|Last" in file order, joined by ";"
    QString error = {};
};

void PrintTo(const NameFileCase &row, std::ostream *os)
{
    *os << row.name;
}

class NameFileForm : public ::testing::TestWithParam<NameFileCase> { };

TEST_P(NameFileForm, GivesTheNamesItLists)
{
    const NameList list = parseNameFile(GetParam().bytes, GetParam().forms);
    QStringList names;
    for (const Utf8Name &name : list.names)
        names << QString::fromUtf8(name.first) + u'|' + QString::fromUtf8(name.last);
    EXPECT_EQ(names.join(u';'), GetParam().names);
    EXPECT_EQ(list.error, GetParam().error);
}

constexpr NameFileForms ListFile = NameFileForms::ListFile;
constexpr NameFileForms Any = NameFileForms::Any;

INSTANTIATE_TEST_SUITE_P(Forms, NameFileForm, ::testing::Values(
    NameFileCase{"list_file_crlf", "1871 , 2000\r\nSmith,John\r\nVan Buren,Mary Ann\r\n\r\n\r\n", ListFile,
                 "John|Smith;Mary Ann|Van Buren"},
    NameFileCase{"list_file_lf_mark_no_last_break", "\xEF\xBB\xBF" "1950 , 1959\nGentry,Jim\nTaylor,Dave", ListFile,
                 "Jim|Gentry;Dave|Taylor"},
    NameFileCase{"list_file_passes_other_shapes", "Jim Gentry\n1950 , 1959\n,Jim\nGentry,\n{\"a\":1}\nCobb,Ty\n",
                 ListFile, "Ty|Cobb"},
    NameFileCase{"lone_cr_and_mark_inside", "Aaron,Hank\rBaker,Frank\r\n\xEF\xBB\xBF" "Cobb,Ty\n", ListFile,
                 "Hank|Aaron;Frank|Baker;Ty|Cobb"},
    NameFileCase{"every_split_of_two_commas", "Lee,Jr,Ann\n", Any, "Jr,Ann|Lee;Ann|Lee,Jr"},
    NameFileCase{"csv_quoted", "first,last\r\nJim,Gentry\r\n\"O\"\"Neil, Jr.\",Ty\r\n\"Ann\",\"Lee\"\r\n", Any,
                 "Jim|Gentry;O\"Neil, Jr.|Ty;Ann|Lee"},
    NameFileCase{"csv_bad_records", "first,last\r\n\"Ann,Lee\r\nA,B,C\r\nx\"y,z\r\nA,\r\n\"A\"x,B\r\n", Any, ""},
    NameFileCase{"json_line", "{\"from\":\"1950\",\"names\":[{\"first\":\"Jim\",\"last\":\"Gentry\"},"
                              "{\"first\":\"Jos\\u00e9\",\"last\":\"O\\\"Neil\"}],\"players\":1037,\"to\":\"1959\"}\n",
                 Any, "Jim|Gentry;José|O\"Neil"},
    NameFileCase{"json_over_many_lines", "\n{\n  \"names\": [\n    {\"first\": \"Jim\", \"last\": \"Gentry\"}\n  ]\n}\n",
                 Any, "Jim|Gentry"},
    NameFileCase{"text_with_blanks_in_names", "Jim Gentry\nMary Ann Lee\nCher\n", Any,
                 "Jim|Gentry;Mary|Ann Lee;Mary Ann|Lee"},
    NameFileCase{"forms_appended_to_one_file",
                 "first,last\r\nJim,Gentry\r\n1950 , 1959\r\nTaylor,Dave\r\n\r\n\r\nJohnny Allison\n"
                 "{\"names\":[{\"first\":\"Ed\",\"last\":\"Early\"}]}\n{bad json\nCobb,Ty\n",
                 Any, "Jim|Gentry;Dave|Taylor;Johnny|Allison;Ed|Early;Ty|Cobb"},
    NameFileCase{"utf16_with_mark", QByteArray("\xFF\xFE", 2) + QByteArray(reinterpret_cast<const char *>(u"Müller,Jürgen\r\n"), 30),
                 ListFile, "Jürgen|Müller"},
    NameFileCase{"windows_1252", "M\xFCller,J\xFCrgen\r\n", ListFile, "Jürgen|Müller"},
    NameFileCase{"nul_bytes", QByteArray("Cobb,Ty\r\n\0", 10), Any, "", "it holds NUL bytes, so it is not a text file"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(NameFile, MissingFolderAndPipeAreNamed)
{
    QTemporaryDir dir;
    QByteArray bytes = "old";
    const QString missing = dir.filePath(QStringLiteral("none.txt"));
    EXPECT_TRUE(readNameFileBytes(missing, true, u"the list file", bytes).isEmpty() && bytes.isEmpty());
    EXPECT_TRUE(readNameFileBytes(missing, false, u"the name file", bytes)
                        .startsWith(QStringLiteral("Cannot read the name file %1: ").arg(QDir::toNativeSeparators(missing))));
    EXPECT_EQ(readNameFileBytes(dir.path(), false, u"the name file", bytes),
              QStringLiteral("Cannot read the name file %1: it is a folder, not a file.").arg(QDir::toNativeSeparators(dir.path())));
#if !defined(Q_OS_WIN)
    // A control character in its name is shown, never sent to the terminal.
    const QString pipe = dir.filePath(QStringLiteral("pipe\x1B[2J"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    EXPECT_EQ(readNameFileBytes(pipe, false, u"the name file", bytes),
              QStringLiteral("Cannot read the name file %1<U+001B>[2J: it is not a regular file.").arg(dir.filePath(QStringLiteral("pipe"))));
#endif
}

} // namespace
