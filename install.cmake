# `cmake --install <build> --prefix DIR` makes DIR one self-contained folder.
# Everything lies flat in it: the programs find Kordane.txt in their own
# directory, and the window program saves RandomNames.txt there as well.
# Qt comes from the system, so no run path is set.

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
