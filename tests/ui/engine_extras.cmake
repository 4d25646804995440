# The engine's pieces the launcher's own skins never reach: plug-ins,
# animated pictures through GDI+, and the engine's own shadow.

# Animated pictures and an archive entry that declares 0xFFFFFFFF bytes,
# made by ImageMagick, zip and Python in a set-up step.
find_program(TARSEL_PYTHON3 python3 REQUIRED)
add_test(NAME gif_fixtures
    COMMAND ${TARSEL_PYTHON3} ${CMAKE_CURRENT_SOURCE_DIR}/make_gif_fixtures.py
            ${CMAKE_CURRENT_BINARY_DIR}/gif_fixtures)
set_tests_properties(gif_fixtures PROPERTIES FIXTURES_SETUP gif_fixtures)
tarsel_add_gtest(ui_gif_image_test
    SOURCES gif/gif_image_test.cpp gif/oversize_entry_test.cpp
    LIBS tarsel_ui_engine
    PROPERTIES FIXTURES_REQUIRED gif_fixtures)
target_include_directories(ui_gif_image_test PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})

# Plug-ins. The host program exports the engine as the launcher does and
# writes an import library for it; the sample plug-in imports its control
# base from the host, so it is built after it (target
# tarsel_sample_plugin builds both).
tarsel_add_gtest(ui_plugin_test
    SOURCES plugin/plugin_test.cpp
    LIBS tarsel_ui_engine)
set(TARSEL_PLUGIN_HOST_IMPLIB "${CMAKE_CURRENT_BINARY_DIR}/libui_plugin_test_host.a")
target_link_options(ui_plugin_test PRIVATE
    "LINKER:--export-all-symbols" "LINKER:--out-implib,${TARSEL_PLUGIN_HOST_IMPLIB}"
    "LINKER:--whole-archive" $<TARGET_FILE:tarsel_ui_engine> "LINKER:--no-whole-archive")
foreach(module sample_plugin plugin_without_factory)
    add_library(tarsel_${module} SHARED plugin/${module}.cpp)
    target_link_libraries(tarsel_${module} PRIVATE tarsel_options)
    set_target_properties(tarsel_${module} PROPERTIES PREFIX "" OUTPUT_NAME ${module}
        RUNTIME_OUTPUT_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}")
endforeach()
target_link_libraries(tarsel_sample_plugin PRIVATE "${TARSEL_PLUGIN_HOST_IMPLIB}")
set_property(TARGET tarsel_sample_plugin APPEND PROPERTY LINK_DEPENDS "${TARSEL_PLUGIN_HOST_IMPLIB}")
add_dependencies(tarsel_sample_plugin ui_plugin_test tarsel_plugin_without_factory)

# The engine's shadow on the test display; it reads window places, not pixels.
tarsel_add_gtest(ui_engine_shadow_test
    SOURCES engine_shadow/engine_shadow_test.cpp
    LIBS tarsel_ui_window_fixture)
