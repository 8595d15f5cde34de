# One CTest test per GoogleTest test suite. Every CTest test is a process of its own, and
# for the many small tests of a suite the process starts cost more than the tests; a suite
# still fails alone and names its failing tests in its output.
#
# zembrel_add_test_suites(<target> [EACH_TEST] [PROPERTIES <name> <value> ...]) registers
# <target> (no value may hold a semicolon); with EACH_TEST every test is a CTest test of its
# own, for a program of few long tests that should run side by side. The
# suites are listed when ctest runs, from the program as built (like gtest_discover_tests'
# PRE_TEST mode), so a new test or suite needs no reconfigure.

set(ZEMBREL_GTEST_SUITES_SCRIPT "${CMAKE_CURRENT_LIST_FILE}")

function(zembrel_add_test_suites target)
  cmake_parse_arguments(ARG "EACH_TEST" "" "PROPERTIES" ${ARGN})
  set(list_file "${CMAKE_CURRENT_BINARY_DIR}/${target}_suites.cmake")
  set(include_file "${CMAKE_CURRENT_BINARY_DIR}/${target}_include.cmake")
  file(GENERATE OUTPUT "${include_file}" CONTENT
"include(\"${ZEMBREL_GTEST_SUITES_SCRIPT}\")
zembrel_include_test_suites(\"$<TARGET_FILE:${target}>\" \"${list_file}\" \"${include_file}\"
                            \"${ARG_EACH_TEST}\" \"${ARG_PROPERTIES}\")
")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${include_file}")
endfunction()

# Run by ctest: lists the suites of `exe` into `list_file` when the program or the
# registration (`source`) is newer than the list, then adds one test per suite.
function(zembrel_include_test_suites exe list_file source each_test props)
  if(NOT EXISTS "${exe}")
    get_filename_component(name "${exe}" NAME)
    add_test("${name}_NOT_BUILT" "${name}_NOT_BUILT")
    return()
  endif()
  if(NOT EXISTS "${list_file}" OR "${exe}" IS_NEWER_THAN "${list_file}"
     OR "${source}" IS_NEWER_THAN "${list_file}")
    execute_process(COMMAND "${exe}" --gtest_list_tests
                    OUTPUT_VARIABLE listing RESULT_VARIABLE rc ERROR_VARIABLE err TIMEOUT 60)
    if(NOT rc EQUAL 0)
      message(WARNING "${exe} --gtest_list_tests failed (${rc}): ${err}")
      get_filename_component(name "${exe}" NAME)
      add_test("${name}_NOT_LISTED" "${exe}" --gtest_list_tests)
      return()
    endif()
    string(REPLACE ";" "\\;" listing "${listing}")
    string(REPLACE "\n" ";" lines "${listing}")
    set(properties "")
    foreach(p IN LISTS props)
      string(APPEND properties " [=[${p}]=]")
    endforeach()
    set(text "")
    foreach(line IN LISTS lines)
      # Suite lines start in column one and end with a dot, test lines are indented (a
      # comment may follow either).
      set(name "")
      if(line MATCHES "^([^ #][^ ]*)\\.( *#.*)?$")
        set(suite "${CMAKE_MATCH_1}")
        if(NOT each_test)
          set(name "${suite}")
          set(filter "${suite}.*")
        endif()
      elseif(each_test AND line MATCHES "^  ([^ #]+)( *#.*)?$")
        set(name "${suite}.${CMAKE_MATCH_1}")
        set(filter "${name}")
      endif()
      if(NOT name STREQUAL "")
        string(APPEND text "add_test([=[${name}]=] [=[${exe}]=] [=[--gtest_filter=${filter}]=])\n")
        if(NOT properties STREQUAL "")
          string(APPEND text "set_tests_properties([=[${name}]=] PROPERTIES${properties})\n")
        endif()
      endif()
    endforeach()
    file(WRITE "${list_file}" "${text}")
  endif()
  include("${list_file}")
endfunction()
