# Tests of this area: sources added to tavrel_unit_tests, and programs of its own.

# The profile reader over text in memory: natively, and under Wine where it
# is our reader compiled for Windows that is tested, not Wine's.
target_sources(tavrel_unit_tests PRIVATE unit/ProfileReaderTest.cpp)

# The host platform's GetPrivateProfileStringA over real files: ours on
# Linux, the system's under Wine. The same expectations hold for both.
add_executable(tavrel_profile_tests unit/HostProfileTest.cpp)
target_link_libraries(tavrel_profile_tests PRIVATE tavrel_host GTest::gtest_main)
tavrel_add_test_program(tavrel_profile_tests)

# The differential test: one list of lookups over the fixture files, run
# through the host reader and compared with answers recorded from Wine's
# (tests/wine/regen-profile-golden.sh writes them).
add_executable(tavrel_profile_probe wine/ProfileProbe.cpp)
target_link_libraries(tavrel_profile_probe PRIVATE tavrel_host)
if(TAVREL_CAN_RUN_TESTS)
  set(profile_fixtures ${CMAKE_CURRENT_SOURCE_DIR}/fixtures/profile)
  add_test(NAME profile_differential
    COMMAND ${TAVREL_RUN} $<TARGET_FILE:tavrel_profile_probe>
      ${profile_fixtures}/lookups.txt ${profile_fixtures}
      ${CMAKE_CURRENT_BINARY_DIR}/profile-scratch ${profile_fixtures}/golden.txt)
  if(WIN32)
    set_tests_properties(profile_differential PROPERTIES FIXTURES_REQUIRED wine)
  endif()
endif()
