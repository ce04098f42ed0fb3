# The label window's pictures on a label of 100 elements: the print preview
# built and painted, and one drag step in the window.
add_executable(label_bench ${CMAKE_CURRENT_SOURCE_DIR}/label_bench.cpp)
target_link_libraries(label_bench PRIVATE qvt_shell qvt_label_preview qvt_paint Qt6::Widgets benchmark::benchmark)
