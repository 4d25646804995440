# The control base: attributes, state, events, listeners and painting.
tarsel_add_gtest(ui_controls_test
    SOURCES controls_attributes_test.cpp controls_paint_test.cpp render_canvas.cpp
    LIBS tarsel_ui_engine)
