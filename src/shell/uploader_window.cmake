# The uploader: the window and the upload runner behind it.
target_sources(qvt_shell PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/uploader_window_core.cpp ${CMAKE_CURRENT_LIST_DIR}/uploader_window_core.h
    ${CMAKE_CURRENT_LIST_DIR}/uploader_window.cpp ${CMAKE_CURRENT_LIST_DIR}/uploader_window.h)
target_link_libraries(qvt_shell PUBLIC qvt_upload)
