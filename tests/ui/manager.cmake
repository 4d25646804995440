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
# the window fixture later window tests share.
add_library(tarsel_ui_window_fixture STATIC ui_window_fixture.cpp)
target_link_libraries(tarsel_ui_window_fixture PUBLIC tarsel_ui_engine tarsel_options tarsel_testsupport)
target_include_directories(tarsel_ui_window_fixture PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})

# The display's one pointer is shared by every process, so the window
# tests run alone.
tarsel_add_gtest(ui_manager_window_test
    SOURCES manager_window_test.cpp
    LIBS tarsel_ui_window_fixture
    PROPERTIES RUN_SERIAL TRUE)

tarsel_add_gtest(ui_manager_input_test
    SOURCES manager_input_test.cpp render_canvas.cpp
    LIBS tarsel_ui_window_fixture
    PROPERTIES RUN_SERIAL TRUE)
