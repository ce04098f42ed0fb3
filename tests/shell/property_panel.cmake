qvt_test(shell_property_panel_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/property_panel_test.cpp LIBS qvt_shell GUI)
