// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/nativepath.h"

#include <gtest/gtest.h>

namespace {

struct PathCase {
    const char *name;
    const char16_t *path;
    const char16_t *expected;
};

void PrintTo(const PathCase &c, std::ostream *out) { *out << c.name; }

class ExtendedLengthPath : public testing::TestWithParam<PathCase> {};

// Windows only enforces its 260 characters on the real system, not under Wine,
// so the form of what reaches it is pinned here.
TEST_P(ExtendedLengthPath, IsTheFormWindowsTakesAtAnyLength)
{
    const PathCase &c = GetParam();
    EXPECT_EQ(extendedLengthPath(QString::fromUtf16(c.path)).toStdU16String(), std::u16string(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ExtendedLengthPath,
    testing::Values(
        PathCase{"Drive", u"C:\\Users\\J\u00fcrgen\\RandomNames.txt", u"\\\\?\\C:\\Users\\J\u00fcrgen\\RandomNames.txt"},
        PathCase{"ForwardSlashes", u"C:/Users/Ann/RandomNames.txt", u"\\\\?\\C:\\Users\\Ann\\RandomNames.txt"},
        PathCase{"DotsAndDoubledSeparators", u"C:/a/./b//../c/RandomNames.txt", u"\\\\?\\C:\\a\\c\\RandomNames.txt"},
        PathCase{"AboveTheRootStaysAtTheRoot", u"C:/../../x.txt", u"\\\\?\\C:\\x.txt"},
        PathCase{"TrailingDotsAndBlanksDropped", u"C:/a/list.txt. .", u"\\\\?\\C:\\a\\list.txt"},
        PathCase{"FolderLosesOneTrailingDot", u"C:/dir./x.txt", u"\\\\?\\C:\\dir\\x.txt"},
        PathCase{"DriveRoot", u"D:/", u"\\\\?\\D:\\"},
        PathCase{"NetworkShare", u"\\\\server\\share\\lists\\RandomNames.txt",
                 u"\\\\?\\UNC\\server\\share\\lists\\RandomNames.txt"},
        PathCase{"NetworkShareParentStaysInTheShare", u"//server/share/../x.txt", u"\\\\?\\UNC\\server\\share\\x.txt"},
        PathCase{"AlreadyExtended", u"\\\\?\\C:\\a\\..\\b", u"\\\\?\\C:\\a\\..\\b"},
        PathCase{"DevicePath", u"\\\\.\\pipe\\quillery", u"\\\\.\\pipe\\quillery"},
        PathCase{"NullDeviceInAFolder", u"C:/a/NUL", u"C:\\a\\NUL"},
        PathCase{"Relative", u"lists/RandomNames.txt", u"lists\\RandomNames.txt"},
        PathCase{"DriveRelative", u"C:list.txt", u"C:list.txt"}),
    [](const testing::TestParamInfo<PathCase> &info) { return std::string(info.param.name); });

struct DeviceCase {
    const char *name;
    const char16_t *path;
    const char16_t *device; // the name refused, empty when none
    bool nullDevice = false; // Windows reads it as the null device itself
};

void PrintTo(const DeviceCase &c, std::ostream *out) { *out << c.name; }

class ReservedDeviceName : public testing::TestWithParam<DeviceCase> {};

TEST_P(ReservedDeviceName, NamesTheDeviceOrNothing)
{
    const QString path = QString::fromUtf16(GetParam().path);
    EXPECT_EQ(reservedDeviceName(path).toStdU16String(), GetParam().device);
    EXPECT_EQ(namesNullDevice(path), GetParam().nullDevice);
}

INSTANTIATE_TEST_SUITE_P(
    Names, ReservedDeviceName,
    testing::Values(DeviceCase{"Bare", u"CON", u"CON"}, DeviceCase{"AnyCase", u"C:\\a\\nUl", u"nUl", true},
                    DeviceCase{"WithExtension", u"C:/a/nul.txt", u"nul.txt"},
                    DeviceCase{"TwoExtensions", u"aux.tar.gz", u"aux.tar.gz"},
                    DeviceCase{"BlanksBeforeTheExtension", u"prn .txt", u"prn .txt"}, DeviceCase{"Com1", u"com1", u"com1"},
                    DeviceCase{"Lpt9", u"C:/LPT9.log", u"LPT9.log"}, DeviceCase{"SuperscriptDigit", u"COM\u00b9", u"COM\u00b9"},
                    DeviceCase{"Com0IsAFile", u"COM0", u""}, DeviceCase{"Com10IsAFile", u"com10.txt", u""},
                    DeviceCase{"LongerNameIsAFile", u"console.txt", u""},
                    DeviceCase{"DeviceNameAsAFolderIsNotTheFile", u"C:/con/list.txt", u""},
                    DeviceCase{"BehindADotOrSeparator", u"C:\\a\\CON\\.", u"CON"},
                    DeviceCase{"TrailingColon", u"NUL:", u"NUL:", true}, DeviceCase{"ConTrailingColon", u"CON:", u"CON:"},
                    DeviceCase{"LowerCaseTrailingColon", u"prn:", u"prn:"},
                    DeviceCase{"TrailingColonInAFolder", u"C:\\dir\\COM1:", u"COM1:"},
                    DeviceCase{"NulTrailingDotAndBlank", u"C:/a/nul. ", u"nul. ", true},
                    DeviceCase{"DriveRelative", u"C:COM1", u"COM1"},
                    DeviceCase{"DriveRelativeWithExtension", u"c:com1.txt", u"com1.txt"},
                    DeviceCase{"DriveRelativeNul", u"d:nul", u"nul", true},
                    DeviceCase{"LiteralPathMakesAFileNamedNul", u"\\\\?\\C:\\dir\\NUL", u"NUL"},
                    DeviceCase{"LiteralPathCon", u"\\\\?\\C:\\dir\\CON", u"CON"},
                    DeviceCase{"DeviceNamespaceNul", u"\\\\.\\nul", u"nul", true},
                    DeviceCase{"NulOnAShareIsAFileThere", u"\\\\server\\share\\NUL", u"NUL"},
                    DeviceCase{"DriveAlone", u"C:", u""},
                    DeviceCase{"Ordinary", u"RandomNames.txt", u""}),
    [](const testing::TestParamInfo<DeviceCase> &info) { return std::string(info.param.name); });

} // namespace
