qvt_test(shell_uploader_window_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/uploader_window_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/modal_driver.h LIBS qvt_shell GUI)
