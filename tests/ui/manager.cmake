# Engine-wide settings of the paint manager. Each test case runs in its own
# process, so every case starts from the settings' initial state.
tarsel_add_gtest(ui_manager_settings_test
    SOURCES manager/paint_manager_settings_test.cpp
    LIBS tarsel_ui_engine tarsel_skin_testsupport
    PROPERTIES FIXTURES_REQUIRED skin_fixtures)

# Per-window resources: fonts, images, default lists, groups, colours.
tarsel_add_gtest(ui_manager_resources_test
    SOURCES manager_resources_test.cpp
    LIBS tarsel_ui_engine)
