#!/usr/bin/env python3
"""Compares the stand-in's PDF reader (pdftext) with the reference answers of a PDF corpus.

Takes any corpus folder with its manifest.tsv and an oracle folder with index.tsv and
<file>/pages/NNNNN.txt (as written by the corpus scripts). Per file: the page count must equal the
reference (poppler's, or MuPDF's where poppler cannot open the file); a file that nothing opens
must give a clear error, and a file that needs a password the password error. Per page: the
word-level F1 of our text against the reference (white-space separated words, both sides
NFKC-normalised). A clean refusal of a file the reference reads (pdftext's documented exit codes
for "damaged beyond recovery" and "password required") is counted apart from failures (wrong page
counts, other exit codes, crashes). Prints a table and the overall figures; exits 1 when a goal is
missed.
"""
import argparse
import concurrent.futures
import os
import statistics
import subprocess
import sys
import time
import unicodedata
from collections import Counter

PASSWORD_EXIT = 14  # pdftext's exit status for "password required"
OPEN_ERRORS = range(11, 17)
# pdftext's documented refusals: the file is damaged beyond recovery, or needs a password.
REFUSALS = {13: "damaged", 14: "password"}


def words(text):
    return unicodedata.normalize("NFKC", text).split()


def f1(ours, ref):
    a, b = Counter(words(ours)), Counter(words(ref))
    if not a and not b:
        return 1.0
    common = sum((a & b).values())
    if common == 0:
        return 0.0
    precision = common / sum(a.values())
    recall = common / sum(b.values())
    return 2 * precision * recall / (precision + recall)


def percentile(values, share):
    if not values:
        return float("nan")
    ordered = sorted(values)
    return ordered[int(share * (len(ordered) - 1))]


def read_tsv(path):
    with open(path, encoding="utf-8") as handle:
        header = handle.readline().rstrip("\n").split("\t")
        return [dict(zip(header, line.rstrip("\n").split("\t"))) for line in handle if line.strip()]


def number(text):
    try:
        return int(text)
    except (TypeError, ValueError):
        return None


def compare(entry, args):
    name = entry["file"]
    status = entry["oracle"].get("status", "error")
    poppler = number(entry["oracle"].get("pages_poppler"))
    mupdf = number(entry["oracle"].get("pages_mupdf"))
    expected = poppler if poppler is not None else (mupdf or 0)
    started = time.monotonic()
    run = subprocess.run([args.pdftext, os.path.join(args.corpus, name)], capture_output=True,
                         timeout=args.timeout)
    seconds = time.monotonic() - started
    result = {"file": name, "expected": expected, "seconds": seconds, "scores": [],
              "exit": run.returncode}
    if status == "needs-password":
        result["pages"] = "pw" if run.returncode == PASSWORD_EXIT else str(run.returncode)
        result["ok"] = run.returncode == PASSWORD_EXIT
        result["expected"] = "pw"
        return result
    if expected == 0:
        result["pages"] = "err" if run.returncode in OPEN_ERRORS else str(run.returncode)
        result["ok"] = run.returncode in OPEN_ERRORS
        result["expected"] = "err"
        return result
    if run.returncode in REFUSALS:
        result["pages"] = "refused"
        result["refused"] = REFUSALS[run.returncode]
        result["ok"] = False
        return result
    if run.returncode != 0:
        result["pages"] = ("signal %d" % -run.returncode if run.returncode < 0
                           else "exit %d" % run.returncode)
        result["ok"] = False
        return result
    pages = run.stdout.decode("utf-8", "replace").split("\f")[:-1]
    result["pages"] = len(pages)
    result["ok"] = len(pages) == expected
    if status == "ok":
        for index in range(expected):
            path = os.path.join(args.oracle, name, "pages", "%05d.txt" % (index + 1))
            try:
                with open(path, encoding="utf-8", errors="replace") as handle:
                    reference = handle.read()
            except FileNotFoundError:
                reference = ""
            result["scores"].append(f1(pages[index] if index < len(pages) else "", reference))
    return result


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--corpus", required=True)
    parser.add_argument("--oracle", required=True)
    parser.add_argument("--pdftext", required=True)
    parser.add_argument("--jobs", type=int, default=2)
    parser.add_argument("--timeout", type=float, default=300)
    parser.add_argument("--min-median", type=float, default=0.95)
    parser.add_argument("--min-p5", type=float, default=0.85)
    parser.add_argument("--max-refused", type=int, default=0,
                        help="clean refusals of files the reference reads that are acceptable")
    args = parser.parse_args()

    oracle = {row["file"]: row for row in read_tsv(os.path.join(args.oracle, "index.tsv"))}
    entries = [{"file": row["file"], "oracle": oracle.get(row["file"], {})}
               for row in read_tsv(os.path.join(args.corpus, "manifest.tsv"))]
    started = time.monotonic()
    with concurrent.futures.ThreadPoolExecutor(max_workers=args.jobs) as pool:
        results = list(pool.map(lambda entry: compare(entry, args), entries))
    elapsed = time.monotonic() - started

    width = max(len(r["file"]) for r in results)
    print("%-*s %8s %8s %5s %7s %7s %7s" % (width, "file", "expected", "ours", "count", "median",
                                             "p5", "seconds"))
    every = []
    failures = []
    refused = []
    for r in results:
        scores = r["scores"]
        every.extend(scores)
        median = "%.3f" % statistics.median(scores) if scores else "-"
        p5 = "%.3f" % percentile(scores, 0.05) if scores else "-"
        print("%-*s %8s %8s %5s %7s %7s %7.2f" % (width, r["file"], r["expected"], r["pages"],
                                                  "ok" if r["ok"] else "FAIL", median, p5,
                                                  r["seconds"]))
        if r.get("refused"):
            refused.append("%s (%s)" % (r["file"], r["refused"]))
        elif not r["ok"]:
            failures.append(r["file"])
    overall_median = statistics.median(every) if every else float("nan")
    overall_p5 = percentile(every, 0.05)
    print()
    print("files: %d, page count equal: %d, refused cleanly: %d, failed: %d" % (
        len(results), len(results) - len(failures) - len(refused), len(refused), len(failures)))
    print("pages compared: %d, median F1: %.4f, 5th percentile F1: %.4f" % (len(every), overall_median,
                                                                          overall_p5))
    print("time: %.1f s" % elapsed)
    missed = []
    if failures:
        missed.append("page count differs or wrong error: " + ", ".join(failures))
    if len(refused) > args.max_refused:
        missed.append("refused %d > %d: %s" % (len(refused), args.max_refused, ", ".join(refused)))
    if not overall_median >= args.min_median:
        missed.append("median F1 %.4f < %.2f" % (overall_median, args.min_median))
    if not overall_p5 >= args.min_p5:
        missed.append("5th percentile F1 %.4f < %.2f" % (overall_p5, args.min_p5))
    for line in missed:
        print("GOAL MISSED: " + line)
    return 1 if missed else 0


if __name__ == "__main__":
    sys.exit(main())
