# vx_add_module(NAME DEPS ...): one static library per folder of src/.
# Every .cpp of src/NAME (recursively) that is not a test goes into the library vx_NAME;
# every *_test.cpp goes into the test program vx_NAME_tests, run by CTest.
function(vx_add_module name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  set(dir ${PROJECT_SOURCE_DIR}/src/${name})
  file(GLOB_RECURSE all_sources CONFIGURE_DEPENDS ${dir}/*.cpp)
  set(sources ${all_sources})
  list(FILTER sources EXCLUDE REGEX "_test\\.cpp$")
  set(tests ${all_sources})
  list(FILTER tests INCLUDE REGEX "_test\\.cpp$")

  if(sources)
    add_library(vx_${name} STATIC ${sources})
    target_include_directories(vx_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(vx_${name} PUBLIC ${ARG_DEPS} Threads::Threads)
  else()
    add_library(vx_${name} INTERFACE)
    target_include_directories(vx_${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(vx_${name} INTERFACE ${ARG_DEPS})
  endif()

  if(VX_TESTS AND tests)
    add_executable(vx_${name}_tests ${tests})
    target_link_libraries(vx_${name}_tests PRIVATE vx_${name} vx_test_support GTest::gtest GTest::gmock GTest::gtest_main)
    # One CTest entry per test program: starting a process per test case costs more than the
    # cases themselves.
    add_test(NAME vx_${name}_tests COMMAND vx_${name}_tests)
    set_tests_properties(vx_${name}_tests PROPERTIES ENVIRONMENT "VX_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
  endif()
endfunction()
