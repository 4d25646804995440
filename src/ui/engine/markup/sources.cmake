# Skin markup reader.
list(APPEND TARSEL_UI_ENGINE_SOURCES
    markup/markup.cpp
    markup/markup_parse.cpp
    markup/markup_node.cpp
    markup/markup_file.cpp)
