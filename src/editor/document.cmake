# The document of one open machine: its items, selection and undo stack.
target_sources(qvt_editor PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/machine_document.cpp ${CMAKE_CURRENT_LIST_DIR}/machine_document.h)
target_link_libraries(qvt_editor PUBLIC qvt_compiler Qt6::Gui)
