# Memory safety and hostile input of the engine: ownership of what the
# builder creates, focus into dropped subtrees, layouts under hostile
# attributes, aliased image setters and listener lists changed while called.
# No window is needed.
tarsel_add_gtest(ui_engine_safety_test
    SOURCES safety/builder_ownership_test.cpp safety/event_source_test.cpp safety/image_alias_test.cpp
            safety/layout_hostile_test.cpp
    LIBS tarsel_ui_engine)

# Skinned windows closing on the test display (nothing is read from the
# screen).
tarsel_add_gtest(ui_window_life_test
    SOURCES safety/window_life_test.cpp
    LIBS tarsel_ui_window tarsel_ui_engine)
