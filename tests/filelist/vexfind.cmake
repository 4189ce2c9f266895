# Tests of the folder search component (TVexFind), a program of their own.
include(GoogleTest)

add_executable(vexfind_tests
  ${CMAKE_CURRENT_LIST_DIR}/vexFind_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/vexFindThread_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/vexFindWalk_test.cpp
)
target_link_libraries(vexfind_tests PRIVATE vexfind GTest::gtest_main)
target_include_directories(vexfind_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/..)
gtest_discover_tests(vexfind_tests)
