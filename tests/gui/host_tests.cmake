# The workbench and the add-in under QTest, with no display and private
# settings files. Included from tests/CMakeLists.txt once the GUI test
# support exists.
find_package(Qt6 REQUIRED COMPONENTS Widgets Test)
add_library(rowwright_host_test_support STATIC
  ${CMAKE_CURRENT_LIST_DIR}/host_support.cpp ${CMAKE_CURRENT_LIST_DIR}/host_support.h)
target_link_libraries(rowwright_host_test_support PUBLIC rowwright_host rowwright_gui_test_support)
set_target_properties(rowwright_host_test_support PROPERTIES AUTOMOC ON)

foreach(name addin workbench)
  add_executable(rw_host_${name}_test ${CMAKE_CURRENT_LIST_DIR}/host_${name}_test.cpp)
  target_link_libraries(rw_host_${name}_test PRIVATE rowwright_host_test_support)
  set_target_properties(rw_host_${name}_test PROPERTIES AUTOMOC ON)
  add_test(NAME host_${name} COMMAND rw_host_${name}_test)
  set_tests_properties(host_${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 300)
endforeach()
