# Tests of this area: sources added to tavrel_unit_tests, and programs of its own.

# The command-line rules: the tail, the split and its inverse, on every build.
target_sources(tavrel_unit_tests PRIVATE unit/CommandLineTest.cpp)

# A stand-in installer that records how it was started (see
# support/Recording.h); the end-to-end tests use it too.
add_executable(tavrel_recorder support/Recorder.cpp)
if(WIN32)
  target_link_libraries(tavrel_recorder PRIVATE shell32)
endif()

if(WIN32)
  # The real ShellExecuteA, through the host platform, starting the
  # cross-built recorder: the child's raw command line and the argv its C
  # runtime builds, held against SplitCommandLine.
  add_executable(tavrel_shell_wine_tests wine/ShellTest.cpp)
  target_include_directories(tavrel_shell_wine_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/support)
  target_link_libraries(tavrel_shell_wine_tests PRIVATE tavrel_host GTest::gtest_main)
  add_dependencies(tavrel_shell_wine_tests tavrel_recorder)
  target_compile_definitions(tavrel_shell_wine_tests PRIVATE
    TAVREL_RECORDER_NAME="$<TARGET_FILE_NAME:tavrel_recorder>")
  tavrel_add_test_program(tavrel_shell_wine_tests)
else()
  # The Linux launcher with real processes.
  add_executable(tavrel_launcher_tests linux/LauncherTest.cpp)
  target_include_directories(tavrel_launcher_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/support)
  target_link_libraries(tavrel_launcher_tests PRIVATE tavrel_host GTest::gtest_main)
  add_dependencies(tavrel_launcher_tests tavrel_recorder)
  target_compile_definitions(tavrel_launcher_tests PRIVATE
    TAVREL_RECORDER="$<TARGET_FILE:tavrel_recorder>")
  tavrel_add_test_program(tavrel_launcher_tests)
endif()
