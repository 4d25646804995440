tarsel_add_gtest(ui_base_tests
    SOURCES base_string_test.cpp base_containers_test.cpp base_rect_test.cpp
    LIBS tarsel_ui_engine)
