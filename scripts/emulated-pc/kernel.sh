#!/bin/bash
# The guest's kernel and initramfs, sourced by run.sh: Debian's own kernel (the package
# linux-image-amd64 points at) and a tiny initramfs with busybox, init.sh as /init and the modules
# of the guest's file systems, made once per kernel version and init in
#   CACHE/kernel-RELEASE-VERSION/{vmlinuz,initrd.img,init.sha256}
# with `apt-get download` and `dpkg-deb -x`; nothing is installed into /boot.
#
# Uses from run.sh: cache, say, die and as_root. Sets kernel_pkg and kernel_dir.
# shellcheck disable=SC2154  # cache and as_root are run.sh's

# Kernel modules the guest needs for its file systems, loaded with their dependencies.
guest_modules=(virtio_pci 9pnet_virtio 9p overlay)
init_script=$(dirname "${BASH_SOURCE[0]}")/init.sh

# The kernel package linux-image-amd64 points at, e.g. linux-image-6.1.0-57-amd64.
kernel_package() {
  apt-cache depends linux-image-amd64 2>/dev/null |
    awk '$1 == "Depends:" && $2 ~ /^linux-image-/ { print $2; exit }'
}

# Makes the kernel folder in a work folder and puts it in place only once complete; a kernel of
# an earlier run is removed only then. Runs in a subshell of its own: any failure says why, removes
# the work folder and ends the subshell with 1, leaving the kernels that were there.
make_kernel() (
  work=$(mktemp -d "$cache/kernel-work.XXXXXX") || exit 1
  trap 'rm -rf "$work"' EXIT
  failed() {
    say "cannot make the guest's kernel: $*"
    exit 1
  }
  # apt fetches as its own user, which must be able to write here.
  chmod 0777 "$work"
  say "fetching $kernel_pkg $kernel_version"
  (cd "$work" && apt-get download -q "$kernel_pkg=$kernel_version" >"$work/download.log" 2>&1) ||
    failed "apt-get download $kernel_pkg=$kernel_version: $(tail -n 1 "$work/download.log")"
  deb=$(ls "$work"/*.deb 2>/dev/null) || failed "apt-get download gave no package"
  dpkg-deb -x "$deb" "$work/package" || failed "dpkg-deb cannot unpack $deb"
  release=$(ls "$work/package/lib/modules")
  modules_dir=$work/package/lib/modules/$release
  root=$work/initramfs
  mkdir -p "$root/bin" "$root/modules" "$root/dev" "$work/kernel" || failed "no room in $work"
  cp /bin/busybox "$root/bin/busybox" || failed "no /bin/busybox"
  install -m 0755 "$init_script" "$root/init" || failed "cannot copy $init_script"

  # Each module after the modules it depends on (the "depends=" entry of its .modinfo section,
  # which is what modules.dep lists; that file is made at installation only).
  declare -A done_modules=()
  add_module() {
    local name=$1 file dep
    [ -z "${done_modules[$name]:-}" ] || return 0
    done_modules[$name]=1
    file=$(find "$modules_dir/kernel" -name "$name.ko*" -o -name "${name//_/-}.ko*" | head -n 1)
    if [ -z "$file" ]; then
      grep -q "/${name}.ko" "$modules_dir/modules.builtin" && return 0
      failed "kernel $release has no module $name"
    fi
    for dep in $(tr '\0' '\n' <"$file" | sed -n 's/^depends=//p' | tr ',' ' '); do
      add_module "$dep"
    done
    case $file in
      *.ko) cp "$file" "$root/modules/$name.ko" ;;
      *.ko.xz) xz -dc "$file" >"$root/modules/$name.ko" ;;
      *.ko.zst) zstd -qdc "$file" >"$root/modules/$name.ko" ;;
      *) false ;;
    esac || failed "cannot unpack module $file"
    echo "$name" >>"$root/modules/order"
  }
  : >"$root/modules/order"
  for module in "${guest_modules[@]}"; do add_module "$module"; done

  cpio=(cpio)
  command -v cpio >/dev/null || cpio=(busybox cpio)
  (cd "$root" && find . | LC_ALL=C sort | "${cpio[@]}" -o -H newc 2>/dev/null) | gzip -1 \
    >"$work/kernel/initrd.img" || failed "cannot pack the initramfs"
  cp "$work/package/boot/vmlinuz-$release" "$work/kernel/vmlinuz" ||
    failed "the package has no boot/vmlinuz-$release"
  echo "$init_hash" >"$work/kernel/init.sha256"

  # Complete: the new kernel takes the place of the earlier ones.
  rm -rf "$kernel_dir"
  mv "$work/kernel" "$kernel_dir" || failed "cannot move the kernel to $kernel_dir"
  for old in "$cache"/kernel-*; do
    [ "$old" = "$kernel_dir" ] || [ "$old" = "$work" ] || rm -rf "$old"
  done
  say "kernel $release and its initramfs are in $kernel_dir"
)

# A complete kernel folder of an earlier run made with this init, or nothing.
earlier_kernel() {
  local dir
  for dir in "$cache"/kernel-*; do
    [[ $dir != */kernel-work.* ]] || continue
    if [ "$(cat "$dir/init.sha256" 2>/dev/null)" = "$init_hash" ] && [ -s "$dir/vmlinuz" ] &&
      [ -s "$dir/initrd.img" ]; then
      echo "$dir"
      return
    fi
  done
}

# Sets kernel_pkg and kernel_dir to a kernel ready to boot, made now when needed. When the kernel
# that linux-image-amd64 now names cannot be had, a complete one of an earlier run is used; with
# neither the script ends with 125.
prepare_kernel() {
  kernel_pkg=$(kernel_package)
  if [ -z "$kernel_pkg" ]; then
    "${as_root[@]}" apt-get update -qq -o DPkg::Lock::Timeout=1200 || say "apt-get update failed"
    kernel_pkg=$(kernel_package)
  fi
  init_hash=$( (cat "$init_script"; printf '%s\n' "${guest_modules[@]}") | sha256sum | cut -d' ' -f1)
  local earlier
  if [ -n "$kernel_pkg" ]; then
    kernel_version=$(apt-cache show --no-all-versions "$kernel_pkg" | sed -n 's/^Version: //p' |
      head -n 1)
    kernel_dir=$cache/kernel-${kernel_pkg#linux-image-}-$kernel_version
    if [ "$(cat "$kernel_dir/init.sha256" 2>/dev/null)" = "$init_hash" ] || make_kernel; then
      return
    fi
  else
    say "apt knows no linux-image-amd64 package"
  fi
  earlier=$(earlier_kernel)
  [ -n "$earlier" ] || die "no kernel for the guest: none could be fetched and none was kept"
  kernel_dir=$earlier
  kernel_pkg=linux-image-${earlier#"$cache"/kernel-}
  say "using the kernel of an earlier run instead: $kernel_dir"
}
