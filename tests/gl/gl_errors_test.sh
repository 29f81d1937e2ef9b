#!/usr/bin/env bash
# On an OpenGL debug context: torvane-replay (offscreen) drives the golden drives and one with both panels, the
# readout and a screenshot; the game (Xvfb) records a drive, watches it and races its ghost. Fails on any error or
# undefined behaviour the driver reports; 77 (skipped) without OpenGL, debug output or Xvfb.
#   gl_errors_test.sh TORVANE TORVANE_REPLAY GOLDEN_FOLDER DATA_FOLDER
set -uo pipefail
game_binary=$(realpath -e "$1") && replay_binary=$(realpath -e "$2") && golden=$(realpath -e "$3") || exit 1
work=$(mktemp -d "${TMPDIR:-/tmp}/torvane-gl-errors.XXXXXX") || exit 1
xvfb_pid=""
log() { echo "gl_errors_test: $*" >&2; }
fail() { log "FAIL: $*"; exit 1; }
trap 's=$?; [ -n "$xvfb_pid" ] && kill "$xvfb_pid"; [ $s -ne 1 ] && rm -rf "$work"; exit $s' EXIT
export TORVANE_GL_DEBUG=1 HOME=$work XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_CACHE_HOME=$work/cache
# run NAME PROGRAM ARG...: fails on the driver's errors, skips when no debug output came on.
run() {
  local name=$1 status
  shift
  timeout 120 "$@" >"$work/$name.stdout" 2>"$work/$name.stderr"
  status=$?
  if [ $status -eq 4 ] || ! grep -q 'OpenGL debug output on' "$work/$name.stderr"; then
    log "SKIP: $name: no OpenGL, or no debug output"
    exit 77
  fi
  [ $status -eq 0 ] || fail "$name: status $status: $(cat "$work/$name.stderr")"
  ! grep 'OpenGL error' "$work/$name.stderr" || fail "$name: the driver reported the errors above"
  log "$name: no OpenGL error"
}
printf '1 240 Up\n20 20 F9\n40 40 F10\n60 60 Tab\n90 90 F12\n120 120 Right\n150 150 F9\n200 200 Tab\n' >"$work/panels.keys"
for keys in "$golden"/{straight,circle,wall}.keys "$work/panels.keys"; do
  run "$(basename "$keys" .keys)" "$replay_binary" --keys "$keys" --csv "$work/telemetry.csv"
done
# The game on a private Xvfb server: it writes its display number once it accepts clients.
command -v Xvfb >/dev/null || { log "SKIP: Xvfb is not installed"; exit 77; }
Xvfb -displayfd 3 -screen 0 1280x720x24 -nolisten tcp -noreset 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
  grep -q '^[0-9][0-9]*$' "$work/display" 2>/dev/null && break
  sleep 0.1
done
grep -q '^[0-9][0-9]*$' "$work/display" || { log "SKIP: Xvfb could not start"; exit 77; }
export DISPLAY=":$(cat "$work/display")"
unset WAYLAND_DISPLAY
export SDL_VIDEODRIVER=x11
cd "$4" || exit 1
run record "$game_binary" --record "$work/drive.tvr" --frames 180
run watch "$game_binary" --replay "$work/drive.tvr" --frames 180
run ghost "$game_binary" --ghost "$work/drive.tvr" --frames 180
