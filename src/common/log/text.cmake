# The log record's body and stamp, and outside texts escaped for it, need
# nothing of the platform: the native fuzz build includes this file too.
add_library(mardonel_log_text STATIC ${CMAKE_CURRENT_LIST_DIR}/log_escape.cpp ${CMAKE_CURRENT_LIST_DIR}/log_record.cpp)
target_include_directories(mardonel_log_text PUBLIC ${CMAKE_CURRENT_LIST_DIR}/../..)
