#!/bin/bash
# Runs one Windows program of a 32-bit or 64-bit build under Wine on a virtual X display:
#   wine-run.sh PROGRAM.exe [ARGS...]
#   wine-run.sh --check      exit 0 when this machine can run this architecture's Wine, else say why
# CTest uses it as the cross-compiling emulator. On first use it prepares the Wine prefix
# (LVX_WINEPREFIX, default: wineprefix next to this script's build tree) and starts Xvfb on
# LVX_DISPLAY (default :77). Both set-ups are serialised with flock, so parallel tests are safe.
#
# Environment:
#   LVX_WINE_ARCH    win32 (default: 32-bit Wine) or win64 (the 64-bit loader, a 64-bit prefix)
#   LVX_WINEPREFIX   prefix to use (created when missing)
#   LVX_DISPLAY      X display; an existing server there is used, otherwise Xvfb is started
#   LVX_SCREEN       Xvfb screen geometry (default 1280x1024x24)
#   LVX_WINE_DPI     the DPI the program is to see (LogPixels, written into the prefix before the
#                    program starts; programs of other DPIs must not use the prefix meanwhile)
#   LVX_WINE_WARM    1: a persistent wineserver and a Wine session are up already (the caller keeps
#                    a program running), so the warm-up before the program is skipped
#   WINEDEBUG        passed on (default -all)
set -uo pipefail

if [ $# -lt 1 ]; then
  echo "usage: $0 PROGRAM.exe [ARGS...] | --check" >&2
  exit 2
fi
# A Linux program or script given by mistake (CTest puts this emulator before imported executables
# too): Wine would end without running it and answer 0, and the test would pass having done nothing.
program=$(command -v -- "$1" 2>/dev/null || true)
if [ -f "$program" ] && [ "$(head -c 2 "$program" 2>/dev/null)" != MZ ]; then
  echo "wine-run: $1 is not a Windows program" >&2
  exit 2
fi

# 32-bit Wine is a 32-bit x86 Linux program. A kernel without IA-32 emulation (built without it,
# or booted with ia32_emulation=off) refuses to execute such programs ("Exec format error"), and
# then no 32-bit Windows program can run on this machine at all. Say so at once rather than let
# every caller fail in its own way.
can_execute_32bit() {
  local probe
  for probe in /lib/ld-linux.so.2 /usr/lib/wine/wine; do
    if [ -x "$probe" ]; then
      "$probe" --version >/dev/null 2>&1 && return 0
      local why
      why=$("$probe" --version 2>&1 >/dev/null | head -n 1 | sed 's/^.*: line [0-9]*: //')
      echo "wine-run: this machine cannot execute 32-bit x86 programs, so 32-bit Wine cannot" \
        "run here: ${why:-$probe failed}" >&2
      local kernel
      kernel=$(dmesg 2>/dev/null | grep -m 1 -iE 'ia-?32 emulation|32-bit emulation')
      [ -n "$kernel" ] && echo "wine-run: kernel: ${kernel#*] }" >&2
      return 1
    fi
  done
  echo "wine-run: 32-bit Wine is not installed (run scripts/setup.sh)" >&2
  return 1
}

# 64-bit Wine runs on every x86-64 machine. Its loader is called directly: once 32-bit Wine is
# installed too, the generic `wine` launcher picks the 32-bit loader.
arch=${LVX_WINE_ARCH:-win32}
case $arch in
  win32)
    loader=wine
    server=wineserver
    ;;
  win64)
    loader=/usr/lib/wine/wine64
    server=/usr/lib/wine/wineserver64
    ;;
  *)
    echo "wine-run: LVX_WINE_ARCH must be win32 or win64, not $arch" >&2
    exit 2
    ;;
esac
can_run() {
  if [ "$arch" = win64 ]; then
    [ -x "$loader" ] && return 0
    echo "wine-run: 64-bit Wine is not installed (run scripts/setup.sh)" >&2
    return 1
  fi
  can_execute_32bit
}
if [ "$1" = --check ]; then
  can_run
  exit
fi
can_run || exit 125

prefix=${LVX_WINEPREFIX:-$HOME/.lumivex-wine}
display=${LVX_DISPLAY:-:77}
screen=${LVX_SCREEN:-1280x1024x24}
lockdir=${TMPDIR:-/tmp}
mkdir -p "$(dirname "$prefix")"

export WINEPREFIX=$prefix WINEARCH=$arch DISPLAY=$display
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

display_up() { xdpyinfo -display "$display" >/dev/null 2>&1; }

# The X server. Xvfb is started with the lock's descriptor closed, or it would hold the lock for
# its whole life and every later caller would wait on it for ever.
if ! display_up; then
  (
    flock 9
    if ! display_up; then
      num=${display#:}
      num=${num%%.*}
      rm -f "/tmp/.X${num}-lock" "/tmp/.X11-unix/X${num}"
      nohup Xvfb "$display" -screen 0 "$screen" -nolisten tcp -ac >/dev/null 2>&1 9>&- &
      for _ in $(seq 100); do
        display_up && break
        sleep 0.1
      done
    fi
  ) 9>"$lockdir/lumivex-xvfb.lock"
  if ! display_up; then
    echo "wine-run: no X display at $display and Xvfb did not start" >&2
    exit 125
  fi
fi

# The prefix: created once, with the settings that keep tests from hanging or crawling. It is
# marked ready only when every step succeeded and a program has run in it; otherwise the failure
# is reported (exit 125) and the next run tries again, so a broken prefix is never taken as done.
prepare_prefix() {
  local log=$prefix.setup.log
  : >"$log"
  step() {  # step WHAT COMMAND...: runs one set-up step, its output into the log
    echo "+ $*" >>"$log"
    "${@:2}" >>"$log" 2>&1 </dev/null && return 0
    echo "wine-run: preparing the Wine prefix $prefix failed at: $1 (see $log)" >&2
    tail -n 5 "$log" | sed 's/^/wine-run:   /' >&2
    return 1
  }
  step "wineboot" "$loader" wineboot -i || return 1
  # A crashing program must end, not wait for somebody to close the crash dialog.
  step "crash dialog off" "$loader" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog \
    /t REG_DWORD /d 0 /f || return 1
  # Without a window manager Wine draws its own frames; hiding windows is also much faster.
  step "unmanaged windows" "$loader" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed \
    /t REG_SZ /d N /f || return 1
  step "decorated windows" "$loader" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated \
    /t REG_SZ /d Y /f || return 1
  # Debian's Wine does not install its own fonts into the prefix; dialogs need them.
  mkdir -p "$prefix/drive_c/windows/Fonts"
  cp -n /usr/share/wine/fonts/* "$prefix/drive_c/windows/Fonts/" 2>/dev/null || true
  step "writing the registry out" "$server" -w || return 1
  step "a program in the new prefix" "$loader" cmd /c exit || return 1
  touch "$prefix/.lumivex-ready"
}
if [ ! -f "$prefix/.lumivex-ready" ]; then
  (
    flock 9
    [ -f "$prefix/.lumivex-ready" ] || prepare_prefix
  ) 9>"$prefix.lock" || exit 125
fi

# Wine's own fonts ("MS Sans Serif", Marlett for the caption buttons) in a prefix made before
# they were installed.
if [ ! -f "$prefix/drive_c/windows/Fonts/marlett.ttf" ] && [ -f /usr/share/wine/fonts/marlett.ttf ]; then
  mkdir -p "$prefix/drive_c/windows/Fonts"
  cp -n /usr/share/wine/fonts/* "$prefix/drive_c/windows/Fonts/" 2>/dev/null || true
fi

# A persistent server, warmed once with its output away from our caller's pipes; otherwise every
# run waits for the server to let go of the caller's stderr. A caller that keeps a Wine session up
# for all its runs says so with LVX_WINE_WARM=1: where every program start is slow (an emulated
# PC), the warm-up program would double the time of each run.
if [ -z "${LVX_WINE_WARM:-}" ]; then
  "$server" -p >/dev/null 2>&1 </dev/null
  "$loader" cmd /c exit >/dev/null 2>&1 </dev/null
fi

# The screen's DPI as programs of this prefix see it: Wine reads LogPixels as each process starts
# (a running wineserver passes the new value on; measured with Wine 8), so it is written now.
if [ -n "${LVX_WINE_DPI:-}" ]; then
  for key in 'HKCU\Control Panel\Desktop' \
    'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts'; do
    if ! "$loader" reg add "$key" /v LogPixels /t REG_DWORD /d "$LVX_WINE_DPI" /f \
      >/dev/null 2>&1 </dev/null; then
      echo "wine-run: could not set LogPixels to $LVX_WINE_DPI in $prefix" >&2
      exit 125
    fi
  done
fi

# Wine's helper processes can inherit our output and outlive the program; collect the output in a
# file and print it after the program has ended.
out=$(mktemp "${lockdir}/wine-run.XXXXXX")
trap 'rm -f "$out"' EXIT
"$loader" "$@" >"$out" 2>&1 </dev/null
rc=$?
cat "$out"
exit $rc
