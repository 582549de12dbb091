#!/bin/bash
# The guest part of the emulated PC (see run.sh): runs inside it, started by the initramfs's init
# (init.sh) in the root file system it made, as
#   guest.sh RUN_DIR
# RUN_DIR is the run's folder on the shared tree: its `config` (written by run.sh) sets build_dir,
# source_dir, cache, display, test_timeout, run_command, host_name and ctest_args, and exports the
# variables passed on to the tests. The guest sets up Wine (prefix, X display, one long-running
# Wine program that keeps the session up), starts the printers, runs ctest (or the --run command)
# and leaves the exit status, timings and logs in RUN_DIR.
# shellcheck disable=SC2154  # build_dir and the others come from the configuration
set -uo pipefail

run=$1
# shellcheck source=/dev/null
source "$run/config"

now() { date +%s.%N; }
seconds_since() { awk -v a="$1" -v b="$(now)" 'BEGIN { printf "%.1f", b - a }'; }
note() { echo "emulated-pc guest: $*"; }

# Appends "name seconds" to the run's timings and says it.
timing() {
  echo "$1 $2" >>"$run/timings"
  note "$1: $2 s"
}

# The 32-bit Wine prefix: unpacked from the tar of an earlier run made with the same Wine, else
# created (through wine-run, with all its settings) and kept as a tar for the next runs. It is kept
# only when wine-run succeeded and marked it ready, which it does only after a program ran in it:
# a broken prefix saved here would be restored by every later run.
prefix() {
  local tar=$cache/wineprefix.tar version_file=$cache/wineprefix.wine-version
  local wine_version start
  wine_version=$(wine --version 2>/dev/null || true)
  mkdir -p "$(dirname "$LVX_WINEPREFIX")"
  start=$(now)
  if [ -f "$tar" ] && [ "$(cat "$version_file" 2>/dev/null)" = "$wine_version" ]; then
    if tar -xf "$tar" -C "$(dirname "$LVX_WINEPREFIX")"; then
      timing prefix-restore "$(seconds_since "$start")"
      return
    fi
    note "the saved Wine prefix cannot be unpacked; making a new one"
    rm -rf "$LVX_WINEPREFIX" "$tar" "$version_file"
  fi
  note "creating the Wine prefix ($wine_version); slow in an emulated PC, done once"
  local made=1
  "$build_dir/wine-run" cmd /c exit || made=
  # Stop the session so that the registry is written out.
  WINEPREFIX=$LVX_WINEPREFIX wineserver -k 2>/dev/null || true
  WINEPREFIX=$LVX_WINEPREFIX wineserver -w 2>/dev/null || true
  timing prefix-create "$(seconds_since "$start")"
  if [ -z "$made" ] || [ ! -f "$LVX_WINEPREFIX/.lumivex-ready" ]; then
    note "the Wine prefix was not completed (see $LVX_WINEPREFIX.setup.log); not keeping it"
    cp "$LVX_WINEPREFIX.setup.log" "$run/" 2>/dev/null || true
    return
  fi
  start=$(now)
  if tar -cf "$tar.part" -C "$(dirname "$LVX_WINEPREFIX")" "$(basename "$LVX_WINEPREFIX")"; then
    mv "$tar.part" "$tar"
    echo "$wine_version" >"$version_file"
  else
    note "the Wine prefix could not be saved"
    rm -f "$tar.part"
  fi
  timing prefix-save "$(seconds_since "$start")"
}

# One Wine program with a hidden window that stays for the whole run (keep-session.exe of the
# build, tests/support/keep_session.c). Without it every test program would start the Wine
# session (wineboot, services, the desktop process) again: 20 to 60 s each here instead of 2 to
# 3 s. It starts the desktop process (explorer) itself and waits until that is ready, however long
# it takes: a program that makes a window while the desktop process is not up starts it too, but
# waits only a short time and then gets no window at all ("The explorer process failed to start"),
# which happened here on a busy machine. Should the session program still miss it, it says so and
# stays a while, and the next attempt finds the desktop process up. Its output, and Wine's errors
# of the processes it starts, go to run/session-N.log.
session_pid=
session() {
  local attempt log
  for attempt in 1 2 3 4 5; do
    log=$run/session-$attempt.log
    WINEPREFIX=$LVX_WINEPREFIX WINEARCH=win32 DISPLAY=$display WINEDEBUG=err+all,fixme-all \
      wine "$build_dir/bin/keep-session.exe" >"$log" 2>&1 </dev/null &
    session_pid=$!
    while kill -0 "$session_pid" 2>/dev/null && ! grep -qE '^(ready|failed)' "$log"; do
      sleep 0.5
    done
    if grep -q '^ready' "$log"; then return 0; fi
    note "session program, attempt $attempt: $(grep -m 1 '^failed' "$log" || echo ended)"
  done
  return 1
}

# Says whether the session program is still there (when it is not, the tests ran without it).
session_check() {
  if [ -n "$session_pid" ] && ! kill -0 "$session_pid" 2>/dev/null; then
    note "the session program ended $1 (see $run/session-*.log)"
  fi
}

export PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin
export HOME=/root USER=root LOGNAME=root LANG=C.UTF-8 TERM=dumb
timing boot "$(cut -d' ' -f1 /proc/uptime)"
note "up: $(uname -sr), $(nproc) processors, $(free -m | awk '/^Mem:/ { print $2 }') MB"

# No network: the host name must still resolve (Wine and CUPS look it up).
hostname "$host_name" 2>/dev/null || true
printf '127.0.0.1\tlocalhost\n127.0.1.1\t%s\n::1\tlocalhost ip6-localhost\n' "$host_name" \
  >/etc/hosts

# Wine as wine-run.sh uses it, with the prefix in guest memory and no desktop menu entries.
export LVX_WINEPREFIX=/tmp/emulated-pc/wineprefix LVX_DISPLAY=$display
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

# Printers for the print tests, started meanwhile (they only need to be there before the tests).
printers_pid=
if [ -f "$source_dir/scripts/start-printer.sh" ] && command -v cupsd >/dev/null; then
  start=$(now)
  (
    rc=0
    bash "$source_dir/scripts/start-printer.sh" || rc=$?
    timing printers "$(seconds_since "$start")"
    exit $rc
  ) &
  printers_pid=$!
fi

prefix

# The X display, a persistent wineserver and a first session (wine-run's warm-up), then the
# session program for the whole run.
start=$(now)
"$build_dir/wine-run" cmd /c exit || note "Wine did not start: the tests will fail"
session || note "the session program got no window: tests that make windows may fail"
export LVX_WINE_WARM=1
timing wine-session "$(seconds_since "$start")"

if [ -n "$printers_pid" ] && ! wait "$printers_pid"; then
  note "the printers did not start: the print tests will fail"
fi
session_check "before the tests"

start=$(now)
rc=0
if [ -n "$run_command" ]; then
  bash -c "$run_command" 2>&1 | tee "$run/command.log" || rc=${PIPESTATUS[0]}
  timing command "$(seconds_since "$start")"
else
  ctest --test-dir "$build_dir" --timeout "$test_timeout" --no-tests=error "${ctest_args[@]}" 2>&1 |
    tee "$run/ctest.log" || rc=${PIPESTATUS[0]}
  timing ctest "$(seconds_since "$start")"
  session_check "during the tests"
fi
echo "$rc" >"$run/exit-status"
sync
