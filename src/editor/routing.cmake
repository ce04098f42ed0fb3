# Connection routing: the lanes and polylines of every connection of a machine.
target_sources(qvt_editor PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/connection_routing.cpp
    ${CMAKE_CURRENT_LIST_DIR}/connection_routing.h)
