# The package step of setup.sh: apt-get update and install, made to survive
# a mirror that is briefly inconsistent. Sourced, never run.
#
# Seen on fresh machines: `apt-get update` fails for one index with "File has
# unexpected size ... Mirror sync in progress?" and exits 100, keeping the
# other lists. Retrying a little later usually clears it. When it does not,
# the lists that did arrive are enough for the amd64 packages, but with the
# i386 security list missing (and the amd64 one newer) the multi-arch
# wine32:i386 cannot be resolved at all; the x86_64 test path needs no i386
# package, so setup falls back to it.
#
# TARSEL_SETUP_SIMULATE replays those faults without touching the machine
# (apt, dpkg and the sleeps are simulated; setup stops after this step and
# says which build the tests would run):
#   index-sync-error   the first update fails for one index, the next succeeds
#   index-stale        every update fails for one index; older lists exist
#   no-index           every update fails and there are no lists at all
#   i386-unresolvable  updates succeed but wine32:i386 cannot be installed

: "${TARSEL_APT_ATTEMPTS:=3}"
: "${TARSEL_APT_RETRY_SECONDS:=15}"
tarsel_simulated_updates=0

tarsel_apt_update_once() {
    case "${TARSEL_SETUP_SIMULATE:-}" in
        '') apt-get update -qq ;;
        index-sync-error)
            tarsel_simulated_updates=$((tarsel_simulated_updates + 1))
            ((tarsel_simulated_updates > 1)) && return 0
            echo "E: Failed to fetch .../binary-i386/Packages.xz  File has unexpected size. Mirror sync in progress?" >&2
            return 100 ;;
        index-stale | no-index)
            echo "E: Failed to fetch .../binary-i386/Packages.xz  File has unexpected size. Mirror sync in progress?" >&2
            return 100 ;;
        *) return 0 ;;
    esac
}

tarsel_apt_lists_exist() {
    case "${TARSEL_SETUP_SIMULATE:-}" in
        '') compgen -G '/var/lib/apt/lists/*_Packages*' >/dev/null ;;
        no-index) return 1 ;;
        *) return 0 ;;
    esac
}

tarsel_apt_sleep() {
    [[ -n ${TARSEL_SETUP_SIMULATE:-} ]] || sleep "$1"
}

# apt-get update, retried; goes on with a warning when lists exist.
tarsel_apt_update() {
    local attempt
    for ((attempt = 1; attempt <= TARSEL_APT_ATTEMPTS; attempt++)); do
        if tarsel_apt_update_once; then
            return 0
        fi
        if ((attempt < TARSEL_APT_ATTEMPTS)); then
            log "apt-get update failed (attempt $attempt of $TARSEL_APT_ATTEMPTS); retrying in $((TARSEL_APT_RETRY_SECONDS * attempt)) s"
            tarsel_apt_sleep $((TARSEL_APT_RETRY_SECONDS * attempt))
        fi
    done
    if tarsel_apt_lists_exist; then
        log "warning: apt-get update kept failing; going on with the package lists already on this machine"
        return 0
    fi
    log "apt-get update failed $TARSEL_APT_ATTEMPTS times and this machine has no package lists: cannot install anything"
    return 1
}

tarsel_apt_install() { # package...
    case "${TARSEL_SETUP_SIMULATE:-}" in
        '') DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$@" >/dev/null ;;
        i386-unresolvable | index-stale)
            local p
            for p in "$@"; do
                if [[ $p == *:i386 ]]; then
                    echo "E: Error, pkgProblemResolver::Resolve generated breaks, this may be caused by held packages." >&2
                    return 100
                fi
            done ;;
        *) return 0 ;;
    esac
}

# Installs packages, retrying once after a fresh update (a mirror caught
# mid-sync answers the second time more often than not).
tarsel_apt_install_retried() { # package...
    tarsel_apt_install "$@" && return 0
    log "installing failed; updating the package lists and trying once more"
    tarsel_apt_sleep "$TARSEL_APT_RETRY_SECONDS"
    tarsel_apt_update || return 1
    tarsel_apt_install "$@"
}

tarsel_package_installed() { # package
    [[ -z ${TARSEL_SETUP_SIMULATE:-} ]] || return 1
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}

# The marker that makes env.sh choose the x86_64 test path on a host that
# could run 32-bit code but could not install the 32-bit Wine.
tarsel_i386_unavailable_marker() {
    echo "$TARSEL_CACHE/i386-packages-unavailable"
}
