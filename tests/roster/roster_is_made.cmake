# SPDX-FileCopyrightText: 2026 The Quillery developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the roster afresh from the extract in data/ and compares it byte for
# byte with the shipped data/Kordane.txt, so the two cannot drift apart.
#   cmake -DPYTHON=... -DSOURCE_DIR=... -DMADE=... -P roster_is_made.cmake
if(NOT PYTHON)
    message(FATAL_ERROR "python3 was not found when the build was configured; "
                        "bash scripts/deps.sh test installs it")
endif()
execute_process(COMMAND ${PYTHON} ${SOURCE_DIR}/data/make_roster.py --output ${MADE}
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "data/make_roster.py failed (${status})")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${MADE} ${SOURCE_DIR}/data/Kordane.txt
                RESULT_VARIABLE differ)
if(NOT differ EQUAL 0)
    message(FATAL_ERROR "data/Kordane.txt is not what data/make_roster.py makes from the extract: "
                        "run python3 data/make_roster.py and commit the result")
endif()
