#!/bin/bash
# Runs the demonstration: ostrada.exe, the "VIEW PDF" window, with the stand-in viewer control,
# under Wine. Installs what is missing and builds first. The 32-bit program runs where this machine
# executes 32-bit code; elsewhere the 64-bit build of the same sources does (it says which).
#
#   scripts/demo.sh                 on your display ($DISPLAY) when one works; otherwise headless
#   scripts/demo.sh --headless [FILE.pdf]
#                                   on a virtual display: opens a PDF through File > Open, zooms to
#                                   the full width, shows an information box, closes the program,
#                                   and saves screenshots of each step
#   scripts/demo.sh --readme        headless, and refreshes the README's picture (docs/ostrada.png)
#
# Headless, the document is FILE.pdf, else a real one from the PDF corpus when the tests have built
# it (build/native/corpus), else a small sample of the tests. It is copied first into C:\Documents
# of the build's Wine prefix and opened from there, so the viewer's properties panel (and every
# picture) shows that folder rather than one of this machine. Screenshots go to out/screenshots/
# (or $LVX_SCREENSHOTS). LVX_DEMO_ARCH=win64 runs the 64-bit program where the 32-bit one could run.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

headless=0 readme=0 document=
for argument in "$@"; do
  case $argument in
    --headless) headless=1 ;;
    --readme) headless=1 readme=1 ;;
    -*) echo "usage: $0 [--headless [FILE.pdf] | --readme]" >&2; exit 2 ;;
    *) document=$(realpath "$argument") ;;
  esac
done

bash scripts/setup.sh
if [ "${LVX_DEMO_ARCH:-}" = win64 ]; then
  preset=windows64
  echo "demo: running the 64-bit ostrada (LVX_DEMO_ARCH=win64)" >&2
elif LVX_WINE_ARCH=win32 bash cmake/wine-run.sh --check 2>/tmp/lvx-demo-check.$$; then
  preset=windows
  echo "demo: running the 32-bit ostrada" >&2
else
  preset=windows64
  echo "demo: $(cat /tmp/lvx-demo-check.$$)" >&2
  echo "demo: running the 64-bit ostrada instead (the same sources, built for 64-bit Windows)" >&2
fi
rm -f /tmp/lvx-demo-check.$$
cmake --preset $preset >/dev/null
cmake --build --preset $preset -j"$(nproc)" --target ostrada Lumivex01 >/dev/null
program=build/$preset/bin/ostrada.exe
run=build/$preset/wine-run
"$run" --check || { echo "demo: ostrada.exe was built ($program) but cannot run here" >&2; exit 1; }

if [ $headless -eq 0 ] && [ -n "${DISPLAY:-}" ] && xdpyinfo -display "$DISPLAY" >/dev/null 2>&1; then
  echo "demo: running ostrada on $DISPLAY; close its window (or File > Exit) to end." >&2
  LVX_DISPLAY=$DISPLAY exec "$run" "$program"
fi

# Headless: a virtual display of this build tree (wine-run starts Xvfb there when needed).
display=$(sed -n 's/^LVX_DISPLAY:STRING=//p' build/$preset/CMakeCache.txt)
display=${display:-:77}
shots=${LVX_SCREENSHOTS:-$root/out/screenshots}
mkdir -p "$shots"
rm -f "$shots"/*.png
export DISPLAY=$display LVX_DISPLAY=$display
sample=$root/tests/demo/data/bar-text.pdf
corpus_sample=$root/build/native/corpus/files/real/gerbv--Assembly_Drawings.pdf
if [ -n "$document" ]; then
  sample=$document
elif [ -f "$corpus_sample" ]; then
  sample=$corpus_sample
fi
echo "demo: no usable display; running headless on $display, screenshots in $shots" >&2

"$run" "$program" &
runner=$!

wait_for() {  # wait_for NAME SECONDS: the id of the first window titled NAME
  local id=""
  for _ in $(seq $(($2 * 10))); do
    id=$(xdotool search --name "^$1\$" 2>/dev/null | head -1 || true)
    if [ -n "$id" ]; then echo "$id"; return 0; fi
    sleep 0.1
  done
  return 1
}
wait_for_dialog() {  # wait_for_dialog SECONDS: the id of a new visible window besides the main one
  local id name
  for _ in $(seq $(($1 * 10))); do
    for id in $(xdotool search --onlyvisible --name "." 2>/dev/null); do
      name=$(xdotool getwindowname "$id" 2>/dev/null || true)
      if [ "$id" != "$main" ] && [ -n "$name" ] && [ "$name" != "Default IME" ]; then
        echo "$id"
        return 0
      fi
    done
    sleep 0.1
  done
  return 1
}
stop() {  # ends the program (the Wine process under the runner), then the runner
  kill $(pgrep -P "$runner" 2>/dev/null) 2>/dev/null || true
  kill "$runner" 2>/dev/null || true
}
shot() {  # shot WINDOW FILE
  sleep 0.5
  import -display "$display" -window "$1" "$shots/$2" && echo "demo: saved $shots/$2" >&2
}
keys() { xdotool windowfocus --sync "$main" 2>/dev/null || true; xdotool key --delay 150 "$@"; }

if ! main=$(wait_for "VIEW PDF" 90); then  # a cold Wine session takes a while
  echo "demo: the VIEW PDF window did not appear" >&2
  stop
  exit 1
fi
shot "$main" 1-window.png

# The document in a neutral folder of the program's own C: drive (the prefix exists once the
# program runs).
prefix=${LVX_WINEPREFIX:-$root/build/$preset/wineprefix}
mkdir -p "$prefix/drive_c/Documents"
cp -f "$sample" "$prefix/drive_c/Documents/"
document_path="C:\\Documents\\$(basename "$sample")"

# File > Open: the file dialog, given the document's path as Wine sees it.
keys alt+f o
if dialog=$(wait_for_dialog 5); then
  xdotool type --delay 20 "$document_path"
  xdotool key Return
  sleep 1.5
  # File > Zoom > Full Width ("Zoom" has no mnemonic: reached with the arrow keys).
  keys alt+f Down Down Down Down Right w
  sleep 0.5
  shot "$main" 2-document.png
  # A larger window through the system menu's Size command (the arrow keys drag the frame): the
  # viewer follows in proportion.
  keys alt+space s $(printf 'Right %.0s' $(seq 40)) Return
  keys alt+space s $(printf 'Down %.0s' $(seq 30)) Return
  sleep 0.5
  shot "$main" 2-document-larger.png
  if [ $readme -eq 1 ]; then
    mkdir -p "$root/docs"
    cp "$shots/2-document-larger.png" "$root/docs/ostrada.png" && echo "demo: refreshed docs/ostrada.png" >&2
  fi
else
  echo "demo: File > Open showed no file dialog" >&2
fi

# Info > Document Text Length: a message box with the number.
keys alt+i d
sleep 1
import -display "$display" -window root "$shots/3-information-box.png" &&
  echo "demo: saved $shots/3-information-box.png" >&2
xdotool key Return
sleep 0.5

# File > Exit.
keys alt+f e
for _ in $(seq 100); do
  kill -0 "$runner" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$runner" 2>/dev/null; then
  echo "demo: ostrada did not end; stopping it" >&2
  stop
  exit 1
fi
wait "$runner" && echo "demo: ostrada ended with exit code 0" >&2
