# The window host: notification maps without a window, native windows and
# the modal loop on the test display.
tarsel_add_gtest(ui_window_test
    SOURCES window_notify_pump_test.cpp window_wnd_test.cpp window_impl_base_test.cpp
    LIBS tarsel_ui_window tarsel_ui_engine)

# The update hint box, built from the launcher's embedded skin archive.
if(NOT TARGET tarsel_launcher_resources)
    add_subdirectory("${PROJECT_SOURCE_DIR}/src/launcher/resources"
                     "${PROJECT_BINARY_DIR}/src/launcher/resources")
endif()
tarsel_add_gtest(ui_msgbox_test
    SOURCES window_msgbox_test.cpp
    LIBS tarsel_launcher_ui tarsel_ui_window tarsel_ui_engine tarsel_launcher_resources
    TIMEOUT 60
    # The drag test moves the display's one mouse pointer.
    SCREEN)

# A skin that cannot be built ends the process after a message: the tests
# run a small window program and answer its message box.
tarsel_console_executable(window_load_failure window_load_failure_main.cpp)
target_link_libraries(window_load_failure PRIVATE tarsel_ui_window tarsel_ui_engine)
tarsel_add_gtest(ui_window_load_failure_test
    SOURCES window_load_failure_test.cpp
    LIBS tarsel_util)
add_dependencies(ui_window_load_failure_test window_load_failure)
