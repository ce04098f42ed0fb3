# The design window: the picture of a machine, its tools, panel and error list.
target_sources(qvt_shell PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/design_canvas.cpp ${CMAKE_CURRENT_LIST_DIR}/design_canvas.h
    ${CMAKE_CURRENT_LIST_DIR}/design_window.cpp ${CMAKE_CURRENT_LIST_DIR}/design_window.h
    ${CMAKE_CURRENT_LIST_DIR}/property_panel.cpp ${CMAKE_CURRENT_LIST_DIR}/property_panel.h
    ${CMAKE_CURRENT_LIST_DIR}/screen_editor.cpp ${CMAKE_CURRENT_LIST_DIR}/screen_editor.h)
target_link_libraries(qvt_shell PUBLIC qvt_editor qvt_paint)
