# Sourced by the tests that run the game on a private Xvfb server:
# start_private_xvfb WORK starts one (its log in WORK/xvfb.log), sets xvfb_pid
# and exports DISPLAY; without Xvfb, or when it does not start, it says so
# through the caller's log and exits 77 (skipped). The caller stops it.
start_private_xvfb() {
  if ! command -v Xvfb >/dev/null; then
    log "SKIP: Xvfb is not installed"
    exit 77
  fi
  Xvfb -displayfd 3 -screen 0 1280x720x24 -nolisten tcp -noreset 3>"$1/display" >"$1/xvfb.log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do
    grep -q '^[0-9][0-9]*$' "$1/display" 2>/dev/null && break
    sleep 0.1
  done
  grep -q '^[0-9][0-9]*$' "$1/display" || { log "SKIP: Xvfb could not start"; exit 77; }
  export DISPLAY=":$(cat "$1/display")"
}
