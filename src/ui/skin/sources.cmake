# Skin archive reader (paths relative to src/ui/engine).
list(APPEND TARSEL_UI_ENGINE_SOURCES
    ../skin/zip_records.cpp
    ../skin/zip_source.cpp
    ../skin/zip_archive.cpp
    ../skin/zip_extract.cpp
    ../skin/zip_messages.cpp
    ../skin/zip_whole_item.cpp)
# Where skin files and images are found (paths relative to src/ui/engine).
list(APPEND TARSEL_UI_ENGINE_SOURCES
    ../skin/skin_sources.cpp)
