# The property panel's decisions without widgets: rows per kind, variable
# lists, number reading, and the screen editor's variable fields.
target_sources(qvt_editor PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/property_rows.cpp ${CMAKE_CURRENT_LIST_DIR}/property_rows.h
    ${CMAKE_CURRENT_LIST_DIR}/screen_fields.cpp ${CMAKE_CURRENT_LIST_DIR}/screen_fields.h)
