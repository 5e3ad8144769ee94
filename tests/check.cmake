# tavrel-check: its parts over the fake platform on every build, and the
# tool itself end to end, natively and under Wine.
add_executable(tavrel_check_tests check/CheckTest.cpp)
target_link_libraries(tavrel_check_tests PRIVATE tavrel_check_lib tavrel_fake GTest::gtest_main)
tavrel_add_test_program(tavrel_check_tests)

find_program(TAVREL_PYTHON NAMES python3 REQUIRED)
set(_check_e2e ${CMAKE_CURRENT_SOURCE_DIR}/check/check_e2e.py)
if(WIN32)
  if(TAVREL_CAN_RUN_TESTS)
    add_test(NAME tavrel_check_e2e_wine
      COMMAND ${TAVREL_PYTHON} ${_check_e2e} $<TARGET_FILE:tavrel_check> --runner ${TAVREL_RUN})
    set_tests_properties(tavrel_check_e2e_wine PROPERTIES FIXTURES_REQUIRED wine TIMEOUT 600)
  endif()
else()
  add_test(NAME tavrel_check_e2e_linux
    COMMAND ${TAVREL_PYTHON} ${_check_e2e} $<TARGET_FILE:tavrel_check>
            --umockdev ${CMAKE_SOURCE_DIR}/tests/fixtures/devices/tuner-machine.umockdev)
  set_tests_properties(tavrel_check_e2e_linux PROPERTIES TIMEOUT 300)
endif()
