qvt_fuzzer(model_record SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/model_record.cpp LIBS qvt_model
    CORPUS ${CMAKE_CURRENT_SOURCE_DIR}/corpus/model_record)
