# The window host: notification maps without a window, native windows and
# the modal loop on the test display.
tarsel_add_gtest(ui_window_test
    SOURCES window_notify_pump_test.cpp window_wnd_test.cpp
    LIBS tarsel_ui_window tarsel_ui_engine)
