# Tests of this area: sources added to tavrel_unit_tests, and programs of its own.

# The main dialog and the application object on the headless back end, over
# the fake platform: the same cases on Linux and under Wine.
target_sources(tavrel_unit_tests PRIVATE unit/AppTest.cpp unit/DialogTest.cpp)
target_link_libraries(tavrel_unit_tests PRIVATE tavrel_dialog tavrel_afx_headless)

# End to end: the program as a user runs it, from a kit directory.
find_program(TAVREL_PYTHON NAMES python3 REQUIRED)
set(_e2e ${CMAKE_CURRENT_SOURCE_DIR}/e2e)
if(WIN32)
  # The resources and the import table, read back from the built file: runs
  # on both Windows builds, since it only inspects the file.
  string(REGEX REPLACE "-windres$" "" _binutils_prefix "${CMAKE_RC_COMPILER}")
  add_test(NAME tavrel_exe_resources
    COMMAND ${TAVREL_PYTHON} ${_e2e}/check_exe.py ${_binutils_prefix} $<TARGET_FILE:tavrel>)

  # Starts the program with a command line kept byte for byte.
  add_executable(tavrel_e2e_spawn e2e/Spawn.cpp)
  if(TAVREL_CAN_RUN_TESTS)
    # A prefix of its own: the made-up devices it registers stay out of
    # the other tests' prefix.
    add_test(NAME tavrel_e2e_wine
      COMMAND ${TAVREL_PYTHON} ${_e2e}/wine_e2e.py ${CMAKE_BINARY_DIR}/wineprefix-e2e
              $<TARGET_FILE:tavrel> $<TARGET_FILE:tavrel_recorder>
              $<TARGET_FILE:tavrel_e2e_spawn>)
    # Alone: the timing of a whole Wine start-up suffers under a parallel load.
    set_tests_properties(tavrel_e2e_wine PROPERTIES TIMEOUT 600 RUN_SERIAL TRUE)
  endif()
else()
  add_test(NAME tavrel_e2e_linux
    COMMAND ${TAVREL_PYTHON} ${_e2e}/linux_e2e.py $<TARGET_FILE:tavrel>
            $<TARGET_FILE:tavrel_recorder> ${_e2e}/tuner.umockdev)
  set_tests_properties(tavrel_e2e_linux PROPERTIES TIMEOUT 300)
endif()
