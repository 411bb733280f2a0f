# The command-line words the host and the report share need nothing of the
# platform: the native fuzz build includes this file too.
add_library(mardonel_cli_portable STATIC ${CMAKE_CURRENT_LIST_DIR}/command_line.cpp)
target_include_directories(mardonel_cli_portable PUBLIC ${CMAKE_CURRENT_LIST_DIR}/include)
target_link_libraries(mardonel_cli_portable PUBLIC mardonel_win_portable)
