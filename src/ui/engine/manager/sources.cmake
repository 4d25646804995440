# Paint manager (paths relative to src/ui/engine).
list(APPEND TARSEL_UI_ENGINE_SOURCES
    manager/paint_manager_settings.cpp
    manager/paint_manager_archive.cpp
    manager/shadow_class_hook.cpp
    manager/paint_manager_life.cpp
    manager/paint_manager_fonts.cpp
    manager/paint_manager_images.cpp
    manager/paint_manager_resources.cpp
    manager/paint_manager_messages.cpp
    manager/paint_manager_mouse.cpp
    manager/paint_manager_paint.cpp
    manager/paint_manager_focus.cpp
    manager/paint_manager_timers.cpp
    manager/paint_manager_notify.cpp
    manager/paint_manager_find.cpp
    manager/paint_manager_gdiplus_image.cpp
    manager/paint_manager_plugins.cpp
    manager/shadow_ui.cpp)
