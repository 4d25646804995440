# Memory safety of the engine and its windows.

# Skinned windows closing on the test display (nothing is read from the
# screen).
tarsel_add_gtest(ui_window_life_test
    SOURCES safety/window_life_test.cpp
    LIBS tarsel_ui_window tarsel_ui_engine)
