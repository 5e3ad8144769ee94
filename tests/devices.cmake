# Tests of this area: sources added to tavrel_unit_tests, and programs of its own.
target_sources(tavrel_unit_tests PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/unit/DeviceSetTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/unit/InventoryTest.cpp
)
