#!/usr/bin/env bash
# Set-up's part for a host whose kernel runs 64-bit code only: what running
# the shipped i686 build under user-mode emulation needs (i686-emulated.sh).
#  - the 32-bit Wine (wine32:i386), whose DLLs also let the delay-import
#    check compare names with the i386 DLLs;
#  - qemu's i386 user-mode emulator from bookworm-backports, unpacked into
#    the cache, not installed (its package would register system-wide
#    binfmt handlers). Debian 12's own qemu 7.2 is of no use here: it keeps
#    the guest's address space page by page, and the 32-bit Wine reserves
#    nearly all of its 4 GiB at start, which took minutes per attempt
#    (`wine cmd /c echo` had printed nothing after 7 minutes); qemu 10
#    starts it in seconds.
# Whatever fails is said, a marker names it, and the test run then says the
# i686 tests did not run and why.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/env.sh"
source "$here/apt-packages.sh"

log() { printf '[setup] %s\n' "$*"; }
qemu_dir="$TARSEL_CACHE/qemu"
marker="$qemu_dir/unavailable"
mkdir -p "$qemu_dir"
rm -f "$marker"

unavailable() {
    log "i686 emulation unavailable: $*"
    printf '%s\n' "$*" > "$marker"
    exit 0
}

if ! tarsel_package_installed wine32:i386; then
    log "installing the 32-bit Wine for the emulated i686 tests"
    tarsel_apt_install_retried wine32:i386 || unavailable "wine32:i386 could not be installed"
fi

if [[ ! -x $qemu_dir/qemu-i386 ]]; then
    log "fetching qemu's i386 user-mode emulator from bookworm-backports"
    apt_dir="$qemu_dir/apt"
    rm -rf "$apt_dir" && mkdir -p "$apt_dir/sources" "$apt_dir/lists/partial" "$apt_dir/archives/partial"
    cat > "$apt_dir/sources/backports.sources" <<'SOURCES'
Types: deb
URIs: http://deb.debian.org/debian
Suites: bookworm-backports
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
    apt_options=(-o Dir::Etc::sourcelist=/dev/null -o "Dir::Etc::sourceparts=$apt_dir/sources"
                 -o "Dir::State::Lists=$apt_dir/lists" -o APT::Get::List-Cleanup=0)
    fetched=0
    for attempt in 1 2 3; do
        if apt-get "${apt_options[@]}" update >"$apt_dir/update.log" 2>&1 &&
           (cd "$apt_dir/archives" && apt-get "${apt_options[@]}" download qemu-user/bookworm-backports \
               >"$apt_dir/download.log" 2>&1); then
            fetched=1
            break
        fi
        log "fetching the emulator failed (attempt $attempt); retrying"
        sleep $((attempt * 5))
    done
    ((fetched)) || unavailable "qemu-user could not be fetched from bookworm-backports (see $apt_dir/*.log)"
    unpacked="$apt_dir/unpacked"
    dpkg -x "$apt_dir"/archives/qemu-user_*.deb "$unpacked"
    [[ -x $unpacked/usr/bin/qemu-i386 ]] || unavailable "the qemu-user package has no qemu-i386"
    cp "$unpacked/usr/bin/qemu-i386" "$qemu_dir/qemu-i386.new"
    basename "$apt_dir"/archives/qemu-user_*.deb > "$qemu_dir/version"
    mv "$qemu_dir/qemu-i386.new" "$qemu_dir/qemu-i386"
    rm -rf "$apt_dir"
fi

# The 32-bit prefix is made under emulation, as the tests will use it.
TARSEL_QEMU_I386="$qemu_dir/qemu-i386" "$here/i686-emulated.sh" true || {
    status=$?
    ((status == 77)) && unavailable "$(TARSEL_QEMU_I386="$qemu_dir/qemu-i386" "$here/i686-emulated.sh" true 2>&1 | tail -1)"
    unavailable "the 32-bit Wine prefix could not be made under emulation (status $status)"
}
log "i686 emulation ready: $(cat "$qemu_dir/version")"
