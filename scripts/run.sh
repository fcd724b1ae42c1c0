#!/usr/bin/env bash
# Builds the player and runs it under Wine; arguments go to the player.
# With DISPLAY set the player shows on that display. Without one it runs in a
# private X server, and a screenshot of its window goes to build/screenshot.png.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/build.sh
screenshot=$OMBRE_ROOT/build/screenshot.png
player=

ombre_stage "Dependencies"
bash scripts/deps.sh

ombre_stage "Build x86_64"
ombre_build x86_64 --target ombrevista

stop_all() {
  if [[ -n $player ]]; then kill "$player" 2>/dev/null || true; fi
  ombre_wine_cleanup
}

# In Wine's virtual desktop, windows are drawn into the desktop and are no X
# windows of their own, so X can't list them: the screen tells instead.
# Before the desktop is painted it is black; then black beside the desktop
# colour; a drawn window adds more colours.
player_shown() {
  # A player that has already exited draws nothing more.
  ombre_gone "$player" && return 0
  local colours
  colours=$(import -window root png:- 2>/dev/null | convert png:- -format %k info:) &&
    ((colours > 2))
}

take_screenshot() {
  if ombre_wait_for 60 player_shown; then
    # The window is on screen; give its first paint a moment to finish.
    sleep 1
  else
    echo "warning: no window after 60 s; saving the screen as it is" >&2
  fi
  import -window root "$screenshot"
  echo "Screenshot saved to $screenshot"
}

ombre_stage "Wine environment"
source scripts/wine-env.sh
ombre_cleanup_on_exit stop_all
private_display=
[[ -n ${DISPLAY:-} ]] || private_display=1
ombre_start_xvfb
ombre_prefix_setup
ombre_start_wine

ombre_stage "Run"
"$OMBRE_WINE" out/x86_64/ombrevista.exe "$@" &
player=$!
[[ -z $private_display ]] || take_screenshot
status=0
wait "$player" || status=$?
player=
exit "$status"
