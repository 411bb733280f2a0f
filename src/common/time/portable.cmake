# Time points of UTC and of the local clock, and the calendar: portable, for
# the module, the report, the fleet and the native fuzz build alike.
add_library(mardonel_time_portable STATIC ${CMAKE_CURRENT_LIST_DIR}/calendar.cpp)
target_include_directories(mardonel_time_portable PUBLIC ${CMAKE_CURRENT_LIST_DIR}/include)
