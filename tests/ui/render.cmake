# Image loading. Most pictures are written by the tests with stb_image_write;
# palette and interlaced PNGs and GIFs come from ImageMagick in the skin
# fixture step.
tarsel_add_gtest(ui_render_image_test
    SOURCES render/image_pixels_test.cpp render/load_image_test.cpp render/damaged_image_test.cpp
            render/skin_image.rc
    LIBS tarsel_ui_engine tarsel_skin_testsupport
    FIXTURES skin_fixtures)

# Drawing: descriptors, nine-part images, fills, gradients, clips and text,
# read back from DIB sections.
tarsel_add_gtest(ui_render_draw_test
    SOURCES render_descriptor_test.cpp render_pixels_test.cpp render_canvas.cpp render/image_drawing_test.cpp
    LIBS tarsel_ui_engine)
