# History file names and records need nothing of the platform: the native
# fuzz build includes this file too.
add_library(mardonel_history_portable STATIC
  ${CMAKE_CURRENT_LIST_DIR}/history_file_name.cpp
  ${CMAKE_CURRENT_LIST_DIR}/history_line.cpp)
target_include_directories(mardonel_history_portable PUBLIC ${CMAKE_CURRENT_LIST_DIR}/include PRIVATE ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(mardonel_history_portable PUBLIC mardonel_time_portable mardonel_win_portable)
