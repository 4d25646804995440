# Dialog builder (paths relative to src/ui/engine).
list(APPEND TARSEL_UI_ENGINE_SOURCES
    builder/dialog_builder.cpp
    builder/control_factory.cpp
    builder/window_settings.cpp)
