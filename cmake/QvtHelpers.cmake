# qvt_test(NAME SOURCES a.cpp b.cpp LIBS lib1 lib2 [GUI])
# One GoogleTest program per group of related cases; GUI tests get a
# QApplication from the shared main and run offscreen.
function(qvt_test name)
    cmake_parse_arguments(T "GUI" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    if(T_GUI)
        target_link_libraries(${name} PRIVATE qvt_test_support_gui GTest::gtest Qt6::Widgets Qt6::Test ${T_LIBS})
    else()
        target_link_libraries(${name} PRIVATE qvt_test_support GTest::gtest ${T_LIBS})
    endif()
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QVT_SOURCE_DIR=${PROJECT_SOURCE_DIR};LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp"
        TIMEOUT 300)
endfunction()

# qvt_fuzzer(NAME SOURCE harness.cpp LIBS ... CORPUS dir)
# Builds a libFuzzer harness and registers a short smoke run on its seed corpus.
function(qvt_fuzzer name)
    cmake_parse_arguments(F "" "SOURCE;CORPUS" "LIBS" ${ARGN})
    add_executable(${name} ${F_SOURCE})
    target_link_libraries(${name} PRIVATE ${F_LIBS})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    set(work ${CMAKE_CURRENT_BINARY_DIR}/${name}-corpus)
    add_test(NAME ${name}_smoke
        COMMAND ${CMAKE_COMMAND} -E env LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp
                sh -c "mkdir -p '${work}' && exec '$<TARGET_FILE:${name}>' -max_total_time=20 -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 '${work}' '${F_CORPUS}'")
    set_tests_properties(${name}_smoke PROPERTIES TIMEOUT 120)
endfunction()
