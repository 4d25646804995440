# Control base, event records and listener lists (paths relative to src/ui/engine).
list(APPEND TARSEL_UI_ENGINE_SOURCES
    controls/delegate.cpp
    controls/control.cpp
    controls/control_attributes.cpp
    controls/control_paint.cpp)
