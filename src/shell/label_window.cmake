# The label window: the label drawn and edited, its commands and the print preview.
target_sources(qvt_shell PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/label_window.cpp ${CMAKE_CURRENT_LIST_DIR}/label_window.h)
target_link_libraries(qvt_shell PUBLIC qvt_label_document qvt_label_preview qvt_paint)
