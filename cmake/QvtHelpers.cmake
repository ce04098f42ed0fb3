# qvt_test(NAME SOURCES a.cpp b.cpp LIBS lib1 lib2 [GUI])
# One GoogleTest program per group of related cases; GUI tests get a
# QApplication from the shared main and run offscreen.
include(GoogleTest)
function(qvt_test name)
    cmake_parse_arguments(T "GUI" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    if(T_GUI)
        target_link_libraries(${name} PRIVATE qvt_test_support_gui GTest::gtest Qt6::Widgets Qt6::Test ${T_LIBS})
    else()
        target_link_libraries(${name} PRIVATE qvt_test_support GTest::gtest ${T_LIBS})
    endif()
    # CTest lists every case as <program>.<Suite>.<Case>. The cases are read
    # from the program when the tests run (not when it links). Listing and
    # running both start the program through `cmake -E env`, so each case and
    # the listing itself get the same environment: a GUI program lists
    # offscreen and the leak checker forgives Qt's caches there too. (A list
    # in the ENVIRONMENT property would not reach the listed cases whole.)
    set(launcher ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen QVT_SOURCE_DIR=${PROJECT_SOURCE_DIR}
                 LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp)
    # CMake up to 3.28 starts tests through the emulator; later ones through
    # the test launcher.
    set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR "${launcher}" TEST_LAUNCHER "${launcher}")
    gtest_discover_tests(${name}
        TEST_PREFIX "${name}."
        DISCOVERY_MODE PRE_TEST
        DISCOVERY_TIMEOUT 120
        PROPERTIES TIMEOUT 300)
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
