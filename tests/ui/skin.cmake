# Skin archive tests. The archives are made by real tools (zip, zipfile, 7z,
# cmake) in a set-up step that writes them into the build tree; the tests
# read them through Wine's Z: drive.
find_program(TARSEL_PYTHON3 python3 REQUIRED)
add_test(NAME skin_fixtures
    COMMAND ${TARSEL_PYTHON3} ${CMAKE_CURRENT_SOURCE_DIR}/make_skin_fixtures.py
            ${CMAKE_CURRENT_BINARY_DIR}/skin_fixtures)
set_tests_properties(skin_fixtures PROPERTIES FIXTURES_SETUP skin_fixtures)

add_library(tarsel_skin_testsupport STATIC skin/skin_fixtures.cpp)
target_link_libraries(tarsel_skin_testsupport PUBLIC tarsel_testsupport)
target_include_directories(tarsel_skin_testsupport PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})

tarsel_add_gtest(skin_archive_test
    SOURCES skin/zip_archive_test.cpp skin/zip_records_test.cpp skin/zip_corruption_test.cpp
            skin/skin_sources_test.cpp
    LIBS tarsel_ui_engine tarsel_skin_testsupport
    FIXTURES skin_fixtures)
