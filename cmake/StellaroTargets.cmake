# Every subsystem is one static library made of the .cpp files in its folder,
# so adding a source file needs no edit here (CMake re-globs on each build).
#
# stellaro_library(NAME DIR [DEPS ...] [MAY_INCLUDE folder ...] [EXCLUDE file ...])
#
# Headers are included as "platform/canvas.h", "report/qr_printer.h", ... A
# library may include its own folder and those named in MAY_INCLUDE, nothing
# else: a build step checks every source of the library, so an include that
# points up the layering fails the build.
function(stellaro_library name dir)
  cmake_parse_arguments(ARG "" "" "DEPS;EXCLUDE;MAY_INCLUDE" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h)
  foreach(ex IN LISTS ARG_EXCLUDE)
    list(REMOVE_ITEM sources ${dir}/${ex})
  endforeach()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  set_target_properties(${name} PROPERTIES LINKER_LANGUAGE CXX)

  get_filename_component(own ${dir} NAME)
  set(stamp ${CMAKE_CURRENT_BINARY_DIR}/${name}.includes-checked)
  # Lists travel to the script joined by "|": a ";" would split the command.
  string(JOIN "|" allowed ${own} ${ARG_MAY_INCLUDE} resources)
  string(JOIN "|" files ${sources})
  add_custom_command(
    OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -DALLOWED=${allowed} -DSOURCES=${files}
            -DSTAMP=${stamp} -P ${PROJECT_SOURCE_DIR}/cmake/CheckIncludes.cmake
    DEPENDS ${sources} ${PROJECT_SOURCE_DIR}/cmake/CheckIncludes.cmake
    COMMENT "Checking the includes of ${name}"
    VERBATIM)
  add_custom_target(${name}_includes DEPENDS ${stamp})
  add_dependencies(${name} ${name}_includes)
endfunction()

# stellaro_test(NAME DIR DEPS ...): one GoogleTest executable from the .cpp files
# of a tests/ folder, run by CTest under the offscreen Qt platform.
function(stellaro_test name dir)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h)
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} stellaro_test_support)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;STELLARO_SOURCE_DIR=${PROJECT_SOURCE_DIR};ASAN_OPTIONS=detect_leaks=0:abort_on_error=1"
    TIMEOUT 600)
endfunction()
