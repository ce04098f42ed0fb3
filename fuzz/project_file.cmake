qvt_fuzzer(project_file SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/project_file.cpp LIBS qvt_project
    CORPUS ${CMAKE_CURRENT_SOURCE_DIR}/corpus/project_file)
