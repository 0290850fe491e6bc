# kxbr_add_test(<folder> <sources...>): one GoogleTest binary per source folder, its
# cases discovered at test time and labelled with the folder's name.
function(kxbr_add_test folder)
  set(target test_${folder})
  add_executable(${target} ${ARGN})
  target_link_libraries(${target} PRIVATE kxbr_options GTest::gtest GTest::gtest_main GTest::gmock)
  target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR}/tests/support)
  target_compile_definitions(${target} PRIVATE KXBR_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  gtest_discover_tests(${target}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES LABELS ${folder}
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
endfunction()
