# Management point addresses need nothing of the platform: the native fuzz build
# includes this file too.
add_library(mardonel_connection_portable STATIC ${CMAKE_CURRENT_LIST_DIR}/mp_url.cpp)
target_include_directories(mardonel_connection_portable PUBLIC ${CMAKE_CURRENT_LIST_DIR}/include PRIVATE ${CMAKE_CURRENT_LIST_DIR})
