# The window shadow: its picture as a pure function, and a real layered
# window following its owner on the test display.
tarsel_add_gtest(ui_shadow_test
    SOURCES shadow_bitmap_test.cpp shadow_window_test.cpp
    LIBS tarsel_ui_window)
