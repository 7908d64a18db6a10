# Every subsystem is one static library made of the .cpp files in its folder,
# so adding a source file needs no edit here (CMake re-globs on each build).
# stellaro_library(NAME DIR [DEPS ...] [EXCLUDE file ...])
function(stellaro_library name dir)
  cmake_parse_arguments(ARG "" "" "DEPS;EXCLUDE" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h)
  foreach(ex IN LISTS ARG_EXCLUDE)
    list(REMOVE_ITEM sources ${dir}/${ex})
  endforeach()
  if(NOT sources)
    # A subsystem not written yet still gives a library to link against.
    file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/${name}_empty.cpp "")
    set(sources ${CMAKE_CURRENT_BINARY_DIR}/${name}_empty.cpp)
  endif()
  add_library(${name} STATIC ${sources})
  # Headers are included as "platform/canvas.h", "report/qr_printer.h", ...
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  set_target_properties(${name} PROPERTIES LINKER_LANGUAGE CXX)
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
