qvt_test(editor_routing_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/connection_routing_test.cpp LIBS qvt_editor)
