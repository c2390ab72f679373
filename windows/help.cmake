# The help window, as its own library until it joins the other windows.
add_library(quillery_help STATIC
    ${CMAKE_CURRENT_LIST_DIR}/frmhelp.cpp
    ${CMAKE_CURRENT_LIST_DIR}/frmhelp.h
    ${CMAKE_CURRENT_LIST_DIR}/dialogfont.cpp
    ${CMAKE_CURRENT_LIST_DIR}/dialogfont.h
)
set_target_properties(quillery_help PROPERTIES AUTOMOC ON)
target_link_libraries(quillery_help PUBLIC quillery_core Qt6::Widgets)
