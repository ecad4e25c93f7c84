#!/usr/bin/env python3
"""Adds up a test run: CTest's JUnit files give each test's outcome, and where a test is a
GoogleTest program its own XML report gives the number of cases inside it."""
import sys
import xml.etree.ElementTree as ET
from pathlib import Path


def gtest_counts(path):
    root = ET.parse(path).getroot()
    tests = int(root.get("tests", 0))
    failed = int(root.get("failures", 0)) + int(root.get("errors", 0))
    skipped = int(root.get("skipped", 0)) + int(root.get("disabled", 0))
    return tests - failed - skipped, failed, skipped


def main(run_dirs):
    total = [0, 0, 0]
    for d in map(Path, run_dirs):
        junit = d / "junit.xml"
        if not junit.exists():
            total[1] += 1
            print(f"{d.name}: no results (the build or CTest failed)")
            continue
        part = [0, 0, 0]
        for case in ET.parse(junit).getroot().iter("testcase"):
            name = case.get("name")
            status = case.get("status", "run")
            report = d / "gtest" / f"{name}.xml"
            if status == "run" and report.exists():
                counts = gtest_counts(report)
            elif status == "run":
                counts = (1, 0, 0)
            elif status in ("disabled", "notrun") or case.find("skipped") is not None:
                counts = (0, 0, 1)
            else:
                counts = gtest_counts(report) if report.exists() else (0, 1, 0)
                if counts[1] == 0:
                    counts = (counts[0], 1, counts[2])
            part = [a + b for a, b in zip(part, counts)]
        print(f"{d.name}: {part[0]} passed, {part[1]} failed, {part[2]} skipped")
        total = [a + b for a, b in zip(total, part)]
    print(f"tests: {total[0]} passed, {total[1]} failed, {total[2]} skipped")
    return 1 if total[1] else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
