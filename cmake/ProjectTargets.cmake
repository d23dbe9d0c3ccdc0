# project_test(<name> LABEL <unit|firebird|ui> SOURCES <files...> LIBS <targets...>)
# One GoogleTest executable; every TEST in it becomes a CTest case carrying the label.
# In the cross build (CROSS_WINDOWS) only `unit` programs are made, one CTest case each: the
# programs cannot be listed on the build machine, and scripts/windows-check.sh runs them whole.
function(project_test name)
  cmake_parse_arguments(PT "" "LABEL" "SOURCES;LIBS" ${ARGN})
  if(CROSS_WINDOWS AND NOT PT_LABEL STREQUAL "unit")
    return()
  endif()
  add_executable(${name} ${PT_SOURCES})
  target_link_libraries(${name} PRIVATE ${PT_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  if(CROSS_WINDOWS)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES LABELS ${PT_LABEL})
    return()
  endif()
  set(props LABELS ${PT_LABEL})
  if(PT_LABEL STREQUAL "ui")
    list(APPEND props ENVIRONMENT QT_QPA_PLATFORM=offscreen)
  endif()
  include(GoogleTest)
  gtest_discover_tests(${name} PROPERTIES ${props} DISCOVERY_TIMEOUT 60)
endfunction()

# add_units(<dir>): adds <dir> when it has a CMakeLists.txt, else every <dir>/*/ that has one.
# Lets each unit folder own its build file, so parallel work never edits a shared list.
function(add_units dir)
  if(EXISTS ${dir}/CMakeLists.txt)
    add_subdirectory(${dir})
    return()
  endif()
  file(GLOB children LIST_DIRECTORIES true ${dir}/*)
  foreach(child ${children})
    if(IS_DIRECTORY ${child} AND EXISTS ${child}/CMakeLists.txt)
      add_subdirectory(${child})
    endif()
  endforeach()
endfunction()

# project_fuzzer(<name> SOURCES <files...> LIBS <targets...>): the libFuzzer target fuzz-<name>, under
# ASan and UBSan, built as build-fuzz/fuzz/fuzz-<name>. Seeds, if any, go in fuzz/seeds/<name>/;
# scripts/fuzz.sh builds and runs every such target.
function(project_fuzzer name)
  cmake_parse_arguments(PF "" "" "SOURCES;LIBS" ${ARGN})
  set(target fuzz-${name})
  add_executable(${target} ${PF_SOURCES})
  target_link_libraries(${target} PRIVATE ${PF_LIBS})
  target_compile_options(${target} PRIVATE -fsanitize=fuzzer)
  target_link_options(${target} PRIVATE -fsanitize=fuzzer)
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
endfunction()

# use_googletest_sources(): GoogleTest and GoogleMock built from their sources (Debian's
# googletest package) with the project's compiler, for a target that has no packaged build. Their
# build names them as find_package(GTest) does (GTest::gtest, GTest::gmock, GTest::gtest_main).
macro(use_googletest_sources)
  set(GOOGLETEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${GOOGLETEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endmacro()
