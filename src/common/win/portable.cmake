# The units of a FILETIME count need nothing of the platform: code with and
# without it shares the header. The native fuzz build includes this file too.
add_library(mardonel_win_portable INTERFACE)
target_include_directories(mardonel_win_portable INTERFACE ${CMAKE_CURRENT_LIST_DIR}/include)
target_link_libraries(mardonel_win_portable INTERFACE mardonel_time_portable)
