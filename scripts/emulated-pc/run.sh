#!/bin/bash
# Runs the tests of a 32-bit Windows build tree inside an emulated PC, for machines whose kernel
# executes no 32-bit code (IA-32 emulation off), where 32-bit Wine cannot start at all:
#
#   scripts/emulated-pc.sh [OPTIONS] BUILD_DIR [CTEST ARGUMENTS...]
#   (scripts/emulated-pc/run.sh, the host part, with the same arguments)
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
# not seen there. The build also makes bin/keep-session.exe, which the guest keeps running.
#
# The parts, in scripts/emulated-pc/: run.sh (this host part: options, packages, the run's
# configuration, booting qemu and reporting), kernel.sh (the guest's kernel and initramfs),
# init.sh (the initramfs's /init: file systems, then guest.sh) and guest.sh (inside the guest:
# Wine, printers, ctest).
#
# Kept in BUILD_DIR/emulated-pc/: the kernel and initramfs (made once per kernel version), the
# 32-bit Wine prefix as a tar (creating one in the guest takes minutes; unpacking it seconds), and
# run/ with the last run's serial log, ctest output, exit status and timings.
#
# Environment: variables named LVX_*, CTEST_* and GTEST_* are passed on to the guest's tests, and
# CI: the tests treat missing printers as a failure under CI, so the guest must know it.
set -euo pipefail

here=$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")
guest_script=$here/guest.sh
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

usage() {
  sed -n '/^#   scripts/,/^#  *the tests; wine-run/p' "${BASH_SOURCE[0]}" | sed 's/^# \{0,1\}//' >&2
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
# The guest mounts file systems of its own over these (init.sh): a tree below them is hidden there.
case $share/ in
  /tmp/* | /var/tmp/* | /run/* | /root/* | /dev/* | /proc/* | /sys/*)
    die "the sources and the build ($share) must not be below /tmp, /var/tmp, /run, /root, /dev, /proc or /sys: the guest mounts its own file systems there"
    ;;
esac
for path in "$share" "$build_dir" "$guest_script"; do
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

# shellcheck source=scripts/emulated-pc/kernel.sh
source "$here/kernel.sh"
prepare_kernel

# The session program the guest keeps running (tests/support/keep_session.c), built with the tree.
[ -f "$build_dir/bin/keep-session.exe" ] ||
  die "$build_dir has no bin/keep-session.exe: build the tree first (it is part of the tests)"

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
      LVX_* | CTEST_* | GTEST_* | CI) printf 'export %s=%q\n' "$name" "${!name}" ;;
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
    -append "console=ttyS0 tsc=reliable clocksource=tsc quiet panic=-1 lvx.share=$share lvx.script=$guest_script lvx.run=$run lvx.options=$share_options" \
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
