# Paint manager (paths relative to src/ui/engine).
list(APPEND TARSEL_UI_ENGINE_SOURCES
    manager/paint_manager_settings.cpp
    manager/paint_manager_archive.cpp
    manager/shadow_class_hook.cpp)
