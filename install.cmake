# SPDX-FileCopyrightText: 2026 The Quillery developers
# SPDX-License-Identifier: GPL-3.0-or-later

# Two layouts from one build.
#
# The portable folder, the default: `cmake --install <build> --prefix DIR`
# makes DIR one self-contained folder. Everything lies flat in it: the programs
# find Kordane.txt in their own directory, and the window program saves
# RandomNames.txt there as well. Qt comes from the system, so no run path is set.
#
# The system layout, the component `system`, which only an explicit request
# installs: `cmake --install <build> --component system [--prefix /usr/local]`,
# and `cpack -G DEB` for the package. The programs go into bin/, the roster into
# share/quillery/, where the programs look when it is not beside them, and the
# desktop entry, icons, metainfo and manual pages where desktops and man find them.

install(TARGETS quillery-names RUNTIME DESTINATION .)
install(FILES data/Kordane.txt data/NOTICE DESTINATION .)

if(TARGET quillery)
    install(TARGETS quillery RUNTIME DESTINATION .)
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/resources/quillery-icon.png)
        install(FILES resources/quillery-icon.png DESTINATION . RENAME quillery.png)
    endif()
    # After the icon, which the entry names only if it was installed.
    install(SCRIPT resources/desktop-entry.cmake)
endif()

# The system layout follows the Linux filesystem hierarchy and Debian's rules.
find_program(QUILLERY_GZIP gzip)
if(NOT (UNIX AND NOT APPLE AND QUILLERY_GZIP))
    return()
endif()

include(GNUInstallDirs)
set(QUILLERY_APP_ID org.quillery.Quillery)
set(system_docdir ${CMAKE_INSTALL_DATAROOTDIR}/doc/quillery)

# The manual pages and the changelog go in compressed, as Debian wants them:
# gzip -n leaves out the time stamp, so the same sources give the same bytes.
# They are made when the system layout is installed, not built, so that the
# package can be made from any build that has the programs.
foreach(source man/quillery-names.1 man/quillery.1 packaging/changelog)
    get_filename_component(name ${source} NAME)
    install(CODE "execute_process(COMMAND \"${QUILLERY_GZIP}\" -9nc \"${CMAKE_CURRENT_SOURCE_DIR}/${source}\"
                                  OUTPUT_FILE \"${CMAKE_CURRENT_BINARY_DIR}/system/${name}.gz\"
                                  COMMAND_ERROR_IS_FATAL ANY)"
            COMPONENT system EXCLUDE_FROM_ALL)
endforeach()

# Debian's copyright file holds long texts indented by one blank, with a lone
# "." for each empty line.
function(quillery_copyright_text variable file)
    file(READ ${file} text)
    string(STRIP "${text}" text)
    string(REGEX REPLACE "\n[ \t]*\n" "\n.\n" text "${text}")
    string(REPLACE "\n" "\n " text " ${text}")
    set(${variable} "${text}" PARENT_SCOPE)
endfunction()

# The copyright file carries the roster's notice as it stands in data/NOTICE,
# and the roster's licence in full, as that licence asks.
set(QUILLERY_MAINTAINER "The Quillery developers <maintainers@quillery.org>")
quillery_copyright_text(QUILLERY_NOTICE data/NOTICE)
quillery_copyright_text(QUILLERY_ODC_BY LICENSES/ODC-By-1.0.txt)
configure_file(packaging/copyright.in ${CMAKE_CURRENT_BINARY_DIR}/system/copyright @ONLY)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS data/NOTICE LICENSES/ODC-By-1.0.txt)

install(TARGETS quillery-names RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
        COMPONENT system EXCLUDE_FROM_ALL)
install(FILES data/Kordane.txt DESTINATION ${CMAKE_INSTALL_DATADIR}/quillery
        COMPONENT system EXCLUDE_FROM_ALL)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/system/copyright ${CMAKE_CURRENT_BINARY_DIR}/system/changelog.gz
        DESTINATION ${system_docdir} COMPONENT system EXCLUDE_FROM_ALL)
install(FILES packaging/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides
        RENAME quillery COMPONENT system EXCLUDE_FROM_ALL)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/system/quillery-names.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT system EXCLUDE_FROM_ALL)
# Shell completion, where each shell looks for the completions of packages.
install(FILES completions/quillery-names.bash
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/bash-completion/completions
        RENAME quillery-names COMPONENT system EXCLUDE_FROM_ALL)
install(FILES completions/_quillery-names
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/zsh/vendor-completions COMPONENT system EXCLUDE_FROM_ALL)
install(FILES completions/quillery-names.fish
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/fish/vendor_completions.d COMPONENT system EXCLUDE_FROM_ALL)

if(TARGET quillery)
    install(TARGETS quillery RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
            COMPONENT system EXCLUDE_FROM_ALL)
    install(FILES ${CMAKE_CURRENT_BINARY_DIR}/system/quillery.1.gz
            DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT system EXCLUDE_FROM_ALL)
    install(FILES resources/${QUILLERY_APP_ID}.desktop
            DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications COMPONENT system EXCLUDE_FROM_ALL)
    install(FILES resources/${QUILLERY_APP_ID}.metainfo.xml
            DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/metainfo COMPONENT system EXCLUDE_FROM_ALL)
    foreach(size 16 32 48 64 128 256)
        install(FILES resources/icons/quillery-${size}.png
                DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/${size}x${size}/apps
                RENAME ${QUILLERY_APP_ID}.png COMPONENT system EXCLUDE_FROM_ALL)
    endforeach()
endif()

# `cpack -G DEB` in the build folder packs the system layout under /usr.
set(CPACK_PACKAGE_NAME quillery)
set(CPACK_PACKAGE_VENDOR "The Quillery developers")
set(CPACK_PACKAGE_CONTACT "${QUILLERY_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "make up random baseball player names")
# Debian wants the long description in lines of at most 80 characters.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "Quillery holds a roster of real baseball players who made their debut from"
    "1871 to 2025, lets you choose a span of years, and joins the first name of"
    "one player of that span with the last name of another, as many names as you"
    "ask for. The list can be copied to the clipboard or appended to a text file."
    "."
    "The command quillery-names prints such lists for scripts, as text, CSV or"
    "JSON.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL system)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The windows ask for DejaVu Sans Condensed, which fits every caption.
set(CPACK_DEBIAN_PACKAGE_DEPENDS fonts-dejavu-extra)
# Qt's Wayland plugin: without it a Wayland session that has no XWayland
# cannot show the window.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-wayland)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The same commit gives the same package, byte for byte: the files' times
# and the archives' are the source's date (packaging/source-date-epoch.cmake),
# set when cpack starts; the folders to pack, and the .deb's own members once
# it is made, get fixed modes, not the umask's; and a checksum file goes
# beside the package, for comparing with anyone else's.
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_SOURCE_DIR}/packaging/cpack-project.cmake)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_SOURCE_DIR}/packaging/cpack-pre-build.cmake)
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_SOURCE_DIR}/packaging/cpack-post-build.cmake)
set(CPACK_PACKAGE_CHECKSUM SHA256)
include(CPack)
