#!/usr/bin/env bash
# Builds the player and runs it under Wine. With no arguments it plays the
# demo (out/x86_64/demo, made by scripts/demo.py) with its track; arguments
# go to the player unchanged instead.
#
# With DISPLAY set the player shows on that display, and the script returns
# when it is closed. Without one it runs in a private X server: the script
# waits until the player shows a frame (the demo's frame 100), saves a
# picture of the screen to build/screenshot.png, closes the player and exits
# with its exit code. tests/e2e/run_player.cpp does the waiting and closing.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/build.sh
screenshot=$OMBRE_ROOT/build/screenshot.png
demo=$OMBRE_ROOT/out/x86_64/demo
player=$OMBRE_ROOT/out/x86_64/ombrevista.exe
run_player=$OMBRE_ROOT/build/x86_64/tests/e2e/run_player.exe
# The demo's frames are 60 characters wide: this size fits them into the
# frame box, whose own font is too small to read them.
demo_font_size=11
# A third of the way in: the figure has walked off and the caption changed.
demo_picture_frame=100

ombre_stage "Dependencies"
bash scripts/deps.sh

ombre_stage "Build x86_64"
ombre_build x86_64 --target ombrevista run_player demo

ombre_stage "Wine environment"
source scripts/wine-env.sh
private_display=
[[ -n ${DISPLAY:-} ]] || private_display=1
ombre_wine_session

# Windows paths for Unix ones, one a line, in order.
windows_paths() {
  "$OMBRE_WINE" winepath -w "$@" 2>/dev/null
}

# The player refuses a folder whose path has a "." anywhere; a checkout
# under such a path lends the demo's frames a link on drive C: to play from.
demo_frames_path() {
  local frames=$1
  [[ $frames != *.* ]] && { echo "$frames"; return; }
  ln -sfn "$demo/frames" "$WINEPREFIX/drive_c/ombrevista-demo"
  echo 'C:\ombrevista-demo'
}

# run_player's command line, into `command`: its options, the player and
# the player's arguments.
plan_run() {
  local paths
  mapfile -t paths < <(windows_paths "$player" "$OMBRE_ROOT/build/screenshot.bmp" "$demo/demo.mp3" "$demo/frames")
  command=("$run_player")
  [[ -z $private_display ]] || command+=(--picture "${paths[1]}")
  if (($# > 0)); then
    command+=("${paths[0]}" "$@")
    return
  fi
  local options
  mapfile -t options <"$demo/player-options"
  command+=(--font-size "$demo_font_size" --frame "$demo_picture_frame" "${paths[0]}")
  command+=("${options[@]}" --track "${paths[2]}" --play "$(demo_frames_path "${paths[3]}")")
}

# The picture as PNG; false when there is none.
keep_screenshot() {
  [[ -f build/screenshot.bmp ]] && convert build/screenshot.bmp "$screenshot" || return 1
  rm build/screenshot.bmp
  echo "Screenshot saved to $screenshot"
}

ombre_stage "Run"
plan_run "$@"
rm -f "$screenshot" build/screenshot.bmp
status=0
"$OMBRE_WINE" "${command[@]}" || status=$?
if [[ -n $private_display ]] && ! keep_screenshot; then
  echo "error: no screenshot was saved" >&2
  ((status != 0)) || status=1
fi
exit "$status"
