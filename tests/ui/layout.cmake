# Layout arithmetic and containers on control trees without a window.
tarsel_add_gtest(ui_layout_test
    SOURCES layout_arithmetic_test.cpp container_test.cpp
    LIBS tarsel_ui_engine)
