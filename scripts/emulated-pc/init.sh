#!/bin/busybox sh
# shellcheck shell=sh
# First program of the emulated PC, /init of the initramfs that run.sh makes: loads the
# file-sharing modules, makes the root file system (the host's / read-only under a tmpfs overlay,
# the shared tree read-write at its own path), runs the guest part (guest.sh) in it and powers off.
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

# shellcheck disable=SC2013  # the command line is a list of words
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

chroot /newroot /bin/bash "$script" "$run"
say "guest part ended with status $?"
kill -TERM -1 2>/dev/null
sleep 1
kill -KILL -1 2>/dev/null
sync
umount "/newroot$share" || say "could not unmount the shared tree"
power_off
