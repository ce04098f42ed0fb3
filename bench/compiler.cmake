# Compiling a generated maximal project, machine texts in memory to image bytes.
add_executable(compiler_bench ${CMAKE_CURRENT_SOURCE_DIR}/compiler_bench.cpp)
target_link_libraries(compiler_bench PRIVATE qvt_compiler qvt_project benchmark::benchmark)
