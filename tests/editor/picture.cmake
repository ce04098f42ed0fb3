qvt_test(editor_machine_picture_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/machine_picture_test.cpp LIBS qvt_editor qvt_paint GUI)
