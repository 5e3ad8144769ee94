# Tests of this area: sources added to tavrel_unit_tests.

# Bad input from the field, over the fake platform, on every build.
target_sources(tavrel_unit_tests PRIVATE unit/BadInputTest.cpp)
