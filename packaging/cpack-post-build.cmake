# SPDX-FileCopyrightText: 2026 The Quillery developers
# SPDX-License-Identifier: GPL-3.0-or-later

# Run by cpack after it made the packages, before it copies them out.
#
# CPack's .deb writer gives its three ar members (debian-binary, control.tar.*,
# data.tar.*) the modes of the files it wrote for them, which follow the umask
# of whoever runs cpack. dpkg-deb writes 100644 for each, whatever the umask:
# so does this, in place. Member header: name 16, time 12, owner 6, group 6,
# mode 8, size 10, end 2 bytes; the data follows, padded to an even length.

foreach(package IN LISTS CPACK_PACKAGE_FILES)
    if(NOT package MATCHES "\\.deb$")
        continue()
    endif()
    file(READ "${package}" magic LIMIT 8)
    if(NOT magic STREQUAL "!<arch>\n")
        message(FATAL_ERROR "${package}: not an ar archive")
    endif()
    file(SIZE "${package}" total)
    set(header 8)
    while(header LESS total)
        math(EXPR mode_at "${header} + 40")
        math(EXPR size_at "${header} + 48")
        file(READ "${package}" size OFFSET ${size_at} LIMIT 10)
        string(STRIP "${size}" size)
        file(READ "${package}" mode OFFSET ${mode_at} LIMIT 8)
        string(STRIP "${mode}" mode)
        if(NOT size MATCHES "^[0-9]+$" OR NOT mode MATCHES "^100[0-7][0-7][0-7]$")
            message(FATAL_ERROR "${package}: unexpected ar member header at byte ${header}")
        endif()
        if(NOT mode STREQUAL "100644")
            execute_process(COMMAND printf "100644  "
                            COMMAND dd "of=${package}" bs=1 seek=${mode_at} conv=notrunc status=none
                            COMMAND_ERROR_IS_FATAL ANY)
        endif()
        math(EXPR header "${header} + 60 + ${size} + ${size} % 2")
    endwhile()
endforeach()
