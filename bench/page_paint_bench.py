#!/usr/bin/env python3
"""Benchmark: the stand-in's page drawing against both peers, in the same run.

Draws every page of the three largest files of a corpus (by its manifest) at 96 dpi into PNG
files, once with pagepaint (under Wine, one process a file), once with `pdftoppm -r 96 -png` and
once with `mutool draw -r 96`, and prints the seconds of each and the ratios of ours to each peer
(at most 1 against the faster peer is the goal).
"""
import argparse
import os
import subprocess
import sys
import tempfile
import time


def read_manifest(path):
    with open(path, encoding="utf-8") as handle:
        header = handle.readline().rstrip("\n").split("\t")
        return [dict(zip(header, line.rstrip("\n").split("\t"))) for line in handle if line.strip()]


def timed(command, out_dir, pages):
    """Seconds the command took; fails when it exits with an error or leaves too few pictures."""
    started = time.monotonic()
    done = subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                          check=False)
    seconds = time.monotonic() - started
    pictures = len([name for name in os.listdir(out_dir) if name.endswith(".png")])
    if done.returncode != 0 or pictures < pages:
        raise RuntimeError(f"{command[0]} exited with {done.returncode} and wrote {pictures} of "
                           f"{pages} pictures: {' '.join(command)}")
    return seconds


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--corpus", required=True, help="folder with manifest.tsv")
    parser.add_argument("--wine-run", required=True)
    parser.add_argument("--pagepaint", required=True)
    parser.add_argument("--dpi", type=int, default=96)
    args = parser.parse_args()
    rows = [r for r in read_manifest(os.path.join(args.corpus, "manifest.tsv"))
            if not r.get("user_password") and (r.get("pages") or "").isdigit()]
    largest = sorted(rows, key=lambda r: int(r.get("bytes") or 0), reverse=True)[:3]
    # A warm-up, so that starting the Wine session is not counted against the first file.
    subprocess.run([args.wine_run, args.pagepaint], stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, check=False)
    total_ours = total_reference = total_mutool = 0.0
    pages_all = 0
    print(f"{'file':44} {'pages':>6} {'pagepaint s':>12} {'pdftoppm s':>11} {'mutool s':>9} "
          f"{'/pdftoppm':>10} {'/mutool':>8}")
    for row in largest:
        path = os.path.join(args.corpus, row["file"])
        pages = int(row["pages"])
        with tempfile.TemporaryDirectory() as work:
            windows = "Z:" + path.replace("/", "\\")
            prefix = "Z:" + os.path.join(work, "ours").replace("/", "\\")
            ours = timed([args.wine_run, args.pagepaint, windows, f"1-{pages}", str(args.dpi),
                          prefix], work, pages)
        with tempfile.TemporaryDirectory() as work:
            reference = timed(["pdftoppm", "-r", str(args.dpi), "-png", path,
                               os.path.join(work, "ref")], work, pages)
        with tempfile.TemporaryDirectory() as work:
            mutool = timed(["mutool", "draw", "-q", "-r", str(args.dpi), "-o",
                            os.path.join(work, "page-%d.png"), path], work, pages)
        total_ours += ours
        total_reference += reference
        total_mutool += mutool
        pages_all += pages
        print(f"{row['file'][:44]:44} {pages:6d} {ours:12.1f} {reference:11.1f} {mutool:9.1f} "
              f"{ours / reference:10.2f} {ours / mutool:8.2f}")
    faster = min(total_reference, total_mutool)
    print(f"overall: {pages_all} pages at {args.dpi} dpi, pagepaint {total_ours:.1f} s, "
          f"pdftoppm {total_reference:.1f} s, mutool {total_mutool:.1f} s; ratio to pdftoppm "
          f"{total_ours / total_reference:.2f}, to mutool {total_ours / total_mutool:.2f}, "
          f"to the faster peer {total_ours / faster:.2f} (goal <= 1)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
