# Toolchain for building the third-party dependencies (same compiler as ours).
include("${CMAKE_CURRENT_LIST_DIR}/../cmake/toolchain-mingw-i686.cmake")
