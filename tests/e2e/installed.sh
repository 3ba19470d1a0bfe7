#!/usr/bin/env bash
# End to end on a real X server: builds the Debian package from this build tree, unpacks it
# into a throw-away root, starts the installed program under Xvfb on a workspace of two
# simulated controllers, and checks from outside what a site would see.
#   installed.sh BUILD_DIR ARTEFACT_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
artefacts=$2
mkdir -p "$artefacts"
work=$(mktemp -d /tmp/tarvex-e2e.XXXXXX)
chmod 755 "$work"
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    for log in "$work"/*.log; do [ -s "$log" ] && { echo "--- $log"; tail -20 "$log"; } >&2; done
    exit 1
}
step() { echo "== $*"; }

# The site's user. Run by root (CI), everything of the site runs as nobody, a user without the
# dialout group for whom the installed program folder is read-only, as on a real install.
as_user=()
if [ "$(id -u)" -eq 0 ] && command -v setpriv >/dev/null; then
    as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups --)
fi

step "package"
(cd "$work" && cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/pkg" >"$work/cpack.log" 2>&1) ||
    fail "cpack did not build the package"
deb=$(ls "$work"/pkg/tarvex_*.deb)
info=$(dpkg-deb -f "$deb" Depends Recommends)
for need in libqt6widgets6 libodbc2 qt6-qpa-plugins libsqliteodbc; do
    grep -q "$need" <<<"$info" || fail "the package does not name $need: $info"
done
# The German pages name the wizard's buttons as the toolkit's translation labels them.
dpkg-deb -f "$deb" Depends | grep -q qt6-translations-l10n ||
    fail "the package does not depend on qt6-translations-l10n: $info"
grep -q "$build" <(dpkg-deb -c "$deb") && fail "the package holds a path of the build tree"
root=$work/root
dpkg-deb -x "$deb" "$root"
bin=$root/usr/bin
[ -x "$bin/tarvex" ] && [ -e "$root/usr/lib/tarvex/plugins/libvr12comm.so" ] &&
    [ -e "$root/usr/lib/tarvex/tarvex-lang-de.so" ] || fail "installed layout"
if grep -rqa "$build" "$root/usr/lib/tarvex"; then fail "an installed file names the build tree"; fi

# A prefix with a blank: the links in bin still find the program folder.
step "install prefix with a blank"
cmake --install "$build" --prefix "$work/pre fix" >"$work/install.log" 2>&1 || fail "cmake --install"
"$work/pre fix/bin/tarvexctl" --version >/dev/null || fail "tarvexctl from a prefix with a blank"

# The site: its own user world, device folder and registrations.
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share
export XDG_RUNTIME_DIR=$work/run VR12COMM_DEVICES=$work/devices
export ODBCSYSINI=$work/odbc ODBCINI=$work/odbc/odbc.ini
mkdir -p "$XDG_CONFIG_HOME/Brindlo" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR" "$VR12COMM_DEVICES" "$ODBCSYSINI"
chmod 700 "$XDG_RUNTIME_DIR"
: >"$ODBCSYSINI/odbcinst.ini"
: >"$ODBCINI"
printf '[Settings]\nLangWarning=0\n' >"$XDG_CONFIG_HOME/Brindlo/Tarvex.conf"

[ ${#as_user[@]} -gt 0 ] && chown -R 65534:65534 "$work/home" "$work/run" "$VR12COMM_DEVICES" "$ODBCSYSINI"
ws=$HOME/site.VR-12
"${as_user[@]}" "$bin/tarvexctl" add-controller "$ws" --port 1 --name "Front door" --id 1 --code 11 >/dev/null
"${as_user[@]}" "$bin/tarvexctl" add-controller "$ws" --port 2 --name "Back door" --id 2 --code 12 >/dev/null
sum=$(sha256sum <"$ws")

# A missing plugin folder: the collector names where it looked and ends with status 1.
step "missing plugin folder"
mv "$root/usr/lib/tarvex/plugins" "$root/usr/lib/tarvex/plugins.away"
set +e
QT_QPA_PLATFORM=offscreen "${as_user[@]}" "$bin/tarvexctl" collect "$ws" --seconds 1 >/dev/null 2>"$work/missing.log"
status=$?
set -e
mv "$root/usr/lib/tarvex/plugins.away" "$root/usr/lib/tarvex/plugins"
[ $status -eq 1 ] || fail "collect without its plugin ended with $status"
grep -q "$root/usr/lib/tarvex/plugins" "$work/missing.log" || fail "the message does not name the folder"

step "simulated controllers"
"${as_user[@]}" "$bin/vr12sim" COM1 --register-every 1 --ids 01000000000000A1,01000000000000A2 >"$work/sim1.log" 2>&1 &
pids+=($!)
"${as_user[@]}" "$bin/vr12sim" COM2 --register-every 1 --ids 01000000000000B1 >"$work/sim2.log" 2>&1 &
pids+=($!)
for port in COM1 COM2; do
    for _ in $(seq 50); do [ -e "$VR12COMM_DEVICES/$port" ] && break; sleep 0.1; done
    [ -e "$VR12COMM_DEVICES/$port" ] || fail "simulator $port did not start"
done

step "X server"
exec 5>"$work/display"
Xvfb -displayfd 5 -screen 0 1280x800x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start"
export DISPLAY=:$(head -1 "$work/display")
unset QT_QPA_PLATFORM

step "the installed program on $DISPLAY"
"${as_user[@]}" "$bin/tarvex" "$ws" >"$work/tarvex.log" 2>&1 &
app=$!
pids+=($app)
# The program folder is not the user's to write (in a package it belongs to root), so the
# registrations go to the user's data folder.
regs=$XDG_DATA_HOME/Tarvex/TarvexRegs-$(date +%Y-%m).txt
"${as_user[@]}" test -w "$root/usr/lib/tarvex" && regs=$root/usr/lib/tarvex/TarvexRegs-$(date +%Y-%m).txt
for _ in $(seq 300); do
    if [ -f "$regs" ] && [ "$(grep -c $',COM1\r$' "$regs")" -ge 2 ] &&
        [ "$(grep -c $',COM2\r$' "$regs")" -ge 2 ]; then break; fi
    kill -0 $app 2>/dev/null || fail "the program ended"
    sleep 0.1
done
[ -f "$regs" ] || fail "no registrations file $regs"
[ "$(grep -c $',COM2\r$' "$regs")" -ge 2 ] || fail "too few registrations in $regs: $(cat "$regs")"
grep -Eq '^[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2},[^,]*01000000000000A1[^,]*,[^,]*,01000000000000A1,COM1' "$regs" ||
    fail "no line for the first key: $(head -3 "$regs")"

step "screenshot"
sleep 1
import -display "$DISPLAY" -window root "$artefacts/installed-main-window.png" 2>>"$work/xvfb.log" ||
    fail "no screenshot"

step "a second start hands over and ends"
start=$(date +%s%N)
timeout 20 "${as_user[@]}" "$bin/tarvex" "$ws" >"$work/second.log" 2>&1 || fail "the second start did not end cleanly"
echo "   handed over in $((($(date +%s%N) - start) / 1000000)) ms"
kill -0 $app 2>/dev/null || fail "the first copy ended"

step "clean exit"
kill -TERM $app
for _ in $(seq 100); do kill -0 $app 2>/dev/null || break; sleep 0.1; done
kill -0 $app 2>/dev/null && fail "the program did not end on SIGTERM"
wait $app || fail "the program ended with status $?"
for port in COM1 COM2; do
    "${as_user[@]}" "$bin/vr12" $port GetStatus >/dev/null 2>"$work/port.log" || fail "$port still held: $(cat "$work/port.log")"
done
[ "$(sha256sum <"$ws")" = "$sum" ] || fail "the workspace file changed"

if [ ${#as_user[@]} -gt 0 ]; then
    # A port the user may not open (a root's terminal, as a serial device of the dialout
    # group would be): the message says what to do.
    step "a port without access"
    "$bin/vr12sim" COM3 >"$work/sim3.log" 2>&1 &
    pids+=($!)
    for _ in $(seq 50); do [ -e "$VR12COMM_DEVICES/COM3" ] && break; sleep 0.1; done
    set +e
    "${as_user[@]}" "$bin/vr12" COM3 GetStatus >/dev/null 2>"$work/denied.log"
    status=$?
    set -e
    [ $status -eq 2 ] || fail "vr12 on a port without access ended with $status"
    grep -q "dialout" "$work/denied.log" || fail "the message does not say what to do: $(cat "$work/denied.log")"
fi
echo "PASS"
