# Shared settings of the project's scripts. Sourced, never run.
# Everything built from outside sources, and the Wine prefix, live outside
# the work tree so that a fresh clone reuses them.
: "${TARSEL_CACHE:=/var/cache/tarsel}"
TARSEL_DEPS="$TARSEL_CACHE/deps"
: "${WINEPREFIX:=$TARSEL_CACHE/wine32}"
CURL_VERSION=7.88.1
JSONCPP_VERSION=1.9.5
DEPS_RECIPE=1
export TARSEL_CACHE TARSEL_DEPS WINEPREFIX
export WINEARCH=win32
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml="
