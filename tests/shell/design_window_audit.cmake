qvt_test(shell_design_window_audit_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/design_window_audit_test.cpp LIBS qvt_shell GUI)
