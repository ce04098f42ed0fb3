# The design picture of a 1000-item machine: routing and display-list build,
# and painting one window-sized view.
add_executable(picture_bench ${CMAKE_CURRENT_SOURCE_DIR}/picture_bench.cpp)
target_link_libraries(picture_bench PRIVATE qvt_editor qvt_paint Qt6::Gui benchmark::benchmark)
