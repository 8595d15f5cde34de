# The tests' data: ZEMBREL_TESTDATA (default tests/data) must hold every file that
# tests/data/files.txt lists, or the configure stops here with one message instead of test
# programs failing one by one.
function(zembrel_check_testdata)
  set(list "${PROJECT_SOURCE_DIR}/tests/data/files.txt")
  if(NOT EXISTS "${ZEMBREL_TESTDATA}")
    message(FATAL_ERROR "The test data folder ${ZEMBREL_TESTDATA} does not exist. Configure with "
      "-DZEMBREL_TESTDATA=<folder> (default: tests/data in the tree) or -DZEMBREL_BUILD_TESTS=OFF.")
  endif()
  file(STRINGS "${list}" wanted)
  set(missing "")
  set(count 0)
  foreach(name IN LISTS wanted)
    if(NOT EXISTS "${ZEMBREL_TESTDATA}/${name}")
      math(EXPR count "${count} + 1")
      if(count LESS_EQUAL 5)
        string(APPEND missing "\n  ${name}")
      endif()
    endif()
  endforeach()
  if(count GREATER 0)
    message(FATAL_ERROR "The test data folder ${ZEMBREL_TESTDATA} is incomplete: ${count} of the "
      "files in tests/data/files.txt are missing, among them:${missing}\nRestore the folder "
      "(git checkout -- tests/data) or configure with -DZEMBREL_TESTDATA=<folder>.")
  endif()
endfunction()
zembrel_check_testdata()
