# The window shadow: its picture as a pure function, and a real layered
# window following its owner on the test display.
add_library(tarsel_shadow_test_owner STATIC shadow_test_owner.cpp)
target_link_libraries(tarsel_shadow_test_owner PUBLIC tarsel_options tarsel_ui_window GTest::gtest)

tarsel_add_gtest(ui_shadow_test
    SOURCES shadow_bitmap_test.cpp shadow_window_test.cpp
    LIBS tarsel_shadow_test_owner)

# The cases that read the display: nothing else may draw beside them.
tarsel_add_gtest(ui_shadow_screen_test
    SOURCES shadow_screen_test.cpp
    LIBS tarsel_shadow_test_owner
    SCREEN)
