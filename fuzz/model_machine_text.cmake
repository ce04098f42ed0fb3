qvt_fuzzer(model_machine_text SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/model_machine_text.cpp LIBS qvt_model
    CORPUS ${CMAKE_CURRENT_SOURCE_DIR}/corpus/model_machine_text)
