qvt_test(shell_label_window_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/label_window_test.cpp LIBS qvt_shell GUI)
