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

# The inventory over the real Windows calls: two made-up devices registered
# in a prefix of this area's own, so the shared prefix's tests see none.
add_executable(tavrel_devices_list wine/devices-list.cpp)
target_link_libraries(tavrel_devices_list PRIVATE tavrel_core tavrel_host)
if(WIN32 AND TAVREL_CAN_RUN_TESTS)
  set(TAVREL_DEVICES_PREFIX ${CMAKE_BINARY_DIR}/wineprefix-devices)
  add_test(NAME wine_devices_prefix
           COMMAND ${CMAKE_CURRENT_LIST_DIR}/wine/devices-prefix.sh ${TAVREL_DEVICES_PREFIX}
                   ${CMAKE_CURRENT_LIST_DIR}/wine/devices.reg)
  set_tests_properties(wine_devices_prefix PROPERTIES FIXTURES_SETUP wine_devices)
  add_test(NAME wine_devices_listed
           COMMAND ${CMAKE_CURRENT_LIST_DIR}/wine/devices-check.sh ${TAVREL_DEVICES_PREFIX}
                   $<TARGET_FILE:tavrel_devices_list>)
  set_tests_properties(wine_devices_listed PROPERTIES FIXTURES_REQUIRED wine_devices)
endif()
