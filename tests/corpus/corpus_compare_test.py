#!/usr/bin/env python3
"""Checks scripts/corpus-compare.py on a made-up corpus: the reader's clean refusals (damaged,
password) of files the reference reads are counted apart from failures, crashes and wrong exit
codes are failures, and a matching file passes."""
import os
import subprocess
import sys
import tempfile
import unittest

SCRIPT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts",
                      "corpus-compare.py")

# A stand-in for pdftext: what it does is named by the file's name.
FAKE = """#!/bin/sh
case "$1" in
  *good*) printf 'hello world\\f'; exit 0 ;;
  *damaged*) exit 13 ;;
  *password*) exit 14 ;;
  *crash*) kill -SEGV $$ ;;
  *) exit 3 ;;
esac
"""


def make_corpus(root, names):
    files = os.path.join(root, "files")
    oracle = os.path.join(root, "oracle")
    os.makedirs(files)
    with open(os.path.join(files, "manifest.tsv"), "w") as manifest:
        manifest.write("file\tsource\n")
        for name in names:
            manifest.write("%s\ttest\n" % name)
            open(os.path.join(files, name), "w").close()
    os.makedirs(oracle)
    with open(os.path.join(oracle, "index.tsv"), "w") as index:
        index.write("file\tstatus\tpages_poppler\tpages_qpdf\tpages_mupdf\n")
        for name in names:
            index.write("%s\tok\t1\t1\t1\n" % name)
            os.makedirs(os.path.join(oracle, name, "pages"))
            with open(os.path.join(oracle, name, "pages", "00001.txt"), "w") as page:
                page.write("hello world")
    fake = os.path.join(root, "pdftext")
    with open(fake, "w") as handle:
        handle.write(FAKE)
    os.chmod(fake, 0o755)
    return files, oracle, fake


def run(names, *extra):
    with tempfile.TemporaryDirectory() as root:
        files, oracle, fake = make_corpus(root, names)
        result = subprocess.run([sys.executable, SCRIPT, "--corpus", files, "--oracle", oracle,
                                 "--pdftext", fake, *extra], capture_output=True, text=True)
        return result.returncode, result.stdout


class CorpusCompareTest(unittest.TestCase):
    def test_matching_file_passes(self):
        code, out = run(["good.pdf"])
        self.assertEqual(code, 0, out)
        self.assertIn("files: 1, page count equal: 1, refused cleanly: 0, failed: 0", out)

    def test_refusals_are_counted_apart_from_failures(self):
        code, out = run(["good.pdf", "damaged.pdf", "password.pdf"])
        self.assertIn("refused cleanly: 2, failed: 0", out)
        self.assertIn("refused 2 > 0", out)
        self.assertEqual(code, 1)
        code, out = run(["good.pdf", "damaged.pdf", "password.pdf"], "--max-refused", "2")
        self.assertEqual(code, 0, out)

    def test_crashes_and_other_exits_are_failures(self):
        code, out = run(["good.pdf", "crash.pdf", "other.pdf"], "--max-refused", "5")
        self.assertIn("refused cleanly: 0, failed: 2", out)
        self.assertIn("signal 11", out)
        self.assertIn("exit 3", out)
        self.assertEqual(code, 1)


if __name__ == "__main__":
    unittest.main()
