#!/usr/bin/env bash
# Plays the real game in its window on a private Xvfb server, as a player would.
#
#   window_test.sh TORVANE_BINARY DATA_FOLDER
#
# Case "keys": waits for the window and its first drawn frame; with the focus
# on another window, Up and Escape do nothing; with the focus on the game, Up
# drives, Backspace puts the car back at its start, P pauses ("PAUSE" shown,
# the picture still while Up is held) and Pause restarts, F10 shows the
# frame-rate readout, F12 writes a screenshot into the pictures folder and
# prints its path, and Escape ends the game with status 0.
# Case "background": with --background-keys, keys sent to another window drive
# the car, and Escape typed there ends the game.
# Case "focus_pause": with pause_on_focus_loss in the settings, a car rolling
# when the window loses the focus stops (the game pauses).
# Case "fullscreen": under a window manager, F11 fills the 16:9 screen with
# the 4:3 picture between black bars, Alt+Enter goes back to the window.
# Case "watch": a drive recorded into the recordings folder is watched with
# --replay: at its end Left steps back a frame; played from the start the
# picture moves; Space pauses it (the picture holds); T takes the car over
# and its drive is recorded anew.
# Case "close": asks the window to close (WM_DELETE_WINDOW, as a window manager
# does when its close button is pressed) and expects exit status 0.
# In every case the game must write nothing else and show no message box.
# Keys are held for a fifth of a second, as a player's press: the game reads
# the keyboard once a frame.
#
# Exit status: 0 passed, 1 failed, 77 skipped (no X server could be started).
set -uo pipefail

if [ $# -ne 2 ]; then
  echo "usage: $0 TORVANE_BINARY DATA_FOLDER" >&2
  exit 2
fi
game_binary=$(realpath -e "$1") || exit 1
data_folder=$(realpath -e "$2") || exit 1

readonly width=800 height=600 screen_width=1280 screen_height=720
readonly clear_colour='rgb(200,200,200)'
readonly start_timeout=20 exit_timeout=5

xwindows=$(dirname "$(realpath "$0")")/xwindows.py
work=$(mktemp -d "${TMPDIR:-/tmp}/torvane-window.XXXXXX") || exit 1
xvfb_pid=""
game_pid=""
wm_pid=""
failed=0

log() { echo "window_test: $*" >&2; }

fail() {
  log "FAIL: $*"
  failed=1
}

# Prints the process ids of every descendant of process $1.
descendants() {
  local children child
  children=$(cat /proc/"$1"/task/*/children 2>/dev/null)
  for child in $children; do
    echo "$child"
    descendants "$child"
  done
}

# Stops a child of this shell and whatever it started (the game forks a process
# to show a message box): TERM, then KILL for those still there after two seconds.
stop_process() {
  local pid=$1 all p remaining
  [ -n "$pid" ] || return 0
  mapfile -t all < <(echo "$pid"; descendants "$pid")
  kill -TERM "${all[@]}" 2>/dev/null
  for _ in $(seq 20); do
    remaining=0
    for p in "${all[@]}"; do
      kill -0 "$p" 2>/dev/null && remaining=1
    done
    [ "$remaining" -eq 1 ] || break
    sleep 0.1
  done
  kill -KILL "${all[@]}" 2>/dev/null
  wait "$pid" 2>/dev/null
  return 0
}

cleanup() {
  local status=$?
  [ "$failed" -eq 0 ] || status=1
  stop_process "$game_pid"
  stop_process "$wm_pid"
  stop_process "$xvfb_pid"
  if [ "$status" -eq 0 ] || [ "$status" -eq 77 ]; then
    rm -rf "$work"
  else
    log "screenshots and the game's output are kept in $work"
  fi
  exit "$status"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP

# Every X client call is bounded, so a stuck server cannot hang the test.
x() { timeout 10 "$@"; }

for tool in xdotool import identify compare convert; do
  if ! command -v "$tool" >/dev/null; then
    log "FAIL: $tool is missing (scripts/setup installs it)"
    exit 1
  fi
done
if ! /usr/bin/python3 -c 'import Xlib' 2>/dev/null; then
  log "FAIL: python3-xlib is missing (scripts/setup installs it)"
  exit 1
fi

# --- the X server -----------------------------------------------------------
start_xvfb() {
  if ! command -v Xvfb >/dev/null; then
    log "SKIP: Xvfb is not installed"
    exit 77
  fi
  local display_file=$work/display
  : >"$display_file"
  # Xvfb picks a free display number itself and writes it to fd 3 once it accepts clients.
  Xvfb -displayfd 3 -screen 0 "${screen_width}x${screen_height}x24" -nolisten tcp -noreset \
    3>"$display_file" >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do
    if grep -q '^[0-9][0-9]*$' "$display_file" 2>/dev/null; then
      DISPLAY=":$(cat "$display_file")"
      export DISPLAY
      if x xdotool getmouselocation >/dev/null 2>&1; then
        log "Xvfb on $DISPLAY"
        return 0
      fi
    fi
    if ! kill -0 "$xvfb_pid" 2>/dev/null; then
      break
    fi
    sleep 0.1
  done
  log "SKIP: Xvfb could not start:"
  sed 's/^/  /' "$work/xvfb.log" >&2
  stop_process "$xvfb_pid"
  xvfb_pid=""
  exit 77
}

# --- the game ----------------------------------------------------------------
game_running() {
  [ -n "$game_pid" ] && kill -0 "$game_pid" 2>/dev/null &&
    ! grep -q '^[^)]*) Z' "/proc/$game_pid/stat" 2>/dev/null
}

# start_game NAME [OPTION...]: the game in the data folder, its home folder in $work/home.
start_game() {
  local name=$1
  shift
  stop_process "$game_pid"
  (
    cd "$data_folder" || exit 1
    unset WAYLAND_DISPLAY
    export SDL_VIDEODRIVER=x11 HOME=$work/home XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
    export ALSOFT_DRIVERS=null # the same sound on every machine: none
    exec "$game_binary" "$@"
  ) >"$work/$name.stdout" 2>"$work/$name.stderr" &
  game_pid=$!
}

# Holds key $1 (xdotool's name, e.g. alt+Return) for a fifth of a second.
press() {
  x xdotool keydown "$1"
  sleep 0.2
  x xdotool keyup "$1"
}

# Prints the game's window id once it is mapped; fails if the game ends first or the time runs out.
wait_for_window() {
  local deadline=$((SECONDS + start_timeout)) id
  while [ "$SECONDS" -lt "$deadline" ]; do
    id=$(x xdotool search --onlyvisible --name '^Torvane$' 2>/dev/null | head -n 1)
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    if ! game_running; then
      log "the game ended before its window appeared"
      return 1
    fi
    sleep 0.1
  done
  log "no window named Torvane within ${start_timeout}s"
  return 1
}

# Screenshot of window $1 into $work/$2.png.
screenshot() {
  x import -window "$1" "png:$work/$2.png" 2>>"$work/import.log"
}

# Prints how many pixels of $work/$1.png differ from $work/$2.png (or from the file $2).
differing_pixels() {
  local a=$work/$1.png b=$2 out
  [ -f "$b" ] || b=$work/$2.png
  # compare prints the count on stderr, and exits 1 when the pictures differ.
  out=$(x compare -metric AE "$a" "$b" null: 2>&1 >/dev/null | tail -n 1)
  if [[ "$out" =~ ^[0-9]+(\.[0-9]+)?(e\+?[0-9]+)?$ ]]; then
    echo "$out"
  else
    log "compare $a $b: $out"
    return 1
  fi
}

# Succeeds when number $1 exceeds number $2 (either may be in exponent form).
exceeds() { awk -v a="${1:-0}" -v b="${2:-0}" 'BEGIN { exit !(a > b) }'; }

# Prints what keeps $work/$1.png from being a picture of the scene: the wrong
# size, too few colours (a blank or black window), or mostly the clear colour.
# Prints nothing when it is one.
scene_problem() {
  local shot=$1 size colours drawn
  size=$(x identify -format '%wx%h' "$work/$shot.png" 2>/dev/null) || { echo "$shot.png is unreadable"; return; }
  if [ "$size" != "${width}x${height}" ]; then
    echo "$shot.png is $size, the window should be ${width}x${height}"
    return
  fi
  colours=$(x identify -format '%k' "$work/$shot.png")
  drawn=$(differing_pixels "$shot" "$work/flat.png") || { echo "$shot.png could not be compared"; return; }
  if ! exceeds "$colours" 63; then
    echo "$shot.png has only $colours colours"
  elif ! exceeds "$drawn" $((width * height / 2)); then
    echo "$shot.png is mostly the clear colour ($drawn of $((width * height)) pixels differ from it)"
  fi
}

check_scene() {
  local problem
  problem=$(scene_problem "$1")
  [ -z "$problem" ] || fail "the scene was not drawn: $problem"
}

# Waits until the window shows the scene (the first frames are drawn).
wait_for_first_frame() {
  local id=$1 deadline=$((SECONDS + start_timeout)) problem="no screenshot"
  while [ "$SECONDS" -lt "$deadline" ]; do
    if screenshot "$id" first; then
      problem=$(scene_problem first)
      [ -n "$problem" ] || return 0
    fi
    game_running || { log "the game ended before drawing a frame"; return 1; }
    # A message box blocks the game until someone dismisses it.
    check_no_message_box "$id" || return 1
    sleep 0.1
  done
  log "the window showed no scene within ${start_timeout}s: $problem"
  return 1
}

# Fails when a window other than the game's window $1 is showing: the game's
# message boxes ("Erreur", "Erreur critique") are the only others it opens
# (the window manager's own window, "Openbox", aside).
check_no_message_box() {
  local others
  others=$(x /usr/bin/python3 "$xwindows" others "$1") || { fail "could not list the windows"; return 1; }
  others=$(grep -v '^[0-9]* Openbox$' <<<"$others")
  [ -n "$others" ] || return 0
  fail "a message box appeared: $(cut -d ' ' -f 2- <<<"$others" | paste -sd '|')"
  x import -window "$(head -n 1 <<<"$others" | cut -d ' ' -f 1)" "png:$work/message_box.png" 2>/dev/null
  return 1
}

# Waits for the game to end; checks its status is 0 and it wrote nothing but
# what $work/NAME.expected_stdout holds (nothing when there is no such file),
# and on stderr only that it runs silent, once.
expect_clean_exit() {
  local name=$1 deadline=$((SECONDS + exit_timeout + 1)) status
  while game_running && [ "$SECONDS" -lt "$deadline" ]; do
    sleep 0.05
  done
  if game_running; then
    fail "$name: the game was still running ${exit_timeout}s after the quit request"
    stop_process "$game_pid"
    game_pid=""
    return
  fi
  wait "$game_pid"
  status=$?
  game_pid=""
  if [ "$status" -ne 0 ]; then
    fail "$name: the game exited with status $status"
  fi
  touch "$work/$name.expected_stdout"
  if ! cmp -s "$work/$name.stdout" "$work/$name.expected_stdout"; then
    fail "$name: the game wrote to stdout:"
    sed 's/^/  /' "$work/$name.stdout" >&2
  fi
  if [ "$(cat "$work/$name.stderr")" != "torvane: le jeu tourne sans son : OpenAL n'offre que sa sortie nulle" ]; then
    fail "$name: the game wrote to stderr more or less than that it runs silent:"
    sed 's/^/  /' "$work/$name.stderr" >&2
  fi
}

# Takes the focus from the game's window $1 and moves the pointer off it.
focus_elsewhere() {
  x xdotool mousemove $((screen_width - 10)) $((screen_height - 10))
  x /usr/bin/python3 "$xwindows" unfocus "$1" || fail "could not take the focus away"
}

# Gives the focus to the game's window $1, the pointer over it.
focus_game() {
  x xdotool mousemove --window "$1" 400 300
  x /usr/bin/python3 "$xwindows" focus "$1" || fail "could not give the game the focus"
  sleep 0.2
}

# Prints "WIDTHxHEIGHT" of window $1.
window_size() {
  local geometry
  geometry=$(x xdotool getwindowgeometry --shell "$1") || return 1
  echo "$(sed -n 's/^WIDTH=//p' <<<"$geometry")x$(sed -n 's/^HEIGHT=//p' <<<"$geometry")"
}

# Prints the colour of pixel $2,$3 of $work/$1.png, as srgb(r,g,b).
pixel() {
  x convert "$work/$1.png" -format "%[pixel:p{$2,$3}]" info:
}

# --- the cases ---------------------------------------------------------------
case_keys() {
  local id changed shot
  local -r most=$((width * height / 100)) many=$((width * height / 10))
  log "case keys: each key, and keys sent elsewhere ignored"
  start_game keys
  id=$(wait_for_window) || { fail "keys: no window"; return; }
  wait_for_first_frame "$id" || { fail "keys: no frame"; return; }
  check_no_message_box "$id"

  # Parked with no key down, the picture stands still.
  screenshot "$id" parked || { fail "keys: screenshot failed"; return; }
  sleep 0.3
  screenshot "$id" still_parked || { fail "keys: screenshot failed"; return; }
  check_scene parked
  changed=$(differing_pixels parked still_parked) || fail "keys: compare failed"
  log "parked -> still parked: $changed pixels changed"
  exceeds "$changed" "$most" && fail "keys: the picture moved with no key down ($changed pixels)"

  # Keys typed into another window reach neither the car nor the quit.
  focus_elsewhere "$id"
  x xdotool keydown Up
  sleep 1
  x xdotool keyup Up
  press Escape
  sleep 0.3
  screenshot "$id" elsewhere || fail "keys: screenshot failed"
  changed=$(differing_pixels still_parked elsewhere) || fail "keys: compare failed"
  log "Up and Escape typed elsewhere: $changed pixels changed"
  exceeds "$changed" "$most" && fail "keys: Up typed into another window moved the car ($changed pixels)"
  game_running || { fail "keys: Escape typed into another window ended the game"; return; }

  # With the focus, Up drives.
  focus_game "$id"
  x xdotool keydown Up
  sleep 1
  screenshot "$id" accelerated || fail "keys: screenshot failed"
  x xdotool keyup Up
  check_scene accelerated
  changed=$(differing_pixels still_parked accelerated) || fail "keys: compare failed"
  log "parked -> accelerated: $changed pixels changed"
  exceeds "$changed" "$many" || fail "keys: the picture hardly changed while Up was held ($changed pixels)"

  # Backspace: the car back at its start, at rest: the parked picture again.
  press BackSpace
  sleep 0.3
  screenshot "$id" reset || fail "keys: screenshot failed"
  changed=$(differing_pixels parked reset) || fail "keys: compare failed"
  log "parked -> reset: $changed pixels changed"
  exceeds "$changed" "$most" && fail "keys: Backspace did not put the car back ($changed pixels from the start)"

  # P pauses: "PAUSE" shows, and Up held moves nothing; Pause restarts.
  press p
  x xdotool keydown Up
  sleep 0.5
  screenshot "$id" paused || fail "keys: screenshot failed"
  sleep 0.5
  screenshot "$id" still_paused || fail "keys: screenshot failed"
  changed=$(differing_pixels paused still_paused) || fail "keys: compare failed"
  log "paused, Up held: $changed pixels changed"
  exceeds "$changed" "$most" && fail "keys: the car moved while paused ($changed pixels)"
  changed=$(differing_pixels parked paused) || fail "keys: compare failed"
  log "parked -> paused: $changed pixels changed (the PAUSE text)"
  exceeds "$changed" 40 || fail "keys: no PAUSE text ($changed pixels)"
  exceeds "$changed" "$most" && fail "keys: the picture changed beyond the PAUSE text ($changed pixels)"
  press Pause
  sleep 1
  screenshot "$id" unpaused || fail "keys: screenshot failed"
  x xdotool keyup Up
  changed=$(differing_pixels still_paused unpaused) || fail "keys: compare failed"
  log "paused -> Pause pressed, Up held: $changed pixels changed"
  exceeds "$changed" "$many" || fail "keys: Pause did not restart the game ($changed pixels)"

  # F10: the frame-rate readout beside the overlay.
  press BackSpace
  press F10
  sleep 0.8
  screenshot "$id" readout || fail "keys: screenshot failed"
  changed=$(differing_pixels parked readout) || fail "keys: compare failed"
  log "parked -> readout: $changed pixels changed"
  exceeds "$changed" 40 || fail "keys: F10 showed no readout ($changed pixels)"
  exceeds "$changed" "$most" && fail "keys: F10 changed more than the readout ($changed pixels)"

  # F12: a screenshot in the pictures folder, its path printed.
  press F12
  sleep 1
  shot=$(find "$work/home/Pictures" -name 'torvane-*-frame*.png' 2>/dev/null | head -n 1)
  if [ -z "$shot" ]; then
    fail "keys: F12 wrote no screenshot into $work/home/Pictures"
  else
    [ "$(x identify -format '%wx%h' "$shot")" = "${width}x${height}" ] || fail "keys: the screenshot is not ${width}x${height}"
    exceeds "$(x identify -format '%k' "$shot")" 63 || fail "keys: the screenshot shows no scene (a blank picture)"
    echo "$shot" >"$work/keys.expected_stdout"
  fi

  check_no_message_box "$id"
  game_running || fail "keys: the game ended while playing"
  press Escape
  expect_clean_exit keys
}

case_background() {
  local id changed
  local -r many=$((width * height / 10))
  log "case background: --background-keys reads keys typed into another window"
  start_game background --background-keys
  id=$(wait_for_window) || { fail "background: no window"; return; }
  wait_for_first_frame "$id" || { fail "background: no frame"; return; }
  screenshot "$id" background_parked || { fail "background: screenshot failed"; return; }
  focus_elsewhere "$id"
  x xdotool keydown Up
  sleep 1
  screenshot "$id" background_driven || fail "background: screenshot failed"
  x xdotool keyup Up
  changed=$(differing_pixels background_parked background_driven) || fail "background: compare failed"
  log "background: parked -> Up typed elsewhere: $changed pixels changed"
  exceeds "$changed" "$many" || fail "background: Up typed elsewhere did not drive ($changed pixels)"
  # The game reads the keymap once a frame, so Escape stays down until the game ends.
  x xdotool keydown Escape
  expect_clean_exit background
  x xdotool keyup Escape
}

case_focus_pause() {
  local id changed
  local -r most=$((width * height / 100))
  log "case focus_pause: with pause_on_focus_loss set, losing the focus pauses a rolling car"
  mkdir -p "$work/config/torvane"
  printf '[window]\npause_on_focus_loss = true\n' >"$work/config/torvane/settings.toml"
  start_game focus_pause
  id=$(wait_for_window) || { fail "focus_pause: no window"; return; }
  wait_for_first_frame "$id" || { fail "focus_pause: no frame"; return; }
  focus_game "$id"
  x xdotool keydown Up
  sleep 1
  x xdotool keyup Up
  focus_elsewhere "$id"
  sleep 0.3
  screenshot "$id" focus_paused || fail "focus_pause: screenshot failed"
  sleep 0.5
  screenshot "$id" still_focus_paused || fail "focus_pause: screenshot failed"
  changed=$(differing_pixels focus_paused still_focus_paused) || fail "focus_pause: compare failed"
  log "focus lost while rolling: $changed pixels changed"
  exceeds "$changed" "$most" && fail "focus_pause: the car rolled on after the focus was lost ($changed pixels)"
  rm -f "$work/config/torvane/settings.toml"
  focus_game "$id"
  press Escape
  expect_clean_exit focus_pause
}

case_fullscreen() {
  local id size
  log "case fullscreen: F11 and Alt+Enter under a window manager"
  if ! command -v openbox >/dev/null; then
    fail "fullscreen: openbox is missing (scripts/setup installs it)"
    return
  fi
  openbox --sm-disable >"$work/openbox.log" 2>&1 &
  wm_pid=$!
  sleep 1
  start_game fullscreen
  id=$(wait_for_window) || { fail "fullscreen: no window"; return; }
  wait_for_first_frame "$id" || { fail "fullscreen: no frame"; return; }
  focus_game "$id"
  press F11
  sleep 1
  size=$(window_size "$id")
  [ "$size" = "${screen_width}x${screen_height}" ] || fail "fullscreen: F11 gave a $size window"
  screenshot "$id" fullscreen || fail "fullscreen: screenshot failed"
  # 4:3 in 16:9: bars of 160 pixels at the sides, the picture between them.
  [ "$(pixel fullscreen 40 360)" = "srgb(0,0,0)" ] || fail "fullscreen: no black bar at the left"
  [ "$(pixel fullscreen 1240 360)" = "srgb(0,0,0)" ] || fail "fullscreen: no black bar at the right"
  [ "$(pixel fullscreen 640 200)" != "srgb(0,0,0)" ] || fail "fullscreen: no picture in the middle"
  focus_game "$id"
  press alt+Return
  sleep 1
  size=$(window_size "$id")
  [ "$size" != "${screen_width}x${screen_height}" ] || fail "fullscreen: Alt+Enter did not leave fullscreen"
  focus_game "$id"
  press Escape
  expect_clean_exit fullscreen
  stop_process "$wm_pid"
  wm_pid=""
}

case_close() {
  local id
  log "case close: close the window"
  start_game close
  id=$(wait_for_window) || { fail "close: no window"; return; }
  wait_for_first_frame "$id" || { fail "close: no frame"; return; }
  check_no_message_box "$id"
  x /usr/bin/python3 "$xwindows" close "$id" || { fail "close: could not send the close request"; return; }
  expect_clean_exit close
}

case_watch() {
  local id changed recordings=$work/data/torvane/recordings drive count
  local -r most=$((width * height / 100))
  log "case watch: a recorded drive watched with --replay, paused, stepped back and taken over"
  start_game drive
  id=$(wait_for_window) || { fail "watch: no window"; return; }
  wait_for_first_frame "$id" || { fail "watch: no frame"; return; }
  focus_game "$id"
  x xdotool keydown Up
  sleep 1.5
  x xdotool keyup Up
  press Escape
  expect_clean_exit drive
  drive=$(ls -t "$recordings"/*.tvr 2>/dev/null | head -n 1)
  [ -n "$drive" ] || { fail "watch: the drive was not recorded"; return; }
  count=$(ls "$recordings"/*.tvr | wc -l)

  start_game watch --replay "$drive"
  id=$(wait_for_window) || { fail "watch: no window"; return; }
  wait_for_first_frame "$id" || { fail "watch: no frame"; return; }
  focus_game "$id"
  # The drive starts at rest: its last frames move. At the end (paused there), Left steps back a frame.
  press End
  screenshot "$id" at_end || fail "watch: screenshot failed"
  press Left
  screenshot "$id" stepped_back || fail "watch: screenshot failed"
  changed=$(differing_pixels at_end stepped_back) || fail "watch: compare failed"
  exceeds "$changed" 0 || fail "watch: Left did not step back"
  # Played from the start, the clock and the bar move on.
  press Home
  press space
  screenshot "$id" watch_a || fail "watch: screenshot failed"
  sleep 1.2
  screenshot "$id" watch_b || fail "watch: screenshot failed"
  changed=$(differing_pixels watch_a watch_b) || fail "watch: compare failed"
  log "watching: $changed pixels changed"
  exceeds "$changed" 0 || fail "watch: the recorded drive did not play"
  press space
  screenshot "$id" paused_a || fail "watch: screenshot failed"
  sleep 0.4
  screenshot "$id" paused_b || fail "watch: screenshot failed"
  changed=$(differing_pixels paused_a paused_b) || fail "watch: compare failed"
  exceeds "$changed" 0 && fail "watch: the paused drive moved ($changed pixels)"
  press t
  check_no_message_box "$id"
  press Escape
  expect_clean_exit watch
  [ "$(ls "$recordings"/*.tvr | wc -l)" -gt "$count" ] || fail "watch: the drive taken over was not recorded"
}

start_xvfb
x convert -size "${width}x${height}" "xc:$clear_colour" "png:$work/flat.png" || { log "FAIL: convert"; exit 1; }
case_keys
case_background
case_focus_pause
case_close
case_watch
case_fullscreen

if [ "$failed" -ne 0 ]; then
  exit 1
fi
log "passed"
exit 0
