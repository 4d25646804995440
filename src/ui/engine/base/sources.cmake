# Engine base types: string, arrays, string map, rectangle records.
list(APPEND TARSEL_UI_ENGINE_SOURCES
    base/ui_string.cpp
    base/std_ptr_array.cpp
    base/std_val_array.cpp
    base/std_string_ptr_map.cpp
    base/ui_rect.cpp
    base/wait_cursor.cpp)
