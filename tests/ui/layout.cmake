# Layout arithmetic and containers on control trees without a window.
tarsel_add_gtest(ui_layout_test
    SOURCES layout_arithmetic_test.cpp container_test.cpp layout_tile_tab_test.cpp
    LIBS tarsel_ui_engine)
# Buttons and labels in a real window on the test display.
tarsel_add_gtest(ui_button_window_test
    SOURCES button_window_test.cpp label_window_test.cpp container_window_test.cpp
    LIBS tarsel_ui_engine tarsel_ui_test_window)
