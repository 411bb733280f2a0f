# The log record's body and stamp, outside texts escaped for it and the
# device names no log file may have need nothing of the platform: the native
# fuzz build includes this file too.
add_library(mardonel_log_portable STATIC ${CMAKE_CURRENT_LIST_DIR}/log_device_name.cpp ${CMAKE_CURRENT_LIST_DIR}/log_escape.cpp
  ${CMAKE_CURRENT_LIST_DIR}/log_record.cpp)
target_include_directories(mardonel_log_portable PUBLIC ${CMAKE_CURRENT_LIST_DIR}/include PRIVATE ${CMAKE_CURRENT_LIST_DIR})
