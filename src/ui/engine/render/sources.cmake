# Render engine (paths relative to src/ui/engine).
list(APPEND TARSEL_UI_ENGINE_SOURCES
    render/image_pixels.cpp
    render/image_bytes.cpp
    render/render_image.cpp
    render/stb_image_impl.cpp
    render/value_syntax.cpp
    render/image_descriptor.cpp
    render/nine_part.cpp
    render/color_math.cpp
    render/gdi_extensions.cpp
    render/html_text.cpp
    render/render_draw_image.cpp
    render/render_fill.cpp
    render/render_text.cpp
    render/render_clip.cpp
    render/bitmap_copy.cpp
    render/shadow_bitmap.cpp
    render/gif_image.cpp)
