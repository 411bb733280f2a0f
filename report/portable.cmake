# Parsing, day arithmetic and output need nothing of the platform: the tests
# link them and the native fuzz build includes this file too. The headers
# others take (the bench, the fleet) lie in include/report/.
set(dir ${CMAKE_CURRENT_LIST_DIR})
add_library(report_portable STATIC
  ${dir}/local_days.cpp
  ${dir}/history_log.cpp
  ${dir}/managed_days.cpp
  ${dir}/report_text.cpp
  ${dir}/report_svg.cpp
  ${dir}/svg_drawing.cpp
  ${dir}/report_options.cpp
  ${dir}/zone_rules.cpp)
target_include_directories(report_portable PUBLIC ${dir}/include)
target_link_libraries(report_portable PUBLIC mardonel_cli_portable mardonel_history_portable)
