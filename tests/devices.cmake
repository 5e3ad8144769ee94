# Tests of this area: sources added to tavrel_unit_tests, and programs of its own.
target_sources(tavrel_unit_tests PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/unit/DeviceSetTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/unit/InventoryTest.cpp
)

if(NOT WIN32)
  # The Linux inventory on made-up sysfs trees: the program puts itself under
  # umockdev's preload, one testbed per case.
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(UMOCKDEV REQUIRED IMPORTED_TARGET umockdev-1.0)
  add_executable(tavrel_udev_tests linux/UdevInventoryTest.cpp)
  target_link_libraries(tavrel_udev_tests PRIVATE tavrel_core tavrel_host PkgConfig::UMOCKDEV
                        GTest::gtest)
  target_compile_definitions(tavrel_udev_tests PRIVATE TAVREL_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  include(GoogleTest)
  gtest_discover_tests(tavrel_udev_tests DISCOVERY_TIMEOUT 30 TEST_FILTER -HostMachine.*)
  # This machine's own PCI functions next to what lspci reports of them.
  add_test(NAME tavrel_udev_host_lspci
           COMMAND tavrel_udev_tests --host --gtest_filter=HostMachine.*)
endif()
