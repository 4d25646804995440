# Layouts (paths relative to src/ui/engine).
list(APPEND TARSEL_UI_ENGINE_SOURCES
    layout/separator_drag.cpp
    layout/box_layout.cpp
    layout/vertical_layout.cpp
    layout/horizontal_layout.cpp)
list(APPEND TARSEL_UI_ENGINE_SOURCES
    layout/tile_layout.cpp
    layout/tab_layout.cpp)
