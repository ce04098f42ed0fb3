qvt_test(editor_machine_document_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/machine_document_test.cpp LIBS qvt_editor)
