# Shared build helpers: warnings, ccache, precompiled Qt headers, tests.

find_program(QV_CCACHE ccache)
if(QV_CCACHE)
  # Precompiled headers need these sloppiness settings or ccache never hits.
  set(CMAKE_C_COMPILER_LAUNCHER ${QV_CCACHE})
  set(CMAKE_CXX_COMPILER_LAUNCHER ${CMAKE_COMMAND} -E env
      CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime
      ${QV_CCACHE})
endif()

set(QV_PCH_HEADER ${CMAKE_CURRENT_LIST_DIR}/qv_pch.h)

# The project's own code builds with warnings as errors.
function(qv_strict target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror -Wno-error=deprecated-declarations)
  target_precompile_headers(${target} PRIVATE ${QV_PCH_HEADER})
endfunction()

# qv_library(name SOURCES ... DEPS ... [PUBLIC_DEPS ...])
function(qv_library name)
  cmake_parse_arguments(A "" "" "SOURCES;DEPS;PUBLIC_DEPS" ${ARGN})
  add_library(${name} STATIC ${A_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC Qt6::Core ${A_PUBLIC_DEPS} PRIVATE ${A_DEPS})
  qv_strict(${name})
endfunction()

# qv_test(name SOURCES ... DEPS ... [LABELS ...])
# GoogleTest executable; its cases are discovered when ctest runs.
function(qv_test name)
  cmake_parse_arguments(A "" "" "SOURCES;DEPS;LABELS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${A_DEPS} GTest::gtest GTest::gtest_main Qt6::Core)
  target_compile_definitions(${name} PRIVATE
      QV_SOURCE_DIR="${CMAKE_SOURCE_DIR}" QV_BIN_DIR="${QV_BIN_DIR}")
  qv_strict(${name})
  set(props ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  if(A_LABELS)
    list(APPEND props LABELS "${A_LABELS}")
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST PROPERTIES ${props})
endfunction()
