# SPDX-FileCopyrightText: 2026 The Quillery developers
# SPDX-License-Identifier: GPL-3.0-or-later

# Installs the build into a fresh folder and uses it from there.
#   cmake -DBUILD_DIR=... -DPREFIX=... -DEXPECT_WINDOW=0|1 -P install_check.cmake

foreach(variable BUILD_DIR PREFIX EXPECT_WINDOW)
    if(NOT DEFINED ${variable})
        message(FATAL_ERROR "install_check.cmake needs -D${variable}=...")
    endif()
endforeach()

function(fail)
    message(FATAL_ERROR ${ARGN})
endfunction()

file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
    fail("cmake --install into ${PREFIX} failed: ${status}")
endif()

foreach(file quillery-names Kordane.txt NOTICE)
    if(NOT EXISTS "${PREFIX}/${file}")
        fail("${file} is missing from the install folder")
    endif()
endforeach()

# The system layout is installed only on request.
foreach(folder bin share)
    if(EXISTS "${PREFIX}/${folder}")
        fail("the portable folder got the system layout's ${folder}/")
    endif()
endforeach()

# Started from elsewhere, the program still reads the roster beside itself.
set(elsewhere "${PREFIX}-elsewhere")
file(REMOVE_RECURSE "${elsewhere}")
file(MAKE_DIRECTORY "${elsewhere}")
execute_process(COMMAND "${PREFIX}/quillery-names" --seed 1
                WORKING_DIRECTORY "${elsewhere}"
                RESULT_VARIABLE status OUTPUT_VARIABLE list ERROR_VARIABLE problems)
if(NOT status EQUAL 0)
    fail("quillery-names from the install folder failed (${status}): ${problems}")
endif()
string(REGEX MATCHALL "[^\n]+\n" lines "${list}")
list(LENGTH lines count)
if(NOT count EQUAL 12)
    fail("expected 12 names, got ${count}:\n${list}")
endif()

# Without its roster the installed program has nothing to read: it does not
# fall back on the build tree's copy.
file(RENAME "${PREFIX}/Kordane.txt" "${PREFIX}/Kordane.txt.away")
execute_process(COMMAND "${PREFIX}/quillery-names" --seed 1
                WORKING_DIRECTORY "${elsewhere}"
                RESULT_VARIABLE status OUTPUT_QUIET ERROR_QUIET)
file(RENAME "${PREFIX}/Kordane.txt.away" "${PREFIX}/Kordane.txt")
if(status EQUAL 0)
    fail("quillery-names ran without the roster in its folder")
endif()

if(EXPECT_WINDOW)
    foreach(file quillery quillery.desktop)
        if(NOT EXISTS "${PREFIX}/${file}")
            fail("${file} is missing from the install folder")
        endif()
    endforeach()
    file(STRINGS "${PREFIX}/quillery.desktop" exec REGEX "^Exec=")
    if(NOT exec STREQUAL "Exec=\"${PREFIX}/quillery\"")
        fail("the desktop entry starts the wrong program: ${exec}")
    endif()
endif()

file(REMOVE_RECURSE "${PREFIX}" "${elsewhere}")
