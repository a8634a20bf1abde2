#!/usr/bin/env python3
"""Prints the tests' share of the C++ code and fails when it is above the limit.

The share is the non-blank lines of *.cpp and *.h under tests/ against the non-blank lines
of every *.cpp and *.h of the repository outside bench/ and the build folders, tests
included. The project keeps it between 25 % and 33 %; this check fails above 36 %, so a
drift upwards is seen the day it happens.

    tools/test-share.py [SOURCE_DIR] [--limit PERCENT]
"""

import argparse
import os
import subprocess
import sys


def sources(root):
    try:
        out = subprocess.run(["git", "ls-files", "--cached", "--others", "--exclude-standard", "-z"],
                             cwd=root, capture_output=True, check=True).stdout.decode()
        files = [f for f in out.split("\0") if f]
    except (OSError, subprocess.CalledProcessError):  # not a git work tree: walk it
        files = []
        for d, dirs, names in os.walk(root):
            rel = os.path.relpath(d, root)
            dirs[:] = [x for x in dirs if not (rel == "." and (x.startswith("build") or x.startswith(".")))]
            files += [os.path.normpath(os.path.join(rel, n)) for n in names]
    for f in files:
        top = f.split("/", 1)[0]
        if f.endswith((".cpp", ".h")) and top != "bench" and not top.startswith("build") and os.path.isfile(os.path.join(root, f)):
            yield f


def non_blank(path):
    with open(path, encoding="utf-8", errors="replace") as f:
        return sum(1 for line in f if line.strip())


def main():
    p = argparse.ArgumentParser()
    p.add_argument("root", nargs="?", default=os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    p.add_argument("--limit", type=float, default=36.0)
    args = p.parse_args()
    tests = total = 0
    for f in sources(args.root):
        n = non_blank(os.path.join(args.root, f))
        total += n
        if f.startswith("tests/"):
            tests += n
    share = 100.0 * tests / total if total else 0.0
    print(f"test share: {tests} test lines of {total} C++ lines = {share:.1f} % "
          f"(aim 25-33 %, limit {args.limit:g} %)")
    if share > args.limit:
        print("the tests outgrow the code: fold what repeats before adding more", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
