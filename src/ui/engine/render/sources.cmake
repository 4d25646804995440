# Render engine (paths relative to src/ui/engine).
list(APPEND TARSEL_UI_ENGINE_SOURCES
    render/image_pixels.cpp
    render/image_bytes.cpp
    render/render_image.cpp
    render/stb_image_impl.cpp)
