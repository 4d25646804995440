# Shared settings of the project's scripts. Sourced, never run.
# Everything built from outside sources, and the Wine prefix, live outside
# the work tree so that a fresh clone reuses them.
: "${TARSEL_CACHE:=/var/cache/tarsel}"
TARSEL_DEPS="$TARSEL_CACHE/deps"
CURL_VERSION=7.88.1
JSONCPP_VERSION=1.9.5
LIBSODIUM_VERSION=1.0.18
DEPS_RECIPE=1

# The launcher ships as a 32-bit program, and its tests run that build under
# 32-bit Wine. Some hosts execute 64-bit user code only (the kernel refuses
# any i386 ELF, Wine's 32-bit loader included, and no 32-bit code segment
# exists for Wine's WoW64 mode either); there the same sources are built a
# second time for x86_64 and the tests run that build under 64-bit Wine,
# while the shipped i686 executable is still built. The probe is a 93-byte
# static i386 program that only calls exit(0).
tarsel_host_runs_i386() {
    local probe
    probe="$(mktemp "${TMPDIR:-/tmp}/tarsel-i386-probe.XXXXXX")"
    printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00'`
          `'\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00'`
          `'\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00'`
          `'\x00\x00\x00\x00'`
          `'\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08'`
          `'\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00'`
          `'\x31\xdb\xb8\x01\x00\x00\x00\xcd\x80' > "$probe"
    chmod +x "$probe"
    local status=0
    "$probe" 2>/dev/null || status=$?
    rm -f "$probe"
    return "$status"
}

# TARSEL_HOST_RUNS_I386=yes|no skips the probe (setup's simulated cases use
# it). A host that runs 32-bit code but could not install the 32-bit Wine
# (setup.sh leaves a marker then) takes the x86_64 path as well.
if [[ -z ${TARSEL_TEST_ARCH:-} ]]; then
    TARSEL_ARCH_CHOSEN_BY=host
    case "${TARSEL_HOST_RUNS_I386:-probe}" in
        yes) TARSEL_TEST_ARCH=i686 ;;
        no) TARSEL_TEST_ARCH=x86_64 ;;
        *) if tarsel_host_runs_i386; then TARSEL_TEST_ARCH=i686; else TARSEL_TEST_ARCH=x86_64; fi ;;
    esac
    if [[ $TARSEL_TEST_ARCH == i686 && -f $TARSEL_CACHE/i386-packages-unavailable ]]; then
        TARSEL_TEST_ARCH=x86_64
    fi
fi
: "${TARSEL_ARCH_CHOSEN_BY:=user}"
case "$TARSEL_TEST_ARCH" in
    i686) TARSEL_PRESET=default build_name=build wine_name=wine32 WINEARCH=win32 TARSEL_WINE=/usr/lib/wine/wine ;;
    x86_64) TARSEL_PRESET=x86_64 build_name=build-x86_64 wine_name=wine64 WINEARCH=win64 TARSEL_WINE=/usr/lib/wine/wine64 ;;
    *)
        echo "TARSEL_TEST_ARCH must be i686 or x86_64, not '$TARSEL_TEST_ARCH'" >&2
        return 1 2>/dev/null || exit 1
        ;;
esac
: "${TARSEL_BUILD_DIR:=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/$build_name}"
: "${WINEPREFIX:=$TARSEL_CACHE/$wine_name}"
unset build_name wine_name
# Processes that Wine starts for the program (CreateProcess, ShellExecute)
# use the same loader.
export WINELOADER="$TARSEL_WINE"

# Debian's Wine has no preloader, so nothing holds the addresses Wine needs
# before the kernel places the loader's heap. The 64-bit loader is linked at
# 0x7d000000 and the kernel starts its heap anywhere in the next 1 GiB: about
# one start in 8000 finds the heap on the shared user data page (0x7ffe0000),
# and Wine ends with status 1 before the program runs, saying so only on a
# debug channel that is off. With address randomisation off the heap starts
# right after the loader. Processes Wine starts inherit the setting.
if [[ -z ${TARSEL_WINE_FIXED_LAYOUT:-} ]]; then
    TARSEL_WINE_FIXED_LAYOUT=no
    setarch -R true 2>/dev/null && TARSEL_WINE_FIXED_LAYOUT=yes
    export TARSEL_WINE_FIXED_LAYOUT
fi
# How every script starts Wine: that setting, and the Chinese ANSI code page
# (936) that the system's texts use.
tarsel_wine_command=(env LC_ALL=zh_CN.UTF-8)
[[ $TARSEL_WINE_FIXED_LAYOUT == yes ]] && tarsel_wine_command+=(setarch -R)
tarsel_wine_command+=("$TARSEL_WINE")
# Runs a Windows program (or a Wine tool such as winepath) under Wine.
tarsel_wine() { "${tarsel_wine_command[@]}" "$@"; }
export TARSEL_CACHE TARSEL_DEPS WINEPREFIX WINEARCH TARSEL_TEST_ARCH TARSEL_ARCH_CHOSEN_BY TARSEL_PRESET TARSEL_BUILD_DIR TARSEL_WINE
export WINEDEBUG="${WINEDEBUG:--all}"
# TARSEL_EXTRA_DLL_OVERRIDES adds Wine DLL overrides for one command (a
# test that plants DLLs asks for native ones with it).
export WINEDLLOVERRIDES="mscoree,mshtml=${TARSEL_EXTRA_DLL_OVERRIDES:+;$TARSEL_EXTRA_DLL_OVERRIDES}"
