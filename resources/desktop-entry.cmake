# SPDX-FileCopyrightText: 2026 The Quillery developers
# SPDX-License-Identifier: GPL-3.0-or-later

# Writes quillery.desktop into the install folder. A desktop entry needs
# absolute paths, so it is filled in with the folder's own path when it is
# installed; moving the folder means installing it again.

set(folder "${CMAKE_INSTALL_PREFIX}")
set(target "$ENV{DESTDIR}${folder}")

if(folder MATCHES "[\n\r]")
    message(FATAL_ERROR "A desktop entry cannot name a folder with a line break in its path: ${folder}")
endif()

# A string value escapes the backslash.
string(REPLACE "\\" "\\\\" QUILLERY_DIR "${folder}")

# Exec takes the program as a quoted argument: inside the quotes \ " ` $ are
# escaped with a backslash, and that backslash is escaped again as part of a
# string value. A literal % is written %%.
set(program "${folder}/quillery")
string(REPLACE "\\" "\\\\" program "${program}")
string(REPLACE "\"" "\\\"" program "${program}")
string(REPLACE "`" "\\`" program "${program}")
string(REPLACE "$" "\\$" program "${program}")
string(REPLACE "\\" "\\\\" program "${program}")
string(REPLACE "%" "%%" program "${program}")
set(QUILLERY_EXEC "\"${program}\"")

set(QUILLERY_ICON_LINE "")
if(EXISTS "${target}/quillery.png")
    set(QUILLERY_ICON_LINE "Icon=${QUILLERY_DIR}/quillery.png\n")
endif()

configure_file("${CMAKE_CURRENT_LIST_DIR}/quillery.desktop.in" "${target}/quillery.desktop" @ONLY)
message(STATUS "Installing: ${target}/quillery.desktop")
