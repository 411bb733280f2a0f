# Numbers stored as registry text need nothing of the platform: the native fuzz
# build includes this file too.
add_library(mardonel_registry_portable STATIC ${CMAKE_CURRENT_LIST_DIR}/number_text.cpp)
target_include_directories(mardonel_registry_portable PUBLIC ${CMAKE_CURRENT_LIST_DIR}/include PRIVATE ${CMAKE_CURRENT_LIST_DIR})
