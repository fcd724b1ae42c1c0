# Wine environment shared by the scripts; source it, don't run it.
# Its messages go to stderr: wine-exec's stdout belongs to the program it runs.
#
# Sourcing only sets variables (each one may be preset by the caller) and
# writes the ALSA configuration. Starting and stopping things is left to the
# functions below, so wine-exec can source this file for every test cheaply.
# Every wait is bounded: nothing here may hang a CI run.

OMBRE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
OMBRE_STATE=$OMBRE_ROOT/build/wine-state
# The `wine` wrapper may choose the 32-bit loader, which this kernel can't run.
# Exported: the end-to-end driver starts programs through it when it gives
# them a Unix environment of their own (an ALSA capture).
export OMBRE_WINE=/usr/lib/wine/wine64
# The packaged `wineserver` is a script that adds -p0 to every call.
export WINESERVER=/usr/lib/wine/wineserver64
export WINEARCH=win64
export WINEPREFIX=${WINEPREFIX:-$OMBRE_ROOT/build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
# No mono or gecko: without them Wine skips its install prompts.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

mkdir -p "$OMBRE_STATE"

# MCI needs an audio device to open a track; the null PCM gives it one on a
# machine without sound hardware. Written through a temporary file because
# parallel test runs source this at the same time.
ombre_alsa_config() {
  local config=$OMBRE_STATE/alsa.conf system=/usr/share/alsa/alsa.conf
  [[ -f $config && $config -nt $system ]] && return 0
  {
    cat "$system"
    printf '%s\n' 'pcm.!default { type null }' 'ctl.!default { type hw card 0 }'
  } >"$config.$$"
  mv "$config.$$" "$config"
}

if [[ -z ${ALSA_CONFIG_PATH:-} ]]; then
  ombre_alsa_config
  export ALSA_CONFIG_PATH=$OMBRE_STATE/alsa.conf
fi

# Polls a command until it succeeds; fails after the given number of seconds.
ombre_wait_for() {
  local seconds=$1
  shift
  local deadline=$((SECONDS + seconds))
  until "$@"; do
    ((SECONDS < deadline)) || return 1
    sleep 0.1
  done
}

# Waits until our Xvfb answers on the display; gives up early if it died
# (another server took the number first).
ombre_await_xvfb() {
  local display=$1 deadline=$((SECONDS + 15))
  while kill -0 "$OMBRE_XVFB_PID" 2>/dev/null; do
    xdpyinfo -display "$display" >/dev/null 2>&1 && return 0
    ((SECONDS < deadline)) || return 1
    sleep 0.1
  done
  return 1
}

# Tries one display number: the lock files tell whether another server has it.
ombre_try_xvfb() {
  local number=$1
  [[ -e /tmp/.X$number-lock || -e /tmp/.X11-unix/X$number ]] && return 1
  Xvfb ":$number" -screen 0 1280x1024x24 -nolisten tcp \
    >"$OMBRE_STATE/xvfb.log" 2>&1 &
  OMBRE_XVFB_PID=$!
  ombre_await_xvfb ":$number" && return 0
  ombre_stop_xvfb
  return 1
}

# Starts a private X server when DISPLAY is unset, or always with --force.
ombre_start_xvfb() {
  [[ ${1:-} != --force && -n ${DISPLAY:-} ]] && return 0
  local number
  for ((number = 90; number < 140; number++)); do
    if ombre_try_xvfb "$number"; then
      export DISPLAY=:$number
      echo "Xvfb on display :$number" >&2
      return 0
    fi
  done
  echo "error: no free display for Xvfb (see $OMBRE_STATE/xvfb.log)" >&2
  return 1
}

ombre_stop_xvfb() {
  [[ -n ${OMBRE_XVFB_PID:-} ]] || return 0
  kill "$OMBRE_XVFB_PID" 2>/dev/null || true
  ombre_wait_for 10 ombre_gone "$OMBRE_XVFB_PID" || kill -9 "$OMBRE_XVFB_PID" 2>/dev/null || true
  wait "$OMBRE_XVFB_PID" 2>/dev/null || true
  OMBRE_XVFB_PID=
}

ombre_gone() {
  ! kill -0 "$1" 2>/dev/null
}

ombre_reg_add() {
  timeout 60 "$OMBRE_WINE" reg add "$@" /f >>"$OMBRE_STATE/prefix.log" 2>&1
}

# Without a window manager Wine draws no title bar and every top-level
# DestroyWindow costs about 2 s; a virtual desktop removes both.
#
# Chinese text: the system's UI fonts have no Chinese glyphs. Text drawn
# through GDI finds them through the Tahoma font link, but the edit control
# lays its text out without font links, so the fonts it is given must have
# the glyphs themselves: the dialog font (DEFAULT_GUI_FONT's "MS Shell Dlg")
# and Courier New are replaced by WenQuanYi, and no link may make DejaVu Sans
# claim Chinese, or a font asking for the GB2312 character set (the frame
# box's) would get DejaVu Sans instead of WenQuanYi. Title bars are drawn
# in WenQuanYi too.
ombre_prefix_settings() {
  local chinese='wqy-microhei.ttc,WenQuanYi Micro Hei'
  local links='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink'
  local replacements='HKCU\Software\Wine\Fonts\Replacements'
  local metrics='HKCU\Control Panel\Desktop\WindowMetrics'
  ombre_reg_add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default &&
    ombre_reg_add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 &&
    ombre_reg_add "$replacements" /v 'Courier New' /d 'WenQuanYi Micro Hei Mono' &&
    ombre_reg_add "$replacements" /v 'MS Shell Dlg' /d 'WenQuanYi Micro Hei' &&
    ombre_reg_add "$links" /v Tahoma /t REG_MULTI_SZ /d "$chinese" &&
    ombre_reg_delete "$links" /v 'DejaVu Sans' &&
    ombre_reg_add "$metrics" /v CaptionFont /t REG_BINARY /d "$(ombre_caption_font)" &&
    ombre_reg_add "$metrics" /v SmCaptionFont /t REG_BINARY /d "$(ombre_caption_font)"
}

# A bold 8-point LOGFONTW of WenQuanYi Micro Hei, as hexadecimal bytes.
# Height -11, weight 700, the default character set; the face name fills
# its 32 UTF-16 units with zeros.
ombre_caption_font() {
  local face
  face=$(printf '%s' 'WenQuanYi Micro Hei' | iconv -f UTF-8 -t UTF-16LE | od -An -v -tx1 | tr -d ' \n')
  while ((${#face} < 128)); do face+=0; done
  printf 'f5ffffff000000000000000000000000bc0200000000000100000022%s' "$face"
}

ombre_reg_delete() {
  timeout 60 "$OMBRE_WINE" reg delete "$@" /f >>"$OMBRE_STATE/prefix.log" 2>&1 || true
}

# This Wine looks for fonts in C:\windows\Fonts and through fontconfig, not
# in its own data folder: without these links there is no Marlett (caption
# buttons show "0 1 r"), Tahoma or MS Sans Serif.
ombre_prefix_fonts() {
  ln -sf /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
}

# Raise it when the prefix settings change, so existing prefixes get them.
OMBRE_PREFIX_REVISION=3

# The stamp names the Wine version and settings that set the prefix up: a
# Wine upgrade updates the prefix here rather than in the middle of a test.
ombre_prefix_setup_unlocked() {
  local stamp=$WINEPREFIX/.ombre-prefix version
  version="$("$OMBRE_WINE" --version) revision $OMBRE_PREFIX_REVISION"
  [[ -f $stamp && $(<"$stamp") == "$version" ]] && return 0
  echo "Setting up the Wine prefix $WINEPREFIX" >&2
  mkdir -p "$WINEPREFIX"
  local server_was_running=
  ombre_wineserver_running && server_was_running=1
  # wineboot complains that the 32-bit side is missing; that is expected.
  timeout 300 "$OMBRE_WINE" wineboot -i >>"$OMBRE_STATE/prefix.log" 2>&1 &&
    ombre_prefix_fonts &&
    ombre_prefix_settings &&
    ombre_await_registry "$server_was_running" &&
    echo "$version" >"$stamp"
}

# Signal 0 asks whether a server runs for the prefix without touching it.
ombre_wineserver_running() {
  timeout 10 "$WINESERVER" -k0 2>/dev/null
}

# The server writes the registry to disk when it exits. One that ran before
# the setup belongs to another run and may be persistent: it writes the
# registry when that run stops it, and waiting for it here would not end.
ombre_await_registry() {
  [[ -n $1 ]] || timeout 120 "$WINESERVER" -w
}

# Runs the setup once: concurrent callers wait on the lock and then see the
# stamp. Wine's services started by the setup may outlive it, so the setup
# runs without the lock's descriptor: they must not hold the lock forever.
ombre_prefix_setup() {
  (
    flock -w 600 9 || exit 1
    ombre_prefix_setup_unlocked 9>&-
  ) 9>"$OMBRE_STATE/prefix.lock"
}

# One persistent server for the whole run keeps Wine's own services alive
# between programs, so each one starts in a fraction of a second. Exit
# status 2 means a server already runs for this prefix; it isn't ours to stop.
ombre_start_wineserver() {
  local status=0
  timeout 30 "$WINESERVER" -p >>"$OMBRE_STATE/wineserver.log" 2>&1 || status=$?
  case $status in
    0) OMBRE_OWN_WINESERVER=1 ;;
    2) echo "A wineserver already runs for $WINEPREFIX; using it" >&2 ;;
    *) return "$status" ;;
  esac
}

# The server, then the desktop holder: with the server persistent, Wine's
# services live as long as it does, and they keep the stdout of the program
# that started them. Started by a test, they would hold ctest's pipe open and
# make it wait for the test until its timeout.
ombre_start_wine() {
  ombre_start_wineserver && ombre_hold_desktop
}

ombre_stop_wineserver() {
  [[ -n ${OMBRE_OWN_WINESERVER:-} ]] || return 0
  timeout 30 "$WINESERVER" -k >/dev/null 2>&1 || true
  OMBRE_OWN_WINESERVER=
}

# Wine's explorer serves the desktop while any program uses it and quits
# about a second after the last one leaves. An explorer started by a test
# program inherits that program's stdout, so ctest would wait a second for it
# after every test, and the next test would start it again. A console shell
# idling on a pipe that nobody writes starts the services and the desktop
# with its own output and holds the desktop for the whole run; closing our
# end of the pipe ends the shell.
ombre_hold_desktop() {
  local fifo=$OMBRE_STATE/desktop-holder.$$ log=$OMBRE_STATE/desktop-holder.log
  rm -f "$fifo"
  mkfifo "$fifo"
  # Read-write: opening a FIFO for writing alone waits for a reader.
  exec {OMBRE_HOLDER_FD}<>"$fifo"
  "$OMBRE_WINE" cmd /q <"$fifo" >"$log" 2>&1 {OMBRE_HOLDER_FD}>&- &
  OMBRE_HOLDER_PID=$!
  # The answer comes once the shell runs, and so once Wine's services and
  # the desktop are up: no test starts them with its own stdout attached.
  echo 'echo ombre-desktop-held' >&"$OMBRE_HOLDER_FD"
  local status=0
  ombre_wait_for 60 grep -q ombre-desktop-held "$log" || status=$?
  rm -f "$fifo"
  return "$status"
}

ombre_release_desktop() {
  [[ -n ${OMBRE_HOLDER_PID:-} ]] || return 0
  exec {OMBRE_HOLDER_FD}>&-
  ombre_wait_for 10 ombre_gone "$OMBRE_HOLDER_PID" || kill "$OMBRE_HOLDER_PID" 2>/dev/null || true
  wait "$OMBRE_HOLDER_PID" 2>/dev/null || true
  OMBRE_HOLDER_PID=
}

ombre_wine_cleanup() {
  ombre_release_desktop
  ombre_stop_wineserver
  ombre_stop_xvfb
}

# Runs the cleanup on every way out: an interrupted script exits through the
# EXIT trap too.
ombre_cleanup_on_exit() {
  trap "$1" EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM
}

# Everything a script needs before its programs run under Wine, taken down
# again on every way out: an X server (--force: a private one even when a
# DISPLAY is set), the prefix, the server and the desktop.
ombre_wine_session() {
  ombre_cleanup_on_exit ombre_wine_cleanup
  ombre_start_xvfb "$@"
  ombre_prefix_setup
  ombre_start_wine
}
