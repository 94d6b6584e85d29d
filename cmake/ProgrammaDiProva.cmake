# The test programs: one GoogleTest program a folder, built the same way in
# both builds.
#
#   noce_test_program(NAME [LABEL label] [TIMEOUT s] [SOURCES ...]
#                     [LIBRARIES ...] [DEPENDS ...] [DEFINITIONS ...])
#
# SOURCES defaults to the folder's *_test.cpp. Every program sees tests/
# (the shared helpers in tests/support). With LABEL each case becomes a
# CTest test with that label; without it the program is registered by its
# folder (the Windows programs, run case by case under Wine).
include_guard(GLOBAL)
find_package(GTest REQUIRED)
include(GoogleTest)

add_library(noce_test_support INTERFACE)
target_include_directories(noce_test_support INTERFACE ${CMAKE_SOURCE_DIR}/tests)

function(noce_test_program nome)
  cmake_parse_arguments(P "" "LABEL;TIMEOUT" "SOURCES;LIBRARIES;DEPENDS;DEFINITIONS" ${ARGN})
  if(NOT P_SOURCES)
    file(GLOB P_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
  endif()
  add_executable(${nome} ${P_SOURCES})
  target_link_libraries(${nome} PRIVATE ${P_LIBRARIES} noce_test_support GTest::gtest_main)
  if(P_DEPENDS)
    add_dependencies(${nome} ${P_DEPENDS})
  endif()
  if(P_DEFINITIONS)
    target_compile_definitions(${nome} PRIVATE ${P_DEFINITIONS})
  endif()
  if(P_LABEL)
    set(proprieta LABELS ${P_LABEL})
    if(P_TIMEOUT)
      list(APPEND proprieta TIMEOUT ${P_TIMEOUT})
    endif()
    gtest_discover_tests(${nome} DISCOVERY_TIMEOUT 60 PROPERTIES ${proprieta})
  endif()
endfunction()
