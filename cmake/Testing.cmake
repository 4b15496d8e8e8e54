# How the GoogleTest binaries become CTest tests.
#
# A test process costs about 0.3 s before its first test runs (Qt, fonts,
# the FFT library), so each binary runs all of its tests in one process
# rather than one process per test; the tests do not depend on each other,
# and GoogleTest's summary at the end of the output names every test that
# failed. A binary that spends long waiting (for servers, timeouts, the
# capture cycle) is split into SHARDS processes with GoogleTest's sharding,
# so that the other core has work meanwhile.
#
#   halden_add_gtest(TARGET [SHARDS n] [COST seconds] [TIMEOUT seconds])
#
# The CTest tests are named after the binary (NAME/0, NAME/1 ... when
# sharded) and labelled with its name: `ctest -L view_test` runs one binary,
# `build/bin/view_test --gtest_filter=...` single tests. COST is about how
# long a process runs on a quiet machine: CTest starts the longest first, so
# that none runs alone at the end. Each process writes its tests' results
# and times to test-results/ in the build folder, from which
# scripts/lib/slowest_tests.py names the slowest.

include(GoogleTest)

set(HALDEN_TEST_RESULTS ${CMAKE_BINARY_DIR}/test-results)

function(halden_add_gtest target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "SHARDS;COST;TIMEOUT" "")
  if(NOT arg_SHARDS)
    set(arg_SHARDS 1)
  endif()
  if(NOT arg_COST)
    set(arg_COST 1)
  endif()
  if(NOT arg_TIMEOUT)
    set(arg_TIMEOUT 600)
  endif()
  math(EXPR last "${arg_SHARDS} - 1")
  foreach(shard RANGE ${last})
    set(name ${target})
    if(arg_SHARDS GREATER 1)
      string(APPEND name "/${shard}")
    endif()
    string(MAKE_C_IDENTIFIER ${name} file)
    add_test(NAME ${name} COMMAND ${target} --gtest_output=xml:${HALDEN_TEST_RESULTS}/${file}.xml)
    set_tests_properties(${name} PROPERTIES
      LABELS ${target} COST ${arg_COST} TIMEOUT ${arg_TIMEOUT}
      ENVIRONMENT "GTEST_TOTAL_SHARDS=${arg_SHARDS};GTEST_SHARD_INDEX=${shard}")
  endforeach()
endfunction()
