qvt_fuzzer(label_text SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/label_text.cpp LIBS qvt_label
    CORPUS ${CMAKE_CURRENT_SOURCE_DIR}/corpus/label_text)
target_include_directories(label_text PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
