#!/bin/bash
# Runs the tests of a 32-bit Windows build tree inside an emulated PC, for machines whose kernel
# executes no 32-bit code (IA-32 emulation off), where 32-bit Wine cannot start at all:
#
#   scripts/emulated-pc.sh [OPTIONS] BUILD_DIR [CTEST ARGUMENTS...]
#
#   --tcg             emulate the processor (the route for machines without /dev/kvm)
#   --kvm             use KVM (default: KVM when /dev/kvm is usable, otherwise TCG)
#   --timeout S       overall time limit in seconds, boot included (default 7200)
#   --test-timeout S  ctest's --timeout for each test (default 1500: the soak test needs ~600)
#   --memory SIZE     guest memory (default 3G)
#   --smp N           guest processors (default 2)
#   --run COMMAND     instead of ctest, run COMMAND with bash in the guest (Wine set up as for
#                     the tests; wine-run works as there), e.g. to look into a failure
#
# qemu-system-x86_64 boots Debian's own kernel (linux-image-amd64, IA-32 emulation on) with a tiny
# busybox initramfs. The guest's root file system is this machine's own / (shared read-only over
# virtio-9p) under a tmpfs overlay, so the guest has the same programs (Wine, Xvfb, CUPS, CMake) as
# the host; the tree holding the build and its sources is shared read-write at the same absolute
# path, so CTest's absolute paths hold in the guest. The guest sets up Wine (prefix, X display,
# one long-running Wine program that keeps the session up), starts the printers and runs
#   ctest --test-dir BUILD_DIR --timeout S [CTEST ARGUMENTS...]
# Its output streams here through the guest's serial console; this script exits with ctest's
# exit status, 124 when the time limit ran out and 125 when the tests could not be run (a package
# or the guest's kernel could not be had, the guest did not come up or gave no result).
#
# Build first: the guest caches the shared tree, and changes made on the host after it booted are
# not seen there.
#
# Kept in BUILD_DIR/emulated-pc/: the kernel and initramfs (made once per kernel version), the
# 32-bit Wine prefix as a tar (creating one in the guest takes minutes; unpacking it seconds), and
# run/ with the last run's serial log, ctest output, exit status and timings.
#
# Environment: variables named LVX_*, CTEST_* and GTEST_* are passed on to the guest's tests.
set -euo pipefail

script=$(readlink -f "${BASH_SOURCE[0]}")

# Kernel modules the guest needs for its file systems, loaded with their dependencies.
guest_modules=(virtio_pci 9pnet_virtio 9p overlay)
# One mount option set for both 9p shares. cache=loose: with cache=mmap, Wine maps program images
# from the share whose pages read as zeros.
share_options=trans=virtio,version=9p2000.L,msize=512000,cache=loose

say() { echo "emulated-pc: $*" >&2; }
die() {
  say "$*"
  exit 125
}
now() { date +%s.%N; }
seconds_since() { awk -v a="$1" -v b="$(now)" 'BEGIN { printf "%.1f", b - a }'; }

###################################################################################################
# Guest part: runs inside the emulated PC (started by the initramfs's init, see write_init below).
###################################################################################################

guest_note() { echo "emulated-pc guest: $*"; }

# Appends "name seconds" to the run's timings and says it.
guest_timing() {
  echo "$1 $2" >>"$run/timings"
  guest_note "$1: $2 s"
}

# The 32-bit Wine prefix: unpacked from the tar of an earlier run made with the same Wine, else
# created (through wine-run, with all its settings) and kept as a tar for the next runs.
guest_prefix() {
  local tar=$cache/wineprefix.tar version_file=$cache/wineprefix.wine-version
  local wine_version start
  wine_version=$(wine --version 2>/dev/null || true)
  mkdir -p "$(dirname "$LVX_WINEPREFIX")"
  start=$(now)
  if [ -f "$tar" ] && [ "$(cat "$version_file" 2>/dev/null)" = "$wine_version" ]; then
    tar -xf "$tar" -C "$(dirname "$LVX_WINEPREFIX")"
    guest_timing prefix-restore "$(seconds_since "$start")"
    return
  fi
  guest_note "creating the Wine prefix ($wine_version); slow in an emulated PC, done once"
  "$build_dir/wine-run" cmd /c exit || guest_note "wine-run failed while creating the prefix"
  # Stop the session so that the registry is written out, and keep the prefix for later runs.
  WINEPREFIX=$LVX_WINEPREFIX wineserver -k 2>/dev/null || true
  WINEPREFIX=$LVX_WINEPREFIX wineserver -w 2>/dev/null || true
  guest_timing prefix-create "$(seconds_since "$start")"
  if [ ! -f "$LVX_WINEPREFIX/.lumivex-ready" ]; then
    guest_note "the Wine prefix was not completed; not keeping it"
    return
  fi
  start=$(now)
  tar -cf "$tar.part" -C "$(dirname "$LVX_WINEPREFIX")" "$(basename "$LVX_WINEPREFIX")"
  mv "$tar.part" "$tar"
  echo "$wine_version" >"$version_file"
  guest_timing prefix-save "$(seconds_since "$start")"
}

# One Wine program with a hidden window that stays for the whole run (keep-session.exe, built by the
# host part). Without it every test program would start the Wine session (wineboot, services, the
# desktop process) again: 20 to 60 s each here instead of 2 to 3 s. It starts the desktop process
# (explorer) itself and waits until that is ready, however long it takes: a program that makes a
# window while the desktop process is not up starts it too, but waits only a short time and then
# gets no window at all ("The explorer process failed to start"), which happened here on a busy
# machine. Should the session program still miss it, it says so and stays a while, and the next
# attempt finds the desktop process up. Its output, and Wine's errors of the processes it starts,
# go to run/session-N.log.
session_pid=
guest_session() {
  local attempt log
  for attempt in 1 2 3 4 5; do
    log=$run/session-$attempt.log
    WINEPREFIX=$LVX_WINEPREFIX WINEARCH=win32 DISPLAY=$display WINEDEBUG=err+all,fixme-all \
      wine "$cache/keep-session.exe" >"$log" 2>&1 </dev/null &
    session_pid=$!
    while kill -0 "$session_pid" 2>/dev/null && ! grep -qE '^(ready|failed)' "$log"; do
      sleep 0.5
    done
    if grep -q '^ready' "$log"; then return 0; fi
    guest_note "session program, attempt $attempt: $(grep -m 1 '^failed' "$log" || echo ended)"
  done
  return 1
}

# Says whether the session program is still there (when it is not, the tests ran without it).
guest_session_check() {
  if [ -n "$session_pid" ] && ! kill -0 "$session_pid" 2>/dev/null; then
    guest_note "the session program ended $1 (see $run/session-*.log)"
  fi
}

# The configuration (written by the host part below) sets build_dir, source_dir, cache, display,
# test_timeout, run_command, host_name and ctest_args.
# shellcheck disable=SC2154
guest_main() {
  run=$1
  # shellcheck source=/dev/null
  source "$run/config"
  export PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin
  export HOME=/root USER=root LOGNAME=root LANG=C.UTF-8 TERM=dumb
  guest_timing boot "$(cut -d' ' -f1 /proc/uptime)"
  guest_note "up: $(uname -sr), $(nproc) processors, $(free -m | awk '/^Mem:/ { print $2 }') MB"

  # No network: the host name must still resolve (Wine and CUPS look it up).
  hostname "$host_name" 2>/dev/null || true
  printf '127.0.0.1\tlocalhost\n127.0.1.1\t%s\n::1\tlocalhost ip6-localhost\n' "$host_name" \
    >/etc/hosts

  # Wine as wine-run.sh uses it, with the prefix in guest memory and no desktop menu entries.
  export LVX_WINEPREFIX=/tmp/emulated-pc/wineprefix LVX_DISPLAY=$display
  export WINEDEBUG=${WINEDEBUG:--all}
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

  # Printers for the print tests, started meanwhile (they only need to be there before the tests).
  local printers_pid='' start
  if [ -f "$source_dir/scripts/start-printer.sh" ] && command -v cupsd >/dev/null; then
    start=$(now)
    (
      rc=0
      bash "$source_dir/scripts/start-printer.sh" || rc=$?
      guest_timing printers "$(seconds_since "$start")"
      exit $rc
    ) &
    printers_pid=$!
  fi

  guest_prefix

  # The X display, a persistent wineserver and a first session (wine-run's warm-up), then the
  # session program for the whole run.
  start=$(now)
  "$build_dir/wine-run" cmd /c exit || guest_note "Wine did not start: the tests will fail"
  guest_session || guest_note "the session program got no window: tests that make windows may fail"
  export LVX_WINE_WARM=1
  guest_timing wine-session "$(seconds_since "$start")"

  if [ -n "$printers_pid" ] && ! wait "$printers_pid"; then
    guest_note "the printers did not start: the print tests will fail"
  fi
  guest_session_check "before the tests"

  start=$(now)
  local rc=0
  if [ -n "$run_command" ]; then
    bash -c "$run_command" 2>&1 | tee "$run/command.log" || rc=${PIPESTATUS[0]}
    guest_timing command "$(seconds_since "$start")"
    echo "$rc" >"$run/exit-status"
    return
  fi
  ctest --test-dir "$build_dir" --timeout "$test_timeout" "${ctest_args[@]}" 2>&1 |
    tee "$run/ctest.log" || rc=${PIPESTATUS[0]}
  guest_timing ctest "$(seconds_since "$start")"
  guest_session_check "during the tests"
  echo "$rc" >"$run/exit-status"
  sync
}

if [ "${1:-}" = --guest ]; then
  guest_main "$2"
  exit 0
fi

###################################################################################################
# Host part.
###################################################################################################

usage() {
  sed -n '/^#   scripts/,/^#  *the tests; wine-run/p' "$script" | sed 's/^# \{0,1\}//' >&2
  exit 2
}

accel=auto
overall_timeout=7200
test_timeout=1500
memory=3G
smp=2
run_command=
while [ $# -gt 0 ]; do
  case $1 in
    --tcg) accel=tcg ;;
    --kvm) accel=kvm ;;
    --timeout) overall_timeout=$2; shift ;;
    --test-timeout) test_timeout=$2; shift ;;
    --memory) memory=$2; shift ;;
    --smp) smp=$2; shift ;;
    --run) run_command=$2; shift ;;
    -h | --help) usage ;;
    --) shift; break ;;
    -*) usage ;;
    *) break ;;
  esac
  shift
done
[ $# -ge 1 ] || usage
[ -d "$1" ] || die "no build tree at $1"
build_dir=$(readlink -f "$1")
shift
ctest_args=("$@")

[ -f "$build_dir/CMakeCache.txt" ] || die "$build_dir is not a CMake build tree (configure and build it first)"
cache_value() { sed -n "s/^$1:[A-Z]*=//p" "$build_dir/CMakeCache.txt" | head -n 1; }
source_dir=$(readlink -f "$(cache_value CMAKE_HOME_DIRECTORY)")
display=$(cache_value LVX_DISPLAY)
display=${display:-:77}
if [ ! -x "$build_dir/wine-run" ]; then
  die "$build_dir has no wine-run: not a Windows build tree"
fi

if grep -q 'LVX_WINE_ARCH=win64' "$build_dir/wine-run"; then
  die "$build_dir is a 64-bit build: it runs under 64-bit Wine here, no emulated PC needed"
fi

# The shared read-write tree: the deepest folder holding both the sources and the build.
share=$source_dir
while [ "$share" != / ] && [[ $build_dir/ != "$share"/* ]]; do share=$(dirname "$share"); done
[ "$share" != / ] || die "the sources ($source_dir) and the build ($build_dir) share no folder below /"
for path in "$share" "$build_dir" "$script"; do
  # Paths travel on the kernel command line and in the guest's configuration.
  [[ $path != *[[:space:]]* ]] || die "paths with white space are not supported: $path"
done

cache=$build_dir/emulated-pc
run=$cache/run
mkdir -p "$cache"

as_root=()
if [ "$(id -u)" -ne 0 ]; then as_root=(sudo); fi

apt_install() {
  say "installing $*"
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq \
    -o DPkg::Lock::Timeout=1200 --no-install-recommends "$@" >/dev/null
}
installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

missing=()
installed qemu-system-x86 || missing+=(qemu-system-x86)
# The static busybox: the initramfs has no libraries.
installed busybox-static || missing+=(busybox-static)
if [ ${#missing[@]} -gt 0 ]; then
  apt_install "${missing[@]}" || {
    "${as_root[@]}" apt-get update -qq -o DPkg::Lock::Timeout=1200
    apt_install "${missing[@]}"
  } || die "cannot install ${missing[*]}"
fi

# The kernel package linux-image-amd64 points at, e.g. linux-image-6.1.0-57-amd64.
kernel_package() {
  apt-cache depends linux-image-amd64 2>/dev/null |
    awk '$1 == "Depends:" && $2 ~ /^linux-image-/ { print $2; exit }'
}
kernel_pkg=$(kernel_package)
if [ -z "$kernel_pkg" ]; then
  "${as_root[@]}" apt-get update -qq -o DPkg::Lock::Timeout=1200 || die "apt-get update failed"
  kernel_pkg=$(kernel_package)
fi
[ -n "$kernel_pkg" ] || die "apt knows no linux-image-amd64 package"
kernel_version=$(apt-cache show --no-all-versions "$kernel_pkg" | sed -n 's/^Version: //p' | head -n 1)
kernel_dir=$cache/kernel-${kernel_pkg#linux-image-}-$kernel_version

# The guest's first program. Kept here so that a change to it makes a new initramfs.
write_init() {
  cat <<'INIT'
#!/bin/busybox sh
# First program of the emulated PC (made by scripts/emulated-pc.sh): loads the file-sharing
# modules, makes the root file system (the host's / read-only under a tmpfs overlay, the shared
# tree read-write at its own path), runs the guest part of emulated-pc.sh in it and powers off.
/bin/busybox mkdir -p /proc /sys /dev /sbin /usr/bin /usr/sbin
/bin/busybox --install -s
export PATH=/bin:/sbin:/usr/bin:/usr/sbin
mount -t devtmpfs devtmpfs /dev
exec </dev/console >/dev/console 2>&1
mount -t proc proc /proc
mount -t sysfs sysfs /sys

say() { echo "emulated-pc init: $*"; }
power_off() {
  sync
  poweroff -f
}
fail() {
  say "FAILED: $*"
  power_off
}

for arg in $(cat /proc/cmdline); do
  case $arg in
    lvx.share=*) share=${arg#lvx.share=} ;;
    lvx.script=*) script=${arg#lvx.script=} ;;
    lvx.run=*) run=${arg#lvx.run=} ;;
    lvx.options=*) options=${arg#lvx.options=} ;;
  esac
done

while read -r module; do
  insmod "/modules/$module.ko" || fail "cannot load module $module"
done </modules/order

mkdir -p /host /upper /newroot
mount -t 9p -o "$options,ro" root /host || fail "cannot mount the host's root file system"
mount -t tmpfs -o mode=0755 tmpfs /upper
mkdir -p /upper/data /upper/work
mount -t overlay -o lowerdir=/host,upperdir=/upper/data,workdir=/upper/work overlay /newroot ||
  fail "cannot put the overlay over the host's root file system"
mount -t 9p -o "$options" work "/newroot$share" || fail "cannot mount the shared tree at $share"

mount -t proc proc /newroot/proc
mount -t sysfs sysfs /newroot/sys
mount -t devtmpfs devtmpfs /newroot/dev
mkdir -p /newroot/dev/pts /newroot/dev/shm
mount -t devpts -o gid=5,mode=620,ptmxmode=666 devpts /newroot/dev/pts
mount -t tmpfs -o mode=1777 tmpfs /newroot/dev/shm
# Bash's process substitution needs /dev/fd.
ln -sfn /proc/self/fd /newroot/dev/fd
ln -sfn /proc/self/fd/0 /newroot/dev/stdin
ln -sfn /proc/self/fd/1 /newroot/dev/stdout
ln -sfn /proc/self/fd/2 /newroot/dev/stderr
mount -t tmpfs -o mode=1777 tmpfs /newroot/tmp
mount -t tmpfs -o mode=1777 tmpfs /newroot/var/tmp
mount -t tmpfs -o mode=0755 tmpfs /newroot/run
mkdir -p /newroot/run/lock
mount -t tmpfs -o mode=0700 tmpfs /newroot/root
ip link set lo up

chroot /newroot /bin/bash "$script" --guest "$run"
say "guest part ended with status $?"
kill -TERM -1 2>/dev/null
sleep 1
kill -KILL -1 2>/dev/null
sync
umount "/newroot$share" || say "could not unmount the shared tree"
power_off
INIT
}

# The kernel and an initramfs with busybox, init and the modules, made once per kernel version and
# init: `apt-get download` and `dpkg-deb -x`, nothing is installed into /boot. Everything is made
# in a work folder first; the kernel of an earlier run is replaced only once the new one is
# complete, so a failed fetch (no network, a mirror without that version) leaves it usable. Any
# failure ends the script with 125 and leaves no work folder behind.
kernel_work=
kernel_failed() {
  rm -rf "$kernel_work"
  die "cannot make the guest's kernel: $*"
}
make_kernel() {
  local work deb root release modules_dir
  work=$(mktemp -d "$cache/kernel-work.XXXXXX") || die "cannot make a work folder in $cache"
  kernel_work=$work
  trap 'rm -rf "$kernel_work"' EXIT
  # apt fetches as its own user, which must be able to write here.
  chmod 0777 "$work"
  say "fetching $kernel_pkg $kernel_version"
  (cd "$work" && apt-get download -q "$kernel_pkg=$kernel_version" >"$work/download.log" 2>&1) ||
    kernel_failed "apt-get download $kernel_pkg=$kernel_version failed: $(tail -n 1 "$work/download.log")"
  deb=$(ls "$work"/*.deb 2>/dev/null) || kernel_failed "apt-get download gave no package"
  dpkg-deb -x "$deb" "$work/package" || kernel_failed "dpkg-deb cannot unpack $deb"
  release=$(ls "$work/package/lib/modules")
  modules_dir=$work/package/lib/modules/$release
  root=$work/initramfs
  mkdir -p "$root/bin" "$root/modules" "$root/dev"
  cp /bin/busybox "$root/bin/busybox" || kernel_failed "no /bin/busybox"
  write_init >"$root/init"
  chmod 0755 "$root/init"

  # Each module after the modules it depends on (the "depends=" entry of its .modinfo section,
  # which is what modules.dep lists; that file is made at installation only).
  local -A done_modules=()
  add_module() {
    local name=$1 file dep
    [ -z "${done_modules[$name]:-}" ] || return 0
    done_modules[$name]=1
    file=$(find "$modules_dir/kernel" -name "$name.ko*" -o -name "${name//_/-}.ko*" | head -n 1)
    if [ -z "$file" ]; then
      grep -q "/${name}.ko" "$modules_dir/modules.builtin" && return 0
      kernel_failed "kernel $release has no module $name"
    fi
    for dep in $(tr '\0' '\n' <"$file" | sed -n 's/^depends=//p' | tr ',' ' '); do
      add_module "$dep"
    done
    case $file in
      *.ko) cp "$file" "$root/modules/$name.ko" ;;
      *.ko.xz) xz -dc "$file" >"$root/modules/$name.ko" ;;
      *.ko.zst) zstd -qdc "$file" >"$root/modules/$name.ko" ;;
      *) false ;;
    esac || kernel_failed "cannot unpack module $file"
    echo "$name" >>"$root/modules/order"
  }
  : >"$root/modules/order"
  local module
  for module in "${guest_modules[@]}"; do add_module "$module"; done

  local cpio=(cpio)
  command -v cpio >/dev/null || cpio=(busybox cpio)
  (cd "$root" && find . | LC_ALL=C sort | "${cpio[@]}" -o -H newc 2>/dev/null) | gzip -1 \
    >"$work/initrd.img" || kernel_failed "cannot pack the initramfs"
  mkdir -p "$work/kernel"
  cp "$work/package/boot/vmlinuz-$release" "$work/kernel/vmlinuz" ||
    kernel_failed "the package has no boot/vmlinuz-$release"
  mv "$work/initrd.img" "$work/kernel/initrd.img"
  echo "$init_hash" >"$work/kernel/init.sha256"
  # Complete: now the new kernel takes the place of the old ones.
  rm -rf "$kernel_dir"
  mv "$work/kernel" "$kernel_dir"
  rm -rf "$work"
  kernel_work=
  trap - EXIT
  for old in "$cache"/kernel-*; do
    [ "$old" = "$kernel_dir" ] || rm -rf "$old"
  done
  say "kernel $release and its initramfs are in $kernel_dir"
}

init_hash=$( (write_init; printf '%s\n' "${guest_modules[@]}") | sha256sum | cut -d' ' -f1)
if [ "$(cat "$kernel_dir/init.sha256" 2>/dev/null)" != "$init_hash" ]; then
  make_kernel
fi

# The session program of the guest (see guest_session): a hidden window and a message loop.
write_keep_session() {
  cat <<'PROGRAM'
/* Keeps a Wine session up for a whole test run in the emulated PC (made by emulated-pc.sh). */
#include <windows.h>
#include <stdio.h>

int main(void) {
  WNDCLASSA windowClass = {0};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(NULL);
  windowClass.lpszClassName = "LvxKeepSession";
  if (!RegisterClassA(&windowClass)) {
    printf("failed: RegisterClassA, error %lu\n", GetLastError());
    return 1;
  }
  /* The desktop process first, waited for as long as it takes: a window made before it is up
     starts it too, but waits for it only a short time and fails when it is slower. */
  STARTUPINFOA startup = {0};
  PROCESS_INFORMATION desktop = {0};
  char commandLine[] = "C:\\windows\\system32\\explorer.exe /desktop";
  startup.cb = sizeof startup;
  if (CreateProcessA(NULL, commandLine, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &desktop)) {
    DWORD waited = WaitForInputIdle(desktop.hProcess, 600000);
    printf("desktop process: %s\n", waited == 0 ? "idle" : "not idle (ended, or already running)");
    CloseHandle(desktop.hThread);
    CloseHandle(desktop.hProcess);
  } else {
    printf("desktop process: not started (error %lu)\n", GetLastError());
  }
  /* Never shown: it only keeps this program a user of the desktop. */
  HWND window = CreateWindowA("LvxKeepSession", "keep session", WS_OVERLAPPEDWINDOW, 0, 0, 10, 10,
                              NULL, NULL, windowClass.hInstance, NULL);
  if (!window) {
    printf("failed: no window (error %lu); the desktop process was not up in time\n",
           GetLastError());
    fflush(stdout);
    /* Stay a while, so that the desktop process this start asked for finishes starting. */
    Sleep(60000);
    return 1;
  }
  printf("ready\n");
  fflush(stdout);
  MSG message;
  while (GetMessageA(&message, NULL, 0, 0) > 0) DispatchMessageA(&message);
  return 0;
}
PROGRAM
}
if ! cmp -s <(write_keep_session) "$cache/keep-session.c" || [ ! -f "$cache/keep-session.exe" ]; then
  write_keep_session >"$cache/keep-session.c"
  i686-w64-mingw32-gcc -O2 -Wall -static -o "$cache/keep-session.exe" "$cache/keep-session.c" ||
    die "cannot build the session program with i686-w64-mingw32-gcc"
fi

# The accelerator: KVM when asked or usable, otherwise TCG with the settings 32-bit Wine needs.
# Some hosts' /dev/kvm runs only guests made for it (kvm_pvm: paravirtualised nesting); a stock
# kernel does not boot there.
kvm_usable() {
  [ -c /dev/kvm ] && [ -r /dev/kvm ] && [ -w /dev/kvm ] && [ ! -d /sys/module/kvm_pvm ]
}
fallback=
if [ "$accel" = kvm ] && ! kvm_usable; then
  die "--kvm: /dev/kvm is missing, not usable or runs only paravirtualised guests (kvm_pvm)"
fi
if [ "$accel" = auto ]; then
  if kvm_usable; then
    accel=kvm
    fallback=tcg
  else
    accel=tcg
  fi
fi

# The run's folder on the shared tree: the guest's configuration, its results and logs.
rm -rf "$run"
mkdir -p "$run"
{
  printf 'build_dir=%q\nsource_dir=%q\ncache=%q\ndisplay=%q\n' \
    "$build_dir" "$source_dir" "$cache" "$display"
  printf 'test_timeout=%q\nrun_command=%q\nhost_name=%q\n' \
    "$test_timeout" "$run_command" "$(hostname)"
  declare -p ctest_args
  for name in $(compgen -e); do
    case $name in
      LVX_WINEPREFIX | LVX_WINE_WARM | LVX_DISPLAY) ;;
      LVX_* | CTEST_* | GTEST_*) printf 'export %s=%q\n' "$name" "${!name}" ;;
    esac
  done
} >"$run/config"
serial=$run/serial.log

qemu_pid=
stop_qemu() {
  if [ -n "$qemu_pid" ] && kill -0 "$qemu_pid" 2>/dev/null; then
    kill "$qemu_pid" 2>/dev/null || true
    for _ in $(seq 50); do
      kill -0 "$qemu_pid" 2>/dev/null || break
      sleep 0.1
    done
    kill -KILL "$qemu_pid" 2>/dev/null || true
  fi
}
trap stop_qemu EXIT
trap 'say "interrupted: qemu stopped"; stop_qemu; exit 130' INT TERM

past() { awk -v e="$1" -v l="$2" 'BEGIN { exit !(e > l) }'; }

# Boots the PC, streams its console here and waits until it powers off, or a limit runs out (then
# stops qemu, by its process id). Sets booted (seconds from start to the guest script, or empty)
# and outcome (empty when the guest ended by itself).
boot_guest() {
  local accel_options boot_limit elapsed streamer_pid stopped_outside=
  if [ "$accel" = kvm ]; then
    accel_options=(-accel kvm -cpu host)
    boot_limit=120
  else
    # smap=off: with SMAP, qemu's TCG treats the 32-bit user-mode iret of Wine's 32-bit ntdll as a
    # supervisor access and the guest kernel oopses. tsc: every time query through the emulated
    # HPET would make Wine several times slower.
    # shellcheck disable=SC2054
    accel_options=(-accel tcg,thread=multi,tb-size=1024 -cpu max,smap=off,la57=off)
    # Boot to the guest script takes 5 to 15 s under TCG on a quiet machine.
    boot_limit=900
  fi
  rm -f "$run/timings" "$run/exit-status"
  : >"$serial"
  say "booting $kernel_pkg ($accel, $smp processors, $memory); shared read-write: $share"
  started=$(now)
  qemu-system-x86_64 "${accel_options[@]}" -machine q35 -smp "$smp" -m "$memory" \
    -display none -vga none -nic none -no-reboot -monitor none -parallel none \
    -serial "file:$serial" \
    -kernel "$kernel_dir/vmlinuz" -initrd "$kernel_dir/initrd.img" \
    -append "console=ttyS0 tsc=reliable clocksource=tsc quiet panic=-1 lvx.share=$share lvx.script=$script lvx.run=$run lvx.options=$share_options" \
    -virtfs local,path=/,mount_tag=root,security_model=none,readonly=on,multidevs=remap \
    -virtfs "local,path=$share,mount_tag=work,security_model=none,multidevs=remap" \
    </dev/null >"$run/qemu.out" 2>&1 &
  qemu_pid=$!
  # The guest's console as it comes (the serial line ends its lines with CR LF).
  tail -n +1 -f --pid="$qemu_pid" "$serial" | sed -u 's/\r$//' &
  streamer_pid=$!

  booted=
  outcome=
  while kill -0 "$qemu_pid" 2>/dev/null; do
    elapsed=$(seconds_since "$started")
    if [ -z "$booted" ] && grep -q '^emulated-pc guest: boot:' "$serial"; then
      booted=$elapsed
    fi
    if [ -z "$booted" ] && past "$elapsed" "$boot_limit"; then
      outcome="the guest did not come up within $boot_limit s"
      break
    fi
    if past "$elapsed" "$overall_timeout"; then
      outcome="the time limit of $overall_timeout s ran out"
      break
    fi
    # A process stopped from outside (SIGSTOP) makes no progress; say so if it ends this way.
    if [ "$(awk '{ print $3 }' "/proc/$qemu_pid/stat" 2>/dev/null)" = T ]; then
      stopped_outside=" (qemu was held stopped by a signal from outside, state T)"
    else
      stopped_outside=
    fi
    sleep 0.5
  done
  stop_qemu
  wait "$qemu_pid" 2>/dev/null || true
  wait "$streamer_pid" 2>/dev/null || true
  if [ -s "$run/qemu.out" ]; then sed 's/^/qemu: /' "$run/qemu.out" >&2; fi
  if [ -z "$booted" ] && [ -z "$outcome" ]; then outcome="the guest stopped before it came up"; fi
  if [ -n "$outcome" ]; then outcome+=$stopped_outside; fi
}

boot_guest
if [ -z "$booted" ] && [ -n "$fallback" ]; then
  say "KVM did not bring the guest up ($outcome); trying again with $fallback"
  accel=$fallback
  boot_guest
fi
total=$(seconds_since "$started")

say "timings (s): qemu start to guest script ${booted:-never}; whole run $total ($accel)"
if [ -f "$run/timings" ]; then
  while read -r name value; do say "  guest $name: $value"; done <"$run/timings"
fi
if [ -n "$outcome" ]; then
  say "FAILED: $outcome; qemu (pid $qemu_pid) was stopped. Serial log: $serial"
  case $outcome in *"time limit"*) exit 124 ;; *) exit 125 ;; esac
fi
if [ ! -f "$run/exit-status" ]; then
  say "FAILED: the guest ended without a result (see $serial)"
  exit 125
fi
status=$(cat "$run/exit-status")
say "exit status $status"
exit "$status"
