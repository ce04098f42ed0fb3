# Second look at the uploader against what it must do on the line and on keys.
qvt_test(shell_uploader_audit_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/uploader_audit_test.cpp LIBS qvt_shell GUI)
