# Skin markup tests. The archive tests read archives that Python's zipfile
# writes into the build tree in a set-up step.
find_program(TARSEL_PYTHON3 python3 REQUIRED)
add_test(NAME markup_fixtures
    COMMAND ${TARSEL_PYTHON3} ${CMAKE_CURRENT_SOURCE_DIR}/markup_fixtures.py
            ${CMAKE_CURRENT_BINARY_DIR}/markup_fixtures)
set_tests_properties(markup_fixtures PROPERTIES FIXTURES_SETUP markup_fixtures)

tarsel_add_gtest(ui_markup_tests
    SOURCES markup_grammar_test.cpp markup_attributes_test.cpp markup_encoding_test.cpp
            markup_corruption_test.cpp
    LIBS tarsel_ui_engine)

tarsel_add_gtest(ui_markup_file_tests
    SOURCES markup_file_test.cpp
    LIBS tarsel_ui_engine
    FIXTURES markup_fixtures)
