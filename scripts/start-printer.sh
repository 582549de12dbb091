#!/bin/bash
# Makes real printers available to the Windows programs under Wine: starts the CUPS scheduler when
# it is not running and sets up two cups-pdf queues, "PDF" (the default printer) and "PDF2" (a
# second printer, so that tests can tell a printer chosen in the print dialog from the default).
# A job printed on either lands as a PDF file in $HOME/PDF/. Safe to run again: what is there
# already is left as it is.
#
# Wine reads the printer list when a process starts: run this before the programs that print.
set -euo pipefail

ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
as_root=()
if [ "$(id -u)" -ne 0 ]; then as_root=(sudo); fi

scheduler_running() { lpstat -r 2>/dev/null | grep -qx 'scheduler is running'; }

if ! scheduler_running; then
  "${as_root[@]}" mkdir -p /run/cups
  # cupsd puts itself in the background once it listens.
  "${as_root[@]}" cupsd </dev/null >/dev/null 2>&1
  for _ in $(seq 100); do
    scheduler_running && break
    sleep 0.1
  done
  if ! scheduler_running; then
    echo "start-printer: the CUPS scheduler did not start" >&2
    exit 1
  fi
fi

# lpadmin warns on every call that PPD drivers are deprecated: its output is shown on failure only.
quietly() {
  local out
  if ! out=$("$@" 2>&1); then
    echo "$out" >&2
    return 1
  fi
}

add_queue() {
  if ! lpstat -p "$1" >/dev/null 2>&1; then
    quietly "${as_root[@]}" lpadmin -p "$1" -E -v cups-pdf:/ -P "$ppd"
  fi
}
add_queue PDF
add_queue PDF2

if [ "$(lpstat -d 2>/dev/null)" != "system default destination: PDF" ]; then
  quietly "${as_root[@]}" lpadmin -d PDF
fi
