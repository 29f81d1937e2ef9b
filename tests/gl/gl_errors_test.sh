#!/usr/bin/env bash
# No OpenGL errors: on a debug context (TORVANE_GL_DEBUG=1), torvane-replay on
# SDL's offscreen driver drives the three golden drives and a drive that opens
# and closes both panels (F9, Tab) and takes a screenshot; the game on a private Xvfb server records a
# drive, watches it (--replay) and races its ghost (--ghost). Any message of
# type error or undefined behaviour from the driver fails the test.
#
#   gl_errors_test.sh TORVANE TORVANE_REPLAY GOLDEN_FOLDER DATA_FOLDER
#
# Exit status: 0 passed, 1 failed, 77 skipped (no OpenGL, or no debug output).
set -uo pipefail

[ $# -eq 4 ] || { echo "usage: $0 TORVANE TORVANE_REPLAY GOLDEN_FOLDER DATA_FOLDER" >&2; exit 2; }
game_binary=$(realpath -e "$1") && replay_binary=$(realpath -e "$2") && golden=$(realpath -e "$3") &&
  data_folder=$(realpath -e "$4") || exit 1
work=$(mktemp -d "${TMPDIR:-/tmp}/torvane-gl-errors.XXXXXX") || exit 1
xvfb_pid=""
log() { echo "gl_errors_test: $*" >&2; }
fail() { log "FAIL: $*"; exit 1; }
cleanup() {
  local status=$?
  [ -n "$xvfb_pid" ] && kill -TERM "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  if [ "$status" -eq 0 ] || [ "$status" -eq 77 ]; then rm -rf "$work"; else log "the output is kept in $work"; fi
  exit "$status"
}
trap cleanup EXIT
export TORVANE_GL_DEBUG=1 HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data \
  XDG_CACHE_HOME=$work/cache

# checked NAME: fails on the driver's errors in $work/NAME.stderr, skips when the debug output never came on.
checked() {
  grep -q 'OpenGL debug output on' "$work/$1.stderr" || { log "SKIP: $1: no OpenGL debug output"; exit 77; }
  ! grep 'OpenGL error' "$work/$1.stderr" || fail "$1: the driver reported the errors above"
  log "  $1: no OpenGL error"
}

log "torvane-replay on SDL's offscreen driver"
# Both panels open and closed, the frame-rate readout, a screenshot.
printf '1 240 Up\n20 20 F9\n40 40 F10\n60 60 Tab\n90 90 F12\n120 120 Right\n150 150 F9\n200 200 Tab\n' \
  >"$work/panels.keys"
for drive in "$golden"/straight.keys "$golden"/circle.keys "$golden"/wall.keys "$work/panels.keys"; do
  name=$(basename "$drive" .keys)
  "$replay_binary" --keys "$drive" --csv "$work/$name.csv" 2>"$work/$name.stderr"
  status=$?
  [ "$status" -eq 4 ] && { log "SKIP: no OpenGL on SDL's offscreen driver"; exit 77; }
  [ "$status" -eq 0 ] || fail "$name: status $status: $(cat "$work/$name.stderr")"
  checked "$name"
done

log "the game on Xvfb: a recorded drive, watched, then raced as a ghost"
source "$(dirname "${BASH_SOURCE[0]}")/../support/private_xvfb.sh"
start_private_xvfb "$work"
unset WAYLAND_DISPLAY
export SDL_VIDEODRIVER=x11
cd "$data_folder" || exit 1
for run in "record --record $work/drive.tvr" "watch --replay $work/drive.tvr" "ghost --ghost $work/drive.tvr"; do
  set -- $run
  name=$1
  shift
  timeout 60 "$game_binary" "$@" --frames 180 >"$work/$name.stdout" 2>"$work/$name.stderr" ||
    fail "$name: status $?: $(cat "$work/$name.stderr")"
  checked "$name"
done
log "passed"
