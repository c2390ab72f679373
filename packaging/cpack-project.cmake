# SPDX-FileCopyrightText: 2026 The Quillery developers
# SPDX-License-Identifier: GPL-3.0-or-later

# Read by cpack before it packs. CPack's archives take every file's time, and
# their own, from SOURCE_DATE_EPOCH when it is set: so it is set here, to the
# source's date, rather than left to whoever runs cpack.
include(${CMAKE_CURRENT_LIST_DIR}/source-date-epoch.cmake)
set(ENV{SOURCE_DATE_EPOCH} ${QUILLERY_SOURCE_DATE_EPOCH})
