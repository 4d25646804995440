#!/usr/bin/env bash
# The main job: build the launcher, lay out a demo install folder, start the
# bundled local update server (nginx with a generated /pc/Update.cfg and an
# installer package), and run the launcher under Wine, saying what happened
# at each step: the first launch starts the client and records the update,
# the next ones ask in the update box, which is photographed while it waits
# (build/demo/update_box-N.png) and then answered like a user would.
# The launcher is the build with a minisign public key compiled in (the
# test signing key, made by minisign itself); the document is signed with
# its secret half, and a last check against a document altered after
# signing shows it refused.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

say() { printf '\n[demo] %s\n' "$*"; }

# Set-up first: it may choose the x86_64 test path (see apt-packages.sh).
bash "$root/scripts/setup.sh"
source "$root/scripts/env.sh"
build="$TARSEL_BUILD_DIR"
cmake --preset "$TARSEL_PRESET" -B "$build" >/dev/null
cmake --build "$build" -j"$(nproc)" --target TarselMainLauncherSigned stub_client stub_installer box_clicker

demo="$build/demo"
install="$demo/install"
server="$demo/server"
version=1.1.516.220
newversion=1.1.600.10

display="${TARSEL_DISPLAY:-:91}"
clicker="$build/tests/launcher/box_clicker.exe"

# Stop the shared X server and wineserver afterwards only when this run
# started them: other runs on this machine may be using them.
services_were_running=0
pgrep -u "$(id -u)" -f 'wineserver.* -p' >/dev/null && services_were_running=1
"$root/scripts/wine-services.sh" start
cleanup() {
    bash "$root/tools/servers/http_servers.sh" stop "$server" || true
    ((services_were_running)) || "$root/scripts/wine-services.sh" stop
}
trap cleanup EXIT

say "laying out the demo install folder $install"
rm -rf "$demo"
mkdir -p "$install/Common" "$install/$version/bin/32bit"
# TarselMainLauncherSigned is TarselMainLauncher with the signing key built in.
cp "$build/tests/e2e/TarselMainLauncherSigned.exe" "$install/TarselMainLauncher.exe"
# The clicker answers only the box of the launcher started from this file.
launcher_exe="Z:$(echo "$install/TarselMainLauncher.exe" | tr / '\\')"
signing_key="$build/test-signing-key/update.key"
echo "  built with the minisign public key $(sed -n 2p "$build/test-signing-key/update.pub")"
cp "$build/tools/stub_client.exe" "$install/$version/bin/32bit/Tarsel32.exe"

say "starting the local update server"
bash "$root/tools/servers/http_servers.sh" start "$server"
port=$(sed -n 's/^nginx=//p' "$server/ports.txt")
docroot="$server/docroot"
mkdir -p "$docroot/pc" "$docroot/packages"
cp "$build/tools/stub_installer.exe" "$docroot/packages/TarselSetup-$newversion.exe"
md5=$(md5sum "$docroot/packages/TarselSetup-$newversion.exe" | cut -c1-32 | tr a-f A-F)
sha256=$(sha256sum "$docroot/packages/TarselSetup-$newversion.exe" | cut -c1-64)
cat > "$docroot/pc/Update.cfg" <<CFG
{
    // One rule: every 1.1.x.x client gets the new package when asked.
    "Configs": [
        { "TargetMD5": "$md5", "Type": "Prompt", "VersionUpdate": "1.1.*.*" }
    ],
    "Targets": {
        "$md5": {
            "ExeUrl": "http://127.0.0.1:$port/packages/TarselSetup-$newversion.exe",
            "Version": "$newversion",
            "ImageUrls": ["http://127.0.0.1:$port/img/whatsnew.png"],
            "Descriptions": ["全新的直播间", "更流畅的连麦"],
            "SHA256": "$sha256"
        }
    }
}
CFG
echo "  http://127.0.0.1:$port/pc/Update.cfg offers $newversion (md5 $md5, sha256 $sha256)"
minisign -S -s "$signing_key" -m "$docroot/pc/Update.cfg" < /dev/null > /dev/null
echo "  signed with minisign: Update.cfg.minisig, $(sed -n 3p "$docroot/pc/Update.cfg.minisig")"

# The launcher reads the update server from its data file, which it keeps in
# UTF-16 with a byte-order mark.
data="$install/TarselMainLauncher.dat"
write_data() {
    { printf '\xff\xfe'; printf '[base]\r\nserver=http://127.0.0.1:%s\r\nver=%s\r\n' "$port" "$version" | iconv -f UTF-8 -t UTF-16LE; } > "$data"
}
write_data
show_data() { iconv -f UTF-16 -t UTF-8 "$data" | tr -d '\r' | sed 's/^/    /'; }

wine_path() { tarsel_wine winepath -w "$1" 2>/dev/null; }
export TARSEL_STUB_LOG
TARSEL_STUB_LOG="$(wine_path "$demo/started.log")"

run_launcher() {
    local log="$demo/debug-$1.log"
    set +e
    (cd "$install" && WINEDEBUG=-all,warn+debugstr,warn+seh "$root/scripts/wine-run.sh" TarselMainLauncher.exe 2> "$log")
    local code=$?
    set -e
    echo "  exit code: $code"
    echo "  debug output:"
    python3 "$root/tools/debug_output/decode_wine_debugstr.py" < "$log" | sed 's/^/    /' || true
}

started_count() { [[ -s $demo/started.log ]] && wc -l < "$demo/started.log" || echo 0; }

show_started() {  # [lines already shown]
    local seen=${1:-0}
    # The stubs start asynchronously: give them a moment.
    for _ in $(seq 50); do (( $(started_count) > seen )) && break; sleep 0.1; done
    echo "  programs started:"
    if (( $(started_count) > seen )); then tail -n +"$((seen + 1))" "$demo/started.log" | sed 's/^/    /'; else echo "    (none)"; fi
}

# Starts the launcher, waits for its update box, photographs it while it
# waits, then answers with the left or right button like a user would.
run_launcher_with_box() {  # run number, left|right, what the answer means
    local log="$demo/debug-$1.log" seen shot box geometry
    seen=$(started_count)
    (cd "$install" && WINEDEBUG=-all,warn+debugstr,warn+seh "$root/scripts/wine-run.sh" TarselMainLauncher.exe 2> "$log") &
    local launcher=$!
    box=$("$root/scripts/wine-run.sh" "$clicker" wait "$launcher_exe" | tr -d '\r')
    echo "  $box"
    if [[ $box =~ at\ (-?[0-9]+),(-?[0-9]+),\ ([0-9]+)\ x\ ([0-9]+) ]]; then
        # A margin around the box shows its shadow too.
        geometry="$((BASH_REMATCH[3] + 24))x$((BASH_REMATCH[4] + 24))+$((BASH_REMATCH[1] - 12))+$((BASH_REMATCH[2] - 12))"
        shot="$demo/update_box-$1.png"
        import -window root -display "$display" -crop "$geometry" +repage "$shot"
        echo "  screenshot of the waiting box: $shot"
    fi
    echo "  answering: $3"
    "$root/scripts/wine-run.sh" "$clicker" "$2" "$launcher_exe" > /dev/null
    set +e
    wait "$launcher"
    local code=$?
    set -e
    echo "  exit code: $code"
    echo "  debug output:"
    python3 "$root/tools/debug_output/decode_wine_debugstr.py" < "$log" | sed 's/^/    /' || true
    show_started "$seen"
}

say "first launch: no installer is waiting, so the client starts and the update check runs"
run_launcher 1
show_started
echo "  data file after the first launch:"
show_data

if show_data | grep -q 'action=toupdate'; then
    say "the verified installer is recorded; the next launch will ask the user whether to run it"
else
    say "no update was recorded"
    exit 1
fi

say "second launch: the installer is waiting, so the launcher asks in its update box"
run_launcher_with_box 2 left "下次再说 (next time): the client starts instead"

say "third launch: it asks again, since the record stays until a newer update replaces it"
run_launcher_with_box 3 right "立即更新 (update now): the recorded installer starts"

say "fourth launch: someone on the way alters the signed document to hand out a program of his own"
write_data
sed -i "s#/packages/TarselSetup-$newversion.exe#/packages/not-our-setup.exe#" "$docroot/pc/Update.cfg"
echo "  the document's ExeUrl now names not-our-setup.exe; its signature is unchanged"
run_launcher 4
show_started 3
echo "  data file after the fourth launch (no installer recorded):"
show_data
if show_data | grep -q 'action=toupdate'; then
    say "the altered document was used: that is a fault"
    exit 1
fi

say "done; the pictures of the waiting box are $demo/update_box-2.png and $demo/update_box-3.png"
