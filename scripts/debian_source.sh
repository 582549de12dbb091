#!/bin/bash
# Fetches a Debian source package (the archive's signed index vouches for every file apt downloads)
# and unpacks it with Debian's patches applied, for building the library for Windows and for the
# native test and fuzz trees from the same code Debian ships.
#   scripts/debian_source.sh PACKAGE DESTINATION
# DESTINATION receives the unpacked tree (DESTINATION/source) and the package's version
# (DESTINATION/version). A destination that already holds a tree returns at once. Versions are
# tried newest first, since a mirror may already have dropped the newest's files; the deb-src
# entries come from scripts/setup.sh.
set -euo pipefail
package=${1:?usage: $0 PACKAGE DESTINATION}
destination=${2:?usage: $0 PACKAGE DESTINATION}
mkdir -p "$destination"
exec 9>"$destination.lock"
flock 9
[ -f "$destination/version" ] && [ -d "$destination/source" ] && exit 0

mapfile -t versions < <(apt-cache showsrc "$package" 2>/dev/null | sed -n 's/^Version: //p' |
                        sort -u -r -V)
if [ ${#versions[@]} -eq 0 ]; then
  echo "debian_source: no source package '$package': run scripts/setup.sh (it adds deb-src)" >&2
  exit 1
fi
download=$(mktemp -d "$destination.download.XXXXXX")
trap 'rm -rf "$download"' EXIT
for version in "${versions[@]}"; do
  rm -rf "${download:?}"/*
  if (cd "$download" && apt-get source -qq --download-only "$package=$version" >/dev/null 2>&1); then
    dsc=$(ls "$download"/*.dsc)
    rm -rf "$destination/source"
    dpkg-source --quiet -x "$dsc" "$destination/source" >/dev/null 2>&1 || {
      echo "debian_source: unpacking $package $version failed" >&2
      exit 1
    }
    echo "$version" > "$destination/version"
    exit 0
  fi
done
echo "debian_source: none of the versions of '$package' (${versions[*]}) could be downloaded" >&2
exit 1
