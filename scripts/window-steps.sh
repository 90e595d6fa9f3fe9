# Steps shared by the scripts that drive Zorvane's real window under X
# (sourced, not run). They need $work (a scratch folder) and $wid, the
# window's id, which find_window sets.

# Waits until the window titled "Zorvane" shows, for at most 20 s; $pid is the
# program's process.
find_window() {
  wid=$(timeout 20 xdotool search --sync --onlyvisible --name '^Zorvane$' | head -1)
  [ -n "$wid" ] || { echo "the window did not appear"; cat "$work/out.log"; exit 1; }
}
# Waits until a command succeeds, for at most $1 seconds: the steps wait for
# what the window shows, never for a fixed time, so a slow (sanitizer) build
# or a busy machine only makes them take longer.
wait_for() {
  local seconds=$1; shift
  for _ in $(seq 1 $((seconds * 10))); do "$@" && return 0; sleep 0.1; done
  return 1
}
# A window other than Zorvane's own is shown (a dialog; Xvfb runs no window
# manager, so there is no active window to ask for).
dialog_shown() { xdotool search --onlyvisible --name . 2>/dev/null | grep -qv "^$wid\$"; }
dialog_gone() { ! dialog_shown; }
# The window shows a pixel of colour $1 (#RRGGBB).
colour_shown() { import -window "$wid" "$work/now.png" 2>/dev/null && convert "$work/now.png" -format %c histogram:info:- | grep -qi "$1"; }
