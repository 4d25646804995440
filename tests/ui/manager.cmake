# Engine-wide settings of the paint manager. Each test case runs in its own
# process, so every case starts from the settings' initial state.
tarsel_add_gtest(ui_manager_settings_test
    SOURCES manager/paint_manager_settings_test.cpp
    LIBS tarsel_ui_engine tarsel_skin_testsupport
    FIXTURES skin_fixtures)

# Per-window resources: fonts, images, default lists, groups, colours.
tarsel_add_gtest(ui_manager_resources_test
    SOURCES manager_resources_test.cpp
    LIBS tarsel_ui_engine)

# The paint manager driving a real window under Xvfb; ui_window_fixture is
# the window fixture later window tests share, ui_test_window the skinned
# window of the control tests. Both put windows on the display, whose one
# pointer every process shares: a test linking either runs as SCREEN.
add_library(tarsel_ui_window_fixture STATIC ui_window_fixture.cpp)
target_link_libraries(tarsel_ui_window_fixture PUBLIC tarsel_ui_engine tarsel_options tarsel_testsupport)
target_include_directories(tarsel_ui_window_fixture PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
set_target_properties(tarsel_ui_window_fixture PROPERTIES TARSEL_TEST_SCREEN TRUE)

add_library(tarsel_ui_test_window STATIC ui_test_window.cpp)
target_link_libraries(tarsel_ui_test_window PUBLIC tarsel_ui_engine tarsel_options)
target_include_directories(tarsel_ui_test_window PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
set_target_properties(tarsel_ui_test_window PROPERTIES TARSEL_TEST_SCREEN TRUE)

tarsel_add_gtest(ui_manager_window_test
    SOURCES manager_window_test.cpp
    LIBS tarsel_ui_window_fixture)

tarsel_add_gtest(ui_manager_input_test
    SOURCES manager_input_test.cpp render_canvas.cpp
    LIBS tarsel_ui_window_fixture)
