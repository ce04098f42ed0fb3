qvt_test(editor_panel_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/panel_test.cpp LIBS qvt_editor)
