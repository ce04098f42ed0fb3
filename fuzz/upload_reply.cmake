qvt_fuzzer(upload_reply SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/upload_reply.cpp LIBS qvt_upload
           CORPUS ${CMAKE_CURRENT_SOURCE_DIR}/corpus/upload_reply)
