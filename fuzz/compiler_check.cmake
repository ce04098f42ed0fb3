qvt_fuzzer(compiler_check SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/compiler_check.cpp LIBS qvt_compiler
    CORPUS ${CMAKE_CURRENT_SOURCE_DIR}/corpus/compiler_check)
