# The control tree (paths relative to src/ui/engine): control base, listener
# lists, and the placement arithmetic the container and the layouts share.
list(APPEND TARSEL_UI_ENGINE_SOURCES
    controls/delegate.cpp
    controls/layout_math.cpp
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
# The paint manager that owns the control tree: messages, painting, focus,
# timers, notifications, fonts, images and the engine-wide settings.
list(APPEND TARSEL_UI_ENGINE_SOURCES
    controls/paint_manager_settings.cpp
    controls/paint_manager_archive.cpp
    controls/shadow_class_hook.cpp
    controls/paint_manager_life.cpp
    controls/paint_manager_fonts.cpp
    controls/paint_manager_images.cpp
    controls/paint_manager_resources.cpp
    controls/paint_manager_messages.cpp
    controls/paint_manager_mouse.cpp
    controls/paint_manager_paint.cpp
    controls/paint_manager_focus.cpp
    controls/paint_manager_timers.cpp
    controls/paint_manager_notify.cpp
    controls/paint_manager_find.cpp
    controls/paint_manager_drawing.cpp
    controls/paint_manager_gdiplus_image.cpp
    controls/paint_manager_plugins.cpp
    controls/shadow_ui.cpp)
