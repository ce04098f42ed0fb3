qvt_fuzzer(label_design_file SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/label_design_file.cpp LIBS qvt_label
    CORPUS ${CMAKE_CURRENT_SOURCE_DIR}/corpus/label_design_file)
