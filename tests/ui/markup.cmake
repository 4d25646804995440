tarsel_add_gtest(ui_markup_tests
    SOURCES markup_grammar_test.cpp markup_attributes_test.cpp markup_encoding_test.cpp
            markup_corruption_test.cpp
    LIBS tarsel_ui_engine)
