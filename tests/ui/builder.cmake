# The dialog builder: skin files written per test, a real window's manager,
# and skin markup in the test program's resources.
tarsel_add_gtest(ui_builder_test
    SOURCES builder_test.cpp builder/builder_skin.rc
    LIBS tarsel_ui_engine tarsel_ui_test_window)
