# One edit of a 1000-item machine until the view shows it (edit, re-route,
# build, paint of the viewport), and opening and scrolling that machine in the
# design window (a plain program: first painted frame, scroll steps, peak
# memory).
add_executable(editor_edit_bench ${CMAKE_CURRENT_SOURCE_DIR}/editor_edit_bench.cpp)
target_link_libraries(editor_edit_bench PRIVATE qvt_editor qvt_paint Qt6::Gui benchmark::benchmark)
add_executable(design_window_open ${CMAKE_CURRENT_SOURCE_DIR}/design_window_open.cpp)
target_link_libraries(design_window_open PRIVATE qvt_shell Qt6::Widgets)
