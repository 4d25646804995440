#!/usr/bin/env bash
# Prepares a Debian 12 machine to build and test the Tarsel launcher.
#
# Idempotent: a second run finds everything in place and returns in seconds.
# Installs the cross toolchain, Wine, Xvfb and the test servers, builds static
# libcurl, jsoncpp and libsodium from Debian's source packages into a cache outside the
# work tree (keyed by version and by this script's build recipe), and
# initialises a quiet Wine prefix: 32-bit, or 64-bit on a host that runs
# 64-bit user code only (see env.sh), where everything is also built for
# x86_64.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=scripts/env.sh
source "$here/env.sh"
# shellcheck source=scripts/apt-packages.sh
source "$here/apt-packages.sh"

log() { printf '[setup] %s\n' "$*"; }

if [[ $(id -u) -ne 0 ]]; then
    echo "setup.sh must run as root (it installs packages)" >&2
    exit 1
fi

packages=(
    cmake ninja-build python3 openssl make g++ pkg-config dpkg-dev locales
    g++-mingw-w64-i686-posix mingw-w64-tools binutils-mingw-w64-i686
    libz-mingw-w64-dev libstb-dev googletest
    wine xvfb xauth x11-apps fonts-wqy-microhei imagemagick
    nginx curl aria2 zip unzip p7zip-full libpugixml-dev
    autoconf automake libtool minisign ccache
)
# Always the shipped i686 build; the x86_64 one too where the tests run it.
deps_arches=(i686)
if [[ $TARSEL_TEST_ARCH == i686 ]]; then
    packages+=(wine32:i386)
else
    packages+=(wine64 g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64)
    deps_arches+=(x86_64)
fi

# --- apt: i386 architecture, deb-src entry, packages -------------------------
need_apt=0
if [[ -n ${TARSEL_SETUP_SIMULATE:-} ]]; then
    log "simulating: $TARSEL_SETUP_SIMULATE (nothing on this machine changes)"
elif ! dpkg --print-foreign-architectures | grep -qx i386; then
    log "adding the i386 architecture"
    dpkg --add-architecture i386
    need_apt=1
fi

src_list=/etc/apt/sources.list.d/tarsel-deb-src.sources
if [[ -z ${TARSEL_SETUP_SIMULATE:-} && ! -f $src_list ]]; then
    log "adding a deb-src entry for Debian's main archive"
    cat > "$src_list" <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
    need_apt=1
fi

missing=()
for p in "${packages[@]}"; do
    tarsel_package_installed "$p" || missing+=("$p")
done
if ((${#missing[@]})); then
    need_apt=1
fi
if ((need_apt)); then
    log "apt-get update"
    tarsel_apt_update
fi
if ((${#missing[@]})); then
    log "installing: ${missing[*]}"
    if ! tarsel_apt_install_retried "${missing[@]}"; then
        if [[ $TARSEL_TEST_ARCH == i686 && $TARSEL_ARCH_CHOSEN_BY == host ]]; then
            # The i386 packages are what a broken mirror state cannot resolve;
            # the x86_64 test path needs none of them.
            marker="$(tarsel_i386_unavailable_marker)"
            log "the 32-bit Wine (wine32:i386) cannot be installed from the package lists as they are now;"
            log "taking the x86_64 test path instead (the shipped i686 launcher is still built)."
            log "Remove $marker to try the 32-bit path again later."
            mkdir -p "$TARSEL_CACHE"
            date -u +%FT%TZ > "$marker"
            unset TARSEL_TEST_ARCH TARSEL_ARCH_CHOSEN_BY TARSEL_PRESET TARSEL_BUILD_DIR WINEPREFIX WINEARCH TARSEL_WINE WINELOADER
            exec bash "${BASH_SOURCE[0]}"
        fi
        log "installing the packages failed: ${missing[*]}"
        exit 1
    fi
fi
if [[ -n ${TARSEL_SETUP_SIMULATE:-} ]]; then
    log "simulated: the tests would run the $TARSEL_TEST_ARCH build"
    exit 0
fi
# The tests run Wine under zh_CN.UTF-8 (ANSI code page 936). With the
# locale generated, Wine also converts non-ASCII file names to UTF-8 on
# disk; without it, creating such a file fails.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf8$'; then
    log "generating the zh_CN.UTF-8 locale"
    grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null || echo 'zh_CN.UTF-8 UTF-8' >> /etc/locale.gen
    locale-gen >/dev/null
fi
# nginx's package starts a system service on port 80; the tests start their
# own instances on free ports and need nothing of it.
if command -v systemctl >/dev/null && systemctl is-active -q nginx 2>/dev/null; then
    systemctl stop nginx || true
fi

# --- dependency cache ---------------------------------------------------------
# bump DEPS_RECIPE in env.sh when the build options change
recipe_hash="r$DEPS_RECIPE"

fetch_source() { # package version -> prints the unpacked source directory
    local pkg=$1 ver=$2 dir="$TARSEL_DEPS/src"
    mkdir -p "$dir"
    local orig
    orig=$(ls "$dir"/"${pkg}"_"${ver}"*.orig.tar.* 2>/dev/null | head -n1 || true)
    if [[ -z $orig ]]; then
        (cd "$dir" && apt-get source -qq --download-only "$pkg" >/dev/null 2>&1)
        orig=$(ls "$dir"/"${pkg}"_"${ver}"*.orig.tar.* | head -n1)
    fi
    local top
    top=$(tar -tf "$orig" | head -n1 | cut -d/ -f1)
    [[ -d $dir/$top ]] || tar -C "$dir" -xf "$orig"
    echo "$dir/$top"
}

cmake_build_install() { # log-name source prefix arch cmake-options...
    local name=$1 src=$2 prefix=$3 arch=$4
    shift 4
    local bld="$TARSEL_DEPS/build-$name-$arch-$recipe_hash"
    rm -rf "$bld" "$prefix"
    cmake -S "$src" -B "$bld" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$here/toolchain-deps.cmake" -DTARSEL_ARCH="$arch" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" "$@" \
        >"$bld.log" 2>&1 || { tail -n 40 "$bld.log"; exit 1; }
    cmake --build "$bld" -j"$(nproc)" >>"$bld.log" 2>&1 || { tail -n 40 "$bld.log"; exit 1; }
    cmake --install "$bld" >>"$bld.log" 2>&1
    rm -rf "$bld"
    touch "$prefix/.done"
}

# Debian's libsodium source is the upstream git tree (no generated
# configure) plus Debian's patches: apply those, generate, cross-build.
fetch_patched_source() { # package version -> prints the patched source directory
    local pkg=$1 ver=$2 dir="$TARSEL_DEPS/src"
    local top="$dir/$pkg-$ver-debian-$recipe_hash"
    if [[ ! -f $top/.ready ]]; then
        mkdir -p "$dir"
        local orig
        orig=$(ls "$dir"/"${pkg}"_"${ver}".orig.tar.* 2>/dev/null | head -n1 || true)
        if [[ -z $orig ]]; then
            (cd "$dir" && apt-get source -qq --download-only "$pkg" >/dev/null 2>&1)
            orig=$(ls "$dir"/"${pkg}"_"${ver}".orig.tar.* | head -n1)
        fi
        local debian
        debian=$(ls "$dir"/"${pkg}"_"${ver}"-*.debian.tar.* | sort -V | tail -n1)
        rm -rf "$top" && mkdir -p "$top"
        tar -C "$top" --strip-components=1 -xf "$orig"
        tar -C "$top" -xf "$debian"
        if [[ -f $top/debian/patches/series ]]; then
            local patch
            while read -r patch _; do
                [[ -z $patch || $patch == \#* ]] && continue
                patch -d "$top" -p1 -s < "$top/debian/patches/$patch" >&2
            done < "$top/debian/patches/series"
        fi
        (cd "$top" && ./autogen.sh -s) >"$top.autogen.log" 2>&1 || { tail -n 20 "$top.autogen.log" >&2; exit 1; }
        touch "$top/.ready"
    fi
    echo "$top"
}

autotools_build_install() { # log-name source prefix arch configure-options...
    local name=$1 src=$2 prefix=$3 arch=$4
    shift 4
    local bld="$TARSEL_DEPS/build-$name-$arch-$recipe_hash"
    rm -rf "$bld" "$prefix"
    mkdir -p "$bld"
    (cd "$bld" && "$src/configure" --host="$arch-w64-mingw32" CC="$arch-w64-mingw32-gcc-posix" \
        --prefix="$prefix" "$@") >"$bld.log" 2>&1 || { tail -n 40 "$bld.log"; exit 1; }
    make -C "$bld" -j"$(nproc)" >>"$bld.log" 2>&1 || { tail -n 40 "$bld.log"; exit 1; }
    make -C "$bld" install >>"$bld.log" 2>&1
    rm -rf "$bld"
    touch "$prefix/.done"
}

build_deps() { # arch
    local arch=$1
    local curl_prefix="$TARSEL_DEPS/$arch/curl-$CURL_VERSION-$recipe_hash"
    local jsoncpp_prefix="$TARSEL_DEPS/$arch/jsoncpp-$JSONCPP_VERSION-$recipe_hash"
    local sodium_prefix="$TARSEL_DEPS/$arch/libsodium-$LIBSODIUM_VERSION-$recipe_hash"
    mkdir -p "$TARSEL_DEPS/$arch"
    if [[ ! -f $curl_prefix/.done ]]; then
        log "building static libcurl $CURL_VERSION for $arch (Schannel, HTTP/HTTPS only)"
        cmake_build_install curl "$(fetch_source curl "$CURL_VERSION")" "$curl_prefix" "$arch" \
            -DBUILD_SHARED_LIBS=OFF -DBUILD_CURL_EXE=OFF -DBUILD_TESTING=OFF -DENABLE_MANUAL=OFF \
            -DHTTP_ONLY=ON -DCURL_USE_SCHANNEL=ON -DCURL_USE_OPENSSL=OFF -DCURL_WINDOWS_SSPI=ON \
            -DCURL_ZLIB=OFF -DCURL_BROTLI=OFF -DCURL_ZSTD=OFF -DUSE_NGHTTP2=OFF -DUSE_LIBIDN2=OFF \
            -DUSE_WIN32_IDN=OFF -DCURL_USE_LIBPSL=OFF -DCURL_USE_LIBSSH2=OFF -DCURL_USE_LIBSSH=OFF \
            -DCURL_USE_GSSAPI=OFF -DENABLE_ARES=OFF -DCURL_DISABLE_LDAP=ON -DCURL_DISABLE_LDAPS=ON \
            -DENABLE_UNIX_SOCKETS=OFF -DCURL_CA_BUNDLE=none -DCURL_CA_PATH=none -DPICKY_COMPILER=OFF
    fi
    if [[ ! -f $jsoncpp_prefix/.done ]]; then
        log "building static jsoncpp $JSONCPP_VERSION for $arch"
        cmake_build_install jsoncpp "$(fetch_source libjsoncpp "$JSONCPP_VERSION")" "$jsoncpp_prefix" "$arch" \
            -DBUILD_SHARED_LIBS=OFF -DBUILD_STATIC_LIBS=ON -DBUILD_OBJECT_LIBS=OFF \
            -DJSONCPP_WITH_TESTS=OFF -DJSONCPP_WITH_POST_BUILD_UNITTEST=OFF \
            -DJSONCPP_WITH_PKGCONFIG_SUPPORT=OFF -DJSONCPP_WITH_CMAKE_PACKAGE=ON
    fi
    if [[ ! -f $sodium_prefix/.done ]]; then
        log "building static libsodium $LIBSODIUM_VERSION for $arch"
        # No stack protector: it would need libssp beside the static exe.
        autotools_build_install libsodium "$(fetch_patched_source libsodium "$LIBSODIUM_VERSION")" \
            "$sodium_prefix" "$arch" --disable-shared --enable-static --disable-ssp --disable-dependency-tracking
    fi
    # The build reads the prefixes from here.
    printf '%s;%s;%s\n' "$curl_prefix" "$jsoncpp_prefix" "$sodium_prefix" > "$TARSEL_DEPS/prefixes-$arch.txt.new"
    mv "$TARSEL_DEPS/prefixes-$arch.txt.new" "$TARSEL_DEPS/prefixes-$arch.txt"
}

for arch in "${deps_arches[@]}"; do
    build_deps "$arch"
done

# --- Wine prefix --------------------------------------------------------------
"$here/wine-prefix.sh"
# A host that cannot run 32-bit code runs the i686 launcher's tests under
# user-mode emulation; set-up fetches what that needs.
if [[ $TARSEL_TEST_ARCH != i686 ]]; then
    bash "$here/i686-emulator-setup.sh"
fi
log "ready (deps in $TARSEL_DEPS)"
