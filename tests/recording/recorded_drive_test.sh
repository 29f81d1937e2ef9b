#!/usr/bin/env bash
# A drive played in the real game, in its window on a private Xvfb server with
# keys typed by xdotool, is recorded and replayed by torvane-replay --replay
# with every state hash identical; the recording cut at a random byte replays
# up to its last complete frame and says where it stops; a game killed while
# driving leaves a readable .part in the recordings folder, which the next
# start renames into place; the drive's sound renders alike twice, and a game
# without an audio device runs silent and says so once.
#
#   recorded_drive_test.sh TORVANE TORVANE_REPLAY DATA_FOLDER
#
# Exit status: 0 passed, 1 failed, 77 skipped (no X server could be started).
set -uo pipefail

if [ $# -ne 3 ]; then
  echo "usage: $0 TORVANE TORVANE_REPLAY DATA_FOLDER" >&2
  exit 2
fi
game_binary=$(realpath -e "$1") || exit 1
replay_binary=$(realpath -e "$2") || exit 1
data_folder=$(realpath -e "$3") || exit 1
work=$(mktemp -d "${TMPDIR:-/tmp}/torvane-recorded.XXXXXX") || exit 1
recordings=$work/data/torvane/recordings
xvfb_pid=""
game_pid=""

log() { echo "recorded_drive_test: $*" >&2; }
fail() {
  log "FAIL: $*"
  exit 1
}
cleanup() {
  local status=$?
  [ -n "$game_pid" ] && kill -KILL "$game_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill -TERM "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  if [ "$status" -eq 0 ] || [ "$status" -eq 77 ]; then
    rm -rf "$work"
  else
    log "the recordings and the programs' output are kept in $work"
  fi
  exit "$status"
}
trap cleanup EXIT
x() { timeout 10 "$@"; }

command -v xdotool >/dev/null || fail "xdotool is missing (scripts/setup installs it)"
if ! command -v Xvfb >/dev/null; then
  log "SKIP: Xvfb is not installed"
  exit 77
fi
Xvfb -displayfd 3 -screen 0 1280x720x24 -nolisten tcp -noreset 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
  grep -q '^[0-9][0-9]*$' "$work/display" 2>/dev/null && break
  sleep 0.1
done
grep -q '^[0-9][0-9]*$' "$work/display" || { log "SKIP: Xvfb could not start"; exit 77; }
export DISPLAY=":$(cat "$work/display")"

# game NAME [OPTION...]: the game in the data folder, its user folders in $work,
# in place of the subshell it is called in.
game() {
  local name=$1
  shift
  cd "$data_folder" || exit 1
  unset WAYLAND_DISPLAY
  export SDL_VIDEODRIVER=x11 HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
  exec "$game_binary" "$@" >"$work/$name.stdout" 2>"$work/$name.stderr"
}
# start_game NAME [OPTION...]: the game in the background, its window focused.
start_game() {
  local name=$1
  (game "$@") &
  game_pid=$!
  local id=""
  for _ in $(seq 200); do
    id=$(x xdotool search --onlyvisible --name '^Torvane$' 2>/dev/null | head -n 1)
    [ -n "$id" ] && break
    kill -0 "$game_pid" 2>/dev/null || fail "$name: the game ended before its window appeared"
    sleep 0.1
  done
  [ -n "$id" ] || fail "$name: no window"
  x xdotool windowfocus --sync "$id"
}
# hold KEY SECONDS
hold() {
  x xdotool keydown "$1"
  sleep "$2"
  x xdotool keyup "$1"
}
# A short drive: accelerate, steer, brake, pause and go on, reset, drive again.
drive() {
  hold Up 1.0
  x xdotool keydown Up
  hold Left 0.5
  hold Control_R 0.2
  x xdotool keyup Up
  hold p 0.2
  sleep 0.3
  hold p 0.2
  hold BackSpace 0.2
  hold Up 0.5
}
# replay FILE NAME: runs torvane-replay on FILE; its status in $replay_status.
replay() {
  "$replay_binary" --replay "$1" --no-render >"$work/$2.stdout" 2>"$work/$2.stderr"
  replay_status=$?
}

log "a drive recorded with --record replays identically"
start_game keys --record "$work/drive.tvr"
drive
hold Escape 0.2
wait "$game_pid" || fail "the game ended with status $?"
game_pid=""
[ -s "$work/drive.tvr" ] && [ ! -e "$work/drive.tvr.part" ] || fail "no finished recording at $work/drive.tvr"
replay "$work/drive.tvr" whole
[ "$replay_status" -eq 0 ] || fail "torvane-replay --replay ended with status $replay_status: $(cat "$work/whole.stderr")"
frames=$(sed -n 's/^\([0-9][0-9]*\) frames, identical$/\1/p' "$work/whole.stdout")
[ -n "$frames" ] && [ "$frames" -gt 0 ] || fail "expected \"N frames, identical\", got: $(cat "$work/whole.stdout")"
log "  $frames frames, identical"

log "the recording's sound renders to the same samples twice"
for take in 1 2; do
  "$replay_binary" --replay "$work/drive.tvr" --no-render --wav "$work/sound$take.wav" >/dev/null 2>&1 ||
    fail "torvane-replay --wav ended with status $?"
done
[ "$(stat -c %s "$work/sound1.wav")" -gt 44100 ] || fail "the drive's WAV is too short"
cmp -s "$work/sound1.wav" "$work/sound2.wav" || fail "two renders of the drive's sound differ"

log "the recording cut at a random byte replays up to its last complete frame"
size=$(stat -c %s "$work/drive.tvr")
# Anywhere after the header (which holds the car file's text), up to the last byte.
header_end=$(grep -obUa TVCK "$work/drive.tvr" | head -n 1 | cut -d: -f1)
[ -n "$header_end" ] || fail "no chunk in $work/drive.tvr"
cut=$((header_end + (RANDOM * 32768 + RANDOM) % (size - header_end)))
head -c "$cut" "$work/drive.tvr" >"$work/cut.tvr"
replay "$work/cut.tvr" cut
[ "$replay_status" -eq 7 ] || fail "cut at byte $cut: status $replay_status instead of 7"
stopped=$(sed -n 's/^\([0-9][0-9]*\) frames, identical$/\1/p' "$work/cut.stdout")
grep -q "cut.tvr: stops after frame $stopped (byte " "$work/cut.stderr" ||
  fail "cut at byte $cut: where it stops is not said: $(cat "$work/cut.stderr")"
[ "$stopped" -le "$frames" ] || fail "cut at byte $cut: $stopped frames of $frames"
log "  cut at byte $cut of $size: $stopped frames, and where it stops"

log "a killed game leaves a readable recording in the recordings folder, recovered at the next start"
start_game killed
drive
sleep 1.2 # past the writer's flush
kill -KILL "$game_pid"
wait "$game_pid" 2>/dev/null
game_pid=""
part=$(find "$recordings" -maxdepth 1 -name '*.tvr.part' | head -n 1)
[ -n "$part" ] || fail "no .part in $recordings: $(ls -R "$work/data")"
replay "$part" killed
[ "$replay_status" -eq 7 ] || fail "the killed drive's recording: status $replay_status: $(cat "$work/killed.stderr")"
grep -q 'frames, identical$' "$work/killed.stdout" || fail "the killed drive's recording is not identical"
(ALSOFT_DRIVERS=null game next --frames 30) || fail "the next game (no audio device) ended with status $?"
[ "$(grep -c 'sans son' "$work/next.stderr")" -eq 1 ] || fail "no audio device was not said once: $(cat "$work/next.stderr")"
[ -e "${part%.part}" ] && [ ! -e "$part" ] || fail "$part was not renamed into place"
grep -q "recovered" "$work/next.stderr" || fail "the recovery was not said: $(cat "$work/next.stderr")"
log "passed"
