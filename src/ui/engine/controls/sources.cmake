# Control base, event records and listener lists (paths relative to src/ui/engine).
list(APPEND TARSEL_UI_ENGINE_SOURCES
    controls/delegate.cpp
    controls/control.cpp
    controls/control_attributes.cpp
    controls/control_paint.cpp)
# Containers, scroll bar, labels, texts and buttons.
list(APPEND TARSEL_UI_ENGINE_SOURCES
    controls/scroll_bar.cpp
    controls/container.cpp
    controls/container_layout.cpp
    controls/label.cpp
    controls/label_effect.cpp
    controls/text.cpp
    controls/button.cpp
    controls/button_paint.cpp)
