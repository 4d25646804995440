# Shared by the i686 and x86_64 toolchain files, which set
# CMAKE_SYSTEM_PROCESSOR and TOOLCHAIN_PREFIX first. Posix thread model:
# g++ 12's win32 flavour has no std::thread, std::mutex or
# std::condition_variable.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER   ${TOOLCHAIN_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TOOLCHAIN_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER  ${TOOLCHAIN_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TOOLCHAIN_PREFIX} ${TARSEL_DEPS_PREFIXES})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Several build trees of the same sources (the two architectures, a build
# folder per developer) compile mostly the same files: where ccache is
# installed, they share its cache. TARSEL_NO_CCACHE=1 turns it off.
find_program(TARSEL_CCACHE ccache)
if(TARSEL_CCACHE AND NOT "$ENV{TARSEL_NO_CCACHE}" STREQUAL "1")
    set(CMAKE_C_COMPILER_LAUNCHER ${TARSEL_CCACHE})
    set(CMAKE_CXX_COMPILER_LAUNCHER ${TARSEL_CCACHE})
endif()
