# Tests of this area: sources added to tavrel_unit_tests, and programs of its own.

# The main dialog and the application object on the headless back end, over
# the fake platform: the same cases on Linux and under Wine.
target_sources(tavrel_unit_tests PRIVATE unit/AppTest.cpp unit/DialogTest.cpp)
target_link_libraries(tavrel_unit_tests PRIVATE tavrel_dialog tavrel_afx_headless)
