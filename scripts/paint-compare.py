#!/usr/bin/env python3
"""Compares the stand-in's page drawing (pagepaint, under Wine) with poppler's pdftoppm.

For each file of a corpus manifest (at most --pages pages a file, spread over the document;
files that need a password are left out) both draw the pages in grey at the same resolution, and
inkscore scores each page: pixels darker than its threshold are ink, precision and recall each
allow one pixel of displacement, the page's score is their F1. A page where the reference has
ink and ours has none is a blank-page failure. Prints per file the median and 5th percentile,
the worst pages, per group (the manifest's "group" column, where it has one) the median and the worst
page, and an overall line; exits 1 when a goal is missed (no blank-page failures,
median >= 0.90, 5th percentile >= 0.60).
"""
import argparse
import concurrent.futures
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

GOAL_MEDIAN = 0.90
GOAL_P5 = 0.60


def percentile(values, share):
    ordered = sorted(values)
    return ordered[int(share * (len(ordered) - 1))] if ordered else float("nan")


def read_manifest(path):
    with open(path, encoding="utf-8") as handle:
        header = handle.readline().rstrip("\n").split("\t")
        return [dict(zip(header, line.rstrip("\n").split("\t"))) for line in handle if line.strip()]


def chosen_pages(count, most):
    if count <= most:
        return list(range(1, count + 1))
    return sorted({1 + round(i * (count - 1) / (most - 1)) for i in range(most)})


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def draw(job, args, work):
    name, path, pages = job
    folder = os.path.join(work, name.replace("/", "_"))
    os.makedirs(folder, exist_ok=True)
    listed = ",".join(str(p) for p in pages)
    started = time.monotonic()
    try:
        subprocess.run([args.wine_run, args.pagepaint, windows_path(path), listed + ",",
                        str(args.dpi), windows_path(os.path.join(folder, "ours"))],
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       timeout=args.timeout, check=False)
    except subprocess.TimeoutExpired:
        pass
    ours_seconds = time.monotonic() - started
    for page in pages:
        try:
            subprocess.run(["pdftoppm", "-gray", "-png", "-singlefile", "-r", str(args.dpi),
                            "-f", str(page), "-l", str(page), path,
                            os.path.join(folder, f"ref-{page}")],
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                           timeout=args.timeout, check=False)
        except subprocess.TimeoutExpired:
            pass
    return name, folder, pages, ours_seconds


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--corpus", required=True, help="folder with manifest.tsv")
    parser.add_argument("--wine-run", required=True)
    parser.add_argument("--pagepaint", required=True)
    parser.add_argument("--inkscore", required=True)
    parser.add_argument("--dpi", type=int, default=72)
    parser.add_argument("--pages", type=int, default=20)
    parser.add_argument("--timeout", type=int, default=300)
    parser.add_argument("--only", default="", help="only files whose name contains this")
    parser.add_argument("--keep", default="", help="keep the pictures in this folder")
    args = parser.parse_args()

    manifest = os.path.join(args.corpus, "manifest.tsv")
    if not os.path.exists(manifest):
        print(f"no corpus at {args.corpus}: comparison skipped")
        return 77
    jobs = []
    for row in read_manifest(manifest):
        pages = int(row.get("pages") or 0) if (row.get("pages") or "").isdigit() else 0
        if row.get("user_password") or pages <= 0 or args.only not in row["file"]:
            continue
        jobs.append((row["file"], os.path.join(args.corpus, row["file"]),
                     chosen_pages(pages, args.pages)))

    work = args.keep or tempfile.mkdtemp(prefix="paint-compare-")
    os.makedirs(work, exist_ok=True)
    started = time.monotonic()
    results = []
    with concurrent.futures.ThreadPoolExecutor(max_workers=2) as pool:
        for result in pool.map(lambda job: draw(job, args, work), jobs):
            results.append(result)

    # Score every page in one run of inkscore.
    pairs = []
    for name, folder, pages, _ in results:
        for page in pages:
            ref = os.path.join(folder, f"ref-{page}.png")
            if os.path.exists(ref):
                pairs.append((name, page, os.path.join(folder, f"ours-{page}.png"), ref))
    listing = os.path.join(work, "pairs.txt")
    with open(listing, "w", encoding="utf-8") as handle:
        for _, _, ours, ref in pairs:
            handle.write(f"{windows_path(ours)} {windows_path(ref)}\n")
    scored = subprocess.run([args.wine_run, args.inkscore, windows_path(listing)],
                            capture_output=True, text=True, check=False).stdout.splitlines()
    scored = [line for line in scored if line and (line[0].isdigit() or line == "error")]

    per_file = {}
    blanks = []
    for (name, page, ours, _), line in zip(pairs, scored + ["error"] * (len(pairs) - len(scored))):
        if line == "error":
            # No picture of ours (or an unreadable one): a blank page where the reference has ink.
            f1, our_ink, ref_ink = 0.0, 0, 1
        else:
            fields = line.split()
            f1, our_ink, ref_ink = float(fields[0]), int(fields[3]), int(fields[4])
        if ref_ink > 0 and our_ink == 0:
            blanks.append(f"{name} p{page}")
        per_file.setdefault(name, []).append((f1, page))

    everything = []
    print(f"{'file':60} {'pages':>5} {'median':>7} {'p5':>6}  worst")
    for name in sorted(per_file):
        scores = per_file[name]
        values = [s for s, _ in scores]
        everything += [(s, name, p) for s, p in scores]
        worst = min(scores)
        print(f"{name[:60]:60} {len(values):5d} {statistics.median(values):7.3f} "
              f"{percentile(values, 0.05):6.3f}  p{worst[1]} {worst[0]:.3f}")
    groups = {}
    for row in read_manifest(manifest):
        if row.get("group") and row["file"] in per_file:
            groups.setdefault(row["group"], []).extend(s for s, _ in per_file[row["file"]])
    for group in sorted(groups):
        print(f"group {group}: {len(groups[group])} pages, median F1 "
              f"{statistics.median(groups[group]):.3f}, worst {min(groups[group]):.3f}")
    values = [s for s, _, _ in everything]
    median = statistics.median(values) if values else float("nan")
    p5 = percentile(values, 0.05)
    print("worst pages: " + ", ".join(f"{n} p{p} {s:.3f}" for s, n, p in sorted(everything)[:10]))
    if blanks:
        print("blank-page failures: " + ", ".join(blanks))
    print(f"overall: {len(per_file)} files, {len(values)} pages at {args.dpi} dpi, "
          f"median F1 {median:.3f} (goal {GOAL_MEDIAN}), 5th percentile {p5:.3f} "
          f"(goal {GOAL_P5}), blank-page failures {len(blanks)} (goal 0), "
          f"{time.monotonic() - started:.0f} s")
    if not args.keep:
        shutil.rmtree(work, ignore_errors=True)
    return 0 if values and not blanks and median >= GOAL_MEDIAN and p5 >= GOAL_P5 else 1


if __name__ == "__main__":
    sys.exit(main())
