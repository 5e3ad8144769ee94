# Tests of this area: sources added to tavrel_unit_tests, and programs of its own.
