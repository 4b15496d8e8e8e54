#!/usr/bin/python3
"""Prints the slowest tests of a test run from the GoogleTest result files
that each test process writes (see cmake/Testing.cmake).

    slowest_tests.py RESULTS-FOLDER [COUNT]     (COUNT: 10)
"""

import glob
import os
import sys
import xml.etree.ElementTree as ElementTree


def main():
    folder = sys.argv[1]
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 10
    times = []
    for path in glob.glob(os.path.join(folder, "*.xml")):
        try:
            root = ElementTree.parse(path).getroot()
        except ElementTree.ParseError:
            continue  # a process that died while writing; ctest reports it
        binary = os.path.splitext(os.path.basename(path))[0]
        for case in root.iter("testcase"):
            if case.get("status") != "run":
                continue
            name = f"{case.get('classname')}.{case.get('name')}"
            times.append((float(case.get("time", "0")), name, binary))
    times.sort(reverse=True)
    print(f"The {min(count, len(times))} slowest of {len(times)} tests:")
    for seconds, name, binary in times[:count]:
        print(f"  {seconds:7.2f} s  {name}  ({binary})")


if __name__ == "__main__":
    main()
