# The workbench and the add-in under QTest, with no display and private
# settings files. Included from tests/CMakeLists.txt once the GUI test
# support exists.
find_package(Qt6 REQUIRED COMPONENTS Widgets Test)
add_executable(rw_host_test ${CMAKE_CURRENT_LIST_DIR}/host_test.cpp)
target_link_libraries(rw_host_test PRIVATE rowwright_host rowwright_gui_test_support)
set_target_properties(rw_host_test PROPERTIES AUTOMOC ON)
add_test(NAME host_workbench COMMAND rw_host_test)
set_tests_properties(host_workbench PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 300)
