# The walls between libraries, held by the build. Each library is compiled
# against twice with tests/build/header_reach.cpp: as its users see it (they
# link it), its public headers are within reach and no library's private
# header is; as it sees itself (its own include folders too), no other
# library's private header is. A private header is any header of a
# library's folder outside its include/ folder, named by every path an
# include could give it ("log_state.h", "log/log_state.h", ...,
# "src/common/log/log_state.h"). Test programs see what test_support hands
# them, checked as its users.

# Every library and its folder; "-" for none of its own.
set(reach_libraries
  mardonel_host_interface:-
  mardonel_time_portable:src/common/time
  mardonel_win_portable:src/common/win mardonel_win:src/common/win
  mardonel_cli_portable:src/common/cli mardonel_cli:src/common/cli
  mardonel_fs:src/common/fs
  mardonel_log_portable:src/common/log mardonel_log_name:src/common/log mardonel_log:src/common/log
  mardonel_registry_portable:src/common/registry mardonel_registry:src/common/registry
  mardonel_history_portable:src/common/history mardonel_history:src/common/history
  mardonel_connection_portable:src/connection mardonel_connection:src/connection
  mardonel_module_portable:src/module mardonel_module:src/module
  agent_host_portable:host
  report_portable:report report_platform:report
  test_support:-)

# A library added to a folder of libraries without a place on the list fails
# the configuration rather than go unchecked.
set(listed)
set(folders)
foreach(entry ${reach_libraries})
  string(REPLACE ":" ";" pair ${entry})
  list(GET pair 0 library)
  list(GET pair 1 folder)
  list(APPEND listed ${library})
  if(NOT folder STREQUAL "-")
    list(APPEND folders ${folder})
  endif()
endforeach()
list(REMOVE_DUPLICATES folders)
foreach(folder src ${folders})
  get_property(targets DIRECTORY ${CMAKE_SOURCE_DIR}/${folder} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target ${targets})
    get_target_property(type ${target} TYPE)
    if(type MATCHES "^(STATIC|INTERFACE|OBJECT)_LIBRARY$" AND NOT target IN_LIST listed)
      message(FATAL_ERROR "${target} (${folder}) is not on the header reach test's list")
    endif()
  endforeach()
endforeach()

# The #if lines that hold each folder's private headers out of reach, and
# the forms they are named by.
foreach(folder ${folders})
  set(reach_private_${folder})
  set(reach_forms_${folder})
  file(GLOB_RECURSE headers RELATIVE ${CMAKE_SOURCE_DIR} CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.h)
  foreach(header ${headers})
    if(header MATCHES "^${folder}/include/")
      continue()
    endif()
    set(form ${header})
    while(TRUE)
      list(APPEND reach_forms_${folder} ${form})
      string(APPEND reach_private_${folder}
        "#if __has_include(\"${form}\")\n#error REACH_LIBRARY reaches the private header ${header} as \"${form}\"\n#endif\n")
      string(FIND ${form} "/" slash)
      if(slash EQUAL -1)
        break()
      endif()
      math(EXPR slash "${slash} + 1")
      string(SUBSTRING ${form} ${slash} -1 form)
    endwhile()
  endforeach()
endforeach()

set(reach_dir ${CMAKE_CURRENT_BINARY_DIR}/header_reach)
foreach(entry ${reach_libraries})
  string(REPLACE ":" ";" pair ${entry})
  list(GET pair 0 library)
  list(GET pair 1 own)
  if(library STREQUAL "mardonel_host_interface")
    set(public_root ${CMAKE_SOURCE_DIR}/include)
  elseif(own STREQUAL "-")
    set(public_root)
  else()
    set(public_root ${CMAKE_SOURCE_DIR}/${own}/include)
  endif()
  set(public_checks)
  if(public_root)
    file(GLOB_RECURSE publics RELATIVE ${public_root} CONFIGURE_DEPENDS ${public_root}/*.h)
    foreach(header ${publics})
      string(APPEND public_checks
        "#if !__has_include(\"${header}\")\n#error ${library} does not give its users its public header ${header}\n#endif\n")
    endforeach()
  endif()
  set(user_checks ${public_checks})
  set(self_checks)
  foreach(folder ${folders})
    string(APPEND user_checks "${reach_private_${folder}}")
    if(NOT folder STREQUAL own)
      string(APPEND self_checks "${reach_private_${folder}}")
    endif()
  endforeach()
  string(REPLACE "REACH_LIBRARY" "${library} (as its users see it)" user_checks "${user_checks}")
  string(REPLACE "REACH_LIBRARY" "${library} (as it sees itself)" self_checks "${self_checks}")

  file(CONFIGURE OUTPUT ${reach_dir}/${library}_user.h CONTENT "${user_checks}")
  add_library(header_reach_${library}_user OBJECT build/header_reach.cpp)
  target_compile_definitions(header_reach_${library}_user PRIVATE "REACH_LIST=\"${reach_dir}/${library}_user.h\"")
  target_link_libraries(header_reach_${library}_user PRIVATE ${library})

  get_target_property(type ${library} TYPE)
  if(NOT own STREQUAL "-" AND NOT type STREQUAL "INTERFACE_LIBRARY")
    file(CONFIGURE OUTPUT ${reach_dir}/${library}_self.h CONTENT "${self_checks}")
    add_library(header_reach_${library}_self OBJECT build/header_reach.cpp)
    target_compile_definitions(header_reach_${library}_self PRIVATE "REACH_LIST=\"${reach_dir}/${library}_self.h\"")
    target_include_directories(header_reach_${library}_self PRIVATE $<TARGET_PROPERTY:${library},INCLUDE_DIRECTORIES>)
    target_link_libraries(header_reach_${library}_self PRIVATE ${library})
  endif()
endforeach()
