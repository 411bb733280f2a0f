# Dotted subnets and the remembered list need nothing of the platform: the
# native fuzz build includes this file too.
add_library(mardonel_module_portable STATIC ${CMAKE_CURRENT_LIST_DIR}/dotted_address.cpp
  ${CMAKE_CURRENT_LIST_DIR}/remembered_subnets.cpp)
target_include_directories(mardonel_module_portable PUBLIC ${CMAKE_CURRENT_LIST_DIR}/include PRIVATE ${CMAKE_CURRENT_LIST_DIR})
