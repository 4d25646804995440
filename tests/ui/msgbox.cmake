# The launcher's embedded resources: the test executable links the same
# resource object as the launcher and reads the skin archive, icon and
# manifest back out of itself.
if(NOT TARGET tarsel_launcher_resources)
    add_subdirectory("${PROJECT_SOURCE_DIR}/src/launcher/resources"
                     "${PROJECT_BINARY_DIR}/src/launcher/resources")
endif()
tarsel_add_gtest(ui_skin_resources_test
    SOURCES skin_resources_test.cpp
    LIBS tarsel_ui_engine tarsel_launcher_resources)

# The checked-in pictures are what the artwork script draws.
find_program(TARSEL_PYTHON3 python3 REQUIRED)
add_test(NAME ui_skin_artwork_check
    COMMAND ${TARSEL_PYTHON3} "${PROJECT_SOURCE_DIR}/resources/artwork/check_artwork.py")
