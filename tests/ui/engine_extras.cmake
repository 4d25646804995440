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
    FIXTURES gif_fixtures)
target_include_directories(ui_gif_image_test PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})

# Plug-ins. The host program exports the engine as the launcher does, and
# the sample plug-in imports its control base from the host through the
# import library CMake has the host's link write.
tarsel_add_gtest(ui_plugin_test
    SOURCES plugin/plugin_test.cpp
    LIBS tarsel_ui_engine)
set_target_properties(ui_plugin_test PROPERTIES ENABLE_EXPORTS ON)
# The export list is made by the launcher's own script (which lists libcurl
# too, hence libcurl in the host); exporting everything would hand the
# plug-in the host's runtime as well.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(_c_prefix_flag --c-prefix)
endif()
set(_host_def "${CMAKE_CURRENT_BINARY_DIR}/ui_plugin_test.def")
add_custom_command(OUTPUT "${_host_def}"
    COMMAND ${TARSEL_PYTHON3} "${PROJECT_SOURCE_DIR}/src/launcher/exports/make_exports_def.py"
            "${TARSEL_MINGW_NM}" "${TARSEL_MINGW_CXXFILT}" "${_host_def}" ${_c_prefix_flag}
            --engine $<TARGET_FILE:tarsel_ui_engine> --curl $<TARGET_FILE:CURL::libcurl>
    DEPENDS "${PROJECT_SOURCE_DIR}/src/launcher/exports/make_exports_def.py" tarsel_ui_engine
    VERBATIM)
add_custom_target(ui_plugin_test_exports DEPENDS "${_host_def}")
add_dependencies(ui_plugin_test ui_plugin_test_exports)
target_link_libraries(ui_plugin_test PRIVATE CURL::libcurl)
target_link_options(ui_plugin_test PRIVATE "${_host_def}"
    "LINKER:--whole-archive" $<TARGET_FILE:tarsel_ui_engine> "LINKER:--no-whole-archive")
set_property(TARGET ui_plugin_test APPEND PROPERTY LINK_DEPENDS "${_host_def}")
foreach(module sample_plugin plugin_without_factory)
    add_library(tarsel_${module} SHARED plugin/${module}.cpp)
    target_link_libraries(tarsel_${module} PRIVATE tarsel_options)
    set_target_properties(tarsel_${module} PROPERTIES PREFIX "" OUTPUT_NAME ${module}
        RUNTIME_OUTPUT_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}")
endforeach()
target_link_libraries(tarsel_sample_plugin PRIVATE ui_plugin_test)
# The test loads the modules at run time; build target tarsel_sample_plugin
# (it builds the host first).
add_dependencies(tarsel_sample_plugin tarsel_plugin_without_factory)

# The engine's shadow on the test display; it reads window places, not pixels.
tarsel_add_gtest(ui_engine_shadow_test
    SOURCES engine_shadow/engine_shadow_test.cpp
    LIBS tarsel_ui_window_fixture)
