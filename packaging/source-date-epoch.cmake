# SPDX-FileCopyrightText: 2026 The Quillery developers
# SPDX-License-Identifier: GPL-3.0-or-later

# The one date the packages give their files, as SOURCE_DATE_EPOCH (seconds
# since 1970 UTC), the convention of Debian's tools and many compilers: two
# builds of one commit then give the same bytes, whenever they are made.
#
#  1. SOURCE_DATE_EPOCH from the environment, when it is set there;
#  2. else the time of the last commit, when the source tree is a git
#     checkout of its own;
#  3. else, as in an unpacked source archive, the date of the newest entry in
#     packaging/changelog, which every release adds.
#
# include() sets QUILLERY_SOURCE_DATE_EPOCH; `cmake -P` prints it.

get_filename_component(quillery_source "${CMAKE_CURRENT_LIST_DIR}/.." REALPATH)

set(QUILLERY_SOURCE_DATE_EPOCH "$ENV{SOURCE_DATE_EPOCH}")
if(NOT QUILLERY_SOURCE_DATE_EPOCH STREQUAL "" AND NOT QUILLERY_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
    message(FATAL_ERROR "SOURCE_DATE_EPOCH must be a number of seconds, not \"${QUILLERY_SOURCE_DATE_EPOCH}\"")
endif()

if(QUILLERY_SOURCE_DATE_EPOCH STREQUAL "")
    find_program(QUILLERY_GIT git)
    if(QUILLERY_GIT)
        # Only this tree's own history counts, not that of a repository the
        # unpacked sources happen to lie in.
        execute_process(COMMAND "${QUILLERY_GIT}" -C "${quillery_source}" rev-parse --show-toplevel
                        OUTPUT_VARIABLE top OUTPUT_STRIP_TRAILING_WHITESPACE
                        RESULT_VARIABLE status ERROR_QUIET)
        if(status EQUAL 0)
            get_filename_component(top "${top}" REALPATH)
        endif()
        if(status EQUAL 0 AND top STREQUAL quillery_source)
            execute_process(COMMAND "${QUILLERY_GIT}" -C "${quillery_source}" log -1 --format=%ct
                            OUTPUT_VARIABLE commit_time OUTPUT_STRIP_TRAILING_WHITESPACE
                            RESULT_VARIABLE status ERROR_QUIET)
            if(status EQUAL 0 AND commit_time MATCHES "^[0-9]+$")
                set(QUILLERY_SOURCE_DATE_EPOCH ${commit_time})
            endif()
        endif()
    endif()
endif()

if(QUILLERY_SOURCE_DATE_EPOCH STREQUAL "")
    # The trailer line of the newest entry:
    #  -- Name <address>  Mon, 07 Dec 2026 12:00:00 +0000
    set(changelog "${quillery_source}/packaging/changelog")
    file(STRINGS "${changelog}" trailer LIMIT_COUNT 1
         REGEX "^ -- .*>  [A-Z][a-z][a-z], [0-9][0-9] [A-Z][a-z][a-z] [0-9][0-9][0-9][0-9] [0-9][0-9]:[0-9][0-9]:[0-9][0-9] [+-][0-9][0-9][0-9][0-9]$")
    if(NOT trailer MATCHES ", ([0-9][0-9]) ([A-Z][a-z][a-z]) ([0-9]+) ([0-9][0-9]):([0-9][0-9]):([0-9][0-9]) ([+-])([0-9][0-9])([0-9][0-9])$")
        message(FATAL_ERROR "${changelog}: found no entry with a date like \"Mon, 07 Dec 2026 12:00:00 +0000\"")
    endif()
    set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
    list(FIND months "${CMAKE_MATCH_2}" month)
    if(month LESS 0)
        message(FATAL_ERROR "${changelog}: \"${CMAKE_MATCH_2}\" is not a month")
    endif()
    # Days since 1970-01-01 in the proleptic Gregorian calendar, counting
    # years from March so that the leap day comes last.
    math(EXPR month "${month} + 1")
    math(EXPR day "1${CMAKE_MATCH_1} - 100")
    set(year ${CMAKE_MATCH_3})
    if(month LESS_EQUAL 2)
        math(EXPR year "${year} - 1")
        math(EXPR month "${month} + 9")
    else()
        math(EXPR month "${month} - 3")
    endif()
    math(EXPR era "${year} / 400")
    math(EXPR year_of_era "${year} - ${era} * 400")
    math(EXPR day_of_year "(153 * ${month} + 2) / 5 + ${day} - 1")
    math(EXPR days "${era} * 146097 + ${year_of_era} * 365 + ${year_of_era} / 4 - ${year_of_era} / 100 + ${day_of_year} - 719468")
    math(EXPR offset "0 ${CMAKE_MATCH_7} (1${CMAKE_MATCH_8} - 100) * 3600 ${CMAKE_MATCH_7} (1${CMAKE_MATCH_9} - 100) * 60")
    math(EXPR QUILLERY_SOURCE_DATE_EPOCH
         "${days} * 86400 + (1${CMAKE_MATCH_4} - 100) * 3600 + (1${CMAKE_MATCH_5} - 100) * 60 + 1${CMAKE_MATCH_6} - 100 - (${offset})")
endif()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
    execute_process(COMMAND "${CMAKE_COMMAND}" -E echo "${QUILLERY_SOURCE_DATE_EPOCH}")
endif()
