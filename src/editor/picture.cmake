# The picture of a machine as a display list, and the canvas font measurer.
target_sources(qvt_editor PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/machine_picture.cpp ${CMAKE_CURRENT_LIST_DIR}/machine_picture.h
    ${CMAKE_CURRENT_LIST_DIR}/canvas_measurer.cpp ${CMAKE_CURRENT_LIST_DIR}/canvas_measurer.h)
