#!/usr/bin/env bash
# The Debian package: built by scripts/package from the build tree, its contents and
# control data checked, then unpacked (not installed) and started from the unpacked
# tree: once with its own hidapi libraries (no mouse here: exit code 1), then with the
# virtual mouse's driver libraries put in their place, as a command line on its own
# and beside a running instance that carries the commands out.
#
#   tests/scripts/package_test.sh BUILD_DIR
set -euo pipefail
build_dir=$(cd "$1" && pwd)
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
instance_pid=
cleanup() {
  if [ -n "$instance_pid" ]; then kill "$instance_pid" 2>/dev/null || true; wait "$instance_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "package_test: $*" >&2; exit 1; }

deb=$("$source_dir/scripts/package" --build-dir "$build_dir" --out "$work/out" 2>"$work/package.log") \
  || { cat "$work/package.log" >&2; fail "scripts/package failed"; }
[ -f "$deb" ] || fail "no package at '$deb'"

# --- contents
dpkg-deb -c "$deb" | awk '{print $6 ($7 ? " " $7 " " $8 : "")}' > "$work/contents"
for path in ./usr/lib/norvane/norvane ./usr/lib/norvane/Hook.so ./usr/lib/norvane/hiddriver_1.so \
            ./usr/lib/norvane/hiddriver_2.so ./usr/lib/norvane/hiddriver_8k.so ./usr/lib/norvane/res/lan.xml \
            ./usr/lib/norvane/res/style.qss ./usr/lib/norvane/res/MS/MS_1/ms_1_page.xml \
            ./usr/lib/udev/rules.d/70-norvane-mouse.rules ./usr/share/applications/norvane.desktop \
            ./usr/share/icons/hicolor/scalable/apps/norvane.svg "./usr/bin/norvane -> ../lib/norvane/norvane"; do
  grep -qxF "$path" "$work/contents" || fail "missing from the package: $path"
done
# Nothing of the test builds: no virtual mouse, no test programs, no build folders.
if grep -E 'virtual|_test|/tests/|CMakeFiles|Data/' "$work/contents"; then fail "test or build files in the package"; fi
dpkg-deb -c "$deb" | awk '$1 ~ /^-/ && $2 != "root/root" {exit 1}' || fail "files not owned by root"

depends=$(dpkg-deb -f "$deb" Depends)
for package in libqt6widgets6 libqt6core6 libhidapi-hidraw0 libudev1 libqt6svg6 udev; do
  [[ ", $depends," == *", $package"[\ ,]* ]] || fail "Depends lacks $package: $depends"
done
[ "$(dpkg-deb -f "$deb" Package)" = norvane ] || fail "wrong package name"
dpkg-deb -e "$deb" "$work/control"
grep -q 'udevadm control --reload-rules' "$work/control/postinst" || fail "postinst does not reload the udev rules"
sh -n "$work/control/postinst" && sh -n "$work/control/postrm"

# --- the unpacked tree, started offscreen
root=$work/root
dpkg-deb -x "$deb" "$root"
export TMPDIR=$work/run XDG_RUNTIME_DIR=$work/run HOME=$work/home XDG_DATA_HOME=$work/home/data
mkdir -p "$TMPDIR" "$HOME" && chmod 700 "$TMPDIR"
export QT_QPA_PLATFORM=offscreen NORVANE_VIRTUAL_MOUSE_BATTERY_PERIOD_MS=100
norvane=$root/usr/bin/norvane

expect() {  # expect CODE COMMAND...: runs the command, checks its exit code
  local code=$1; shift
  set +e; "$norvane" "$@" >"$work/out.txt" 2>"$work/err.txt"; local got=$?; set -e
  [ "$got" = "$code" ] || { cat "$work/out.txt" "$work/err.txt" >&2; fail "norvane $* exited $got, not $code"; }
}

expect 0 --version
grep -qx "norvane $(dpkg-deb -f "$deb" Version)" "$work/out.txt" || fail "--version: $(cat "$work/out.txt")"
expect 2 frobnicate
grep -q 'Usage: norvane' "$work/err.txt" || fail "no usage after a bad command"
expect 2 dpi set 2
expect 1 dpi 2   # the packaged hidapi libraries find no mouse on this machine
grep -qx 'norvane: the mouse is not connected' "$work/err.txt" || fail "unreachable: $(cat "$work/err.txt")"

cp "$build_dir"/bin/hiddriver_1.so "$build_dir"/bin/hiddriver_2.so "$build_dir"/bin/hiddriver_8k.so \
   "$build_dir"/bin/libvirtual_mouse.so "$root/usr/lib/norvane/"

expect 0 status --json
[ ! -s "$work/err.txt" ] || fail "status wrote more than its answer: $(cat "$work/err.txt")"
python3 - "$work/out.txt" <<'PY'
import json, sys
status = json.load(open(sys.argv[1]))
assert status["links"] == ["cable"], status
assert status["asleep"] is False, status
assert status["profile"]["index"] == 1, status
PY
expect 0 dpi set 2 1600
expect 0 profile export 1 "$work/first.pro"
python3 -c "import struct,sys; d=open(sys.argv[1],'rb').read(); assert len(d)==101544; assert struct.unpack_from('<i',d,2248)[0]==32" "$work/first.pro" \
  || fail "the exported profile does not hold the DPI value set"
expect 0 profile import "$work/first.pro"
expect 2 profile select "no such profile"
expect 0 profile list --json
python3 -c "import json,sys; rows=json.load(open(sys.argv[1])); assert [r['current'] for r in rows]==[False,True], rows" "$work/out.txt"

# --- beside a running instance: the commands go over its socket and it carries them out
"$norvane" >"$work/instance.log" 2>&1 &
instance_pid=$!
for _ in $(seq 1 200); do
  ls "$TMPDIR"/Norvane-* "$XDG_RUNTIME_DIR"/Norvane-* 2>/dev/null | grep -qv '\.lock$' && break
  kill -0 "$instance_pid" 2>/dev/null || fail "the program ended at start: $(cat "$work/instance.log")"
  sleep 0.05
done
expect 0 profile select 1
expect 0 status --json
python3 - "$work/out.txt" <<'PY'
import json, sys
status = json.load(open(sys.argv[1]))
assert status["profile"]["index"] == 1, status
# Only the instance, which sent the profile, has nothing pending; a fresh start has everything.
assert status["pending"] == [], status
PY
kill -0 "$instance_pid" || fail "the running instance ended"
echo "package_test: $(basename "$deb") ok"
