# Toolchain for building the third-party dependencies (same compiler as
# ours); setup.sh passes -DTARSEL_ARCH=i686|x86_64.
if(NOT TARSEL_ARCH)
    set(TARSEL_ARCH i686)
endif()
include("${CMAKE_CURRENT_LIST_DIR}/../cmake/toolchain-mingw-${TARSEL_ARCH}.cmake")
