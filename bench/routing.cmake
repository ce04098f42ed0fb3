# Routing every connection of a 1000-item machine with every exit connected.
add_executable(routing_bench ${CMAKE_CURRENT_SOURCE_DIR}/routing_bench.cpp)
target_link_libraries(routing_bench PRIVATE qvt_editor benchmark::benchmark)
