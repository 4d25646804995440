# Third-party dependencies: libcurl and jsoncpp from the set-up script's cache,
# zlib from libz-mingw-w64-dev, stb_image from libstb-dev, GoogleTest from
# /usr/src/googletest.

set(TARSEL_CACHE "$ENV{TARSEL_CACHE}")
if(NOT TARSEL_CACHE)
    set(TARSEL_CACHE /var/cache/tarsel)
endif()
set(_prefixes_file "${TARSEL_CACHE}/deps/prefixes-${CMAKE_SYSTEM_PROCESSOR}.txt")
if(NOT EXISTS "${_prefixes_file}")
    message(FATAL_ERROR "Dependencies not built: run 'sudo bash scripts/setup.sh' first")
endif()
file(STRINGS "${_prefixes_file}" TARSEL_DEPS_PREFIXES LIMIT_COUNT 1)
list(APPEND CMAKE_FIND_ROOT_PATH ${TARSEL_DEPS_PREFIXES})

set(ZLIB_USE_STATIC_LIBS ON)
find_package(ZLIB REQUIRED)
find_package(CURL 7.88 CONFIG REQUIRED)
find_package(jsoncpp CONFIG REQUIRED)

# libsodium (Ed25519, BLAKE2b, SHA-256) has no CMake package: its static
# archive and headers from the same cache.
# file(STRINGS) keeps the line's semicolons escaped.
string(REPLACE "\\;" ";" _deps_prefixes "${TARSEL_DEPS_PREFIXES}")
foreach(_prefix IN LISTS _deps_prefixes)
    if(EXISTS "${_prefix}/include/sodium.h" AND EXISTS "${_prefix}/lib/libsodium.a")
        set(TARSEL_SODIUM_PREFIX "${_prefix}")
    endif()
endforeach()
if(NOT TARSEL_SODIUM_PREFIX)
    message(FATAL_ERROR "libsodium not built: run 'sudo bash scripts/setup.sh' again")
endif()
add_library(tarsel_sodium INTERFACE)
target_include_directories(tarsel_sodium SYSTEM INTERFACE "${TARSEL_SODIUM_PREFIX}/include")
target_compile_definitions(tarsel_sodium INTERFACE SODIUM_STATIC)
# advapi32: libsodium's random source (unused by verification, linked all the same).
target_link_libraries(tarsel_sodium INTERFACE "${TARSEL_SODIUM_PREFIX}/lib/libsodium.a" advapi32)

find_path(STB_INCLUDE_DIR stb/stb_image.h PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH REQUIRED)
add_library(tarsel_stb INTERFACE)
# Only the stb directory: the host's /usr/include must never reach the cross build.
target_include_directories(tarsel_stb SYSTEM INTERFACE "${STB_INCLUDE_DIR}/stb")

if(TARSEL_BUILD_TESTS)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL SYSTEM)
endif()
