# Compile settings shared by every target of ours.

# Every Windows executable that CMake runs (tests, test discovery) goes
# through Wine with the project's prefix, display and code page.
set(CMAKE_CROSSCOMPILING_EMULATOR "${PROJECT_SOURCE_DIR}/scripts/wine-run.sh")
add_library(tarsel_options INTERFACE)
target_compile_definitions(tarsel_options INTERFACE
    UNICODE _UNICODE NOMINMAX WINVER=0x0601 _WIN32_WINNT=0x0601 CURL_STATICLIB)
# Warnings that depend on the architecture (calling conventions, pointer and
# integer sizes, format specifiers) are errors: a build of the other
# architecture would pass them by.
target_compile_options(tarsel_options INTERFACE
    -Wall -Wextra
    -Werror=format -Werror=cast-function-type -Werror=int-to-pointer-cast
    -Werror=attributes -Werror=narrowing -Werror=overflow)
# i686: SSE2 arithmetic, as on x86_64, instead of the x87 unit's extended
# precision, so that both builds round alike (every CPU Windows 7 and later
# run on has SSE2). The system calls back with a stack aligned to 4 bytes
# only; functions that need more realign it.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    target_compile_options(tarsel_options INTERFACE -msse2 -mfpmath=sse -mstackrealign)
endif()
target_link_options(tarsel_options INTERFACE -static -static-libgcc -static-libstdc++)
target_include_directories(tarsel_options INTERFACE "${PROJECT_SOURCE_DIR}/src")

# A library of one subsystem. Sources are added by the subsystem's own
# CMakeLists.txt with target_sources().
function(tarsel_library name)
    add_library(${name} STATIC)
    target_link_libraries(${name} PUBLIC tarsel_options)
endfunction()

# A Windows GUI executable with a wWinMain entry point.
function(tarsel_gui_executable name)
    add_executable(${name} WIN32 ${ARGN})
    target_link_options(${name} PRIVATE -municode)
    target_link_libraries(${name} PRIVATE tarsel_options)
endfunction()

# A console executable with a wmain entry point (test helpers, stubs).
function(tarsel_console_executable name)
    add_executable(${name} ${ARGN})
    target_link_options(${name} PRIVATE -municode)
    target_link_libraries(${name} PRIVATE tarsel_options)
endfunction()

# Sections at page offsets in the file, as in memory: Wine then maps the
# image instead of reading it into private memory at every start (Windows
# maps it either way). For programs whose start-up is timed.
function(tarsel_mappable_image name)
    target_link_options(${name} PRIVATE "LINKER:--file-alignment=4096")
endfunction()
