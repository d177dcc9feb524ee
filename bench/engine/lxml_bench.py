#!/usr/bin/env python3
"""Parses and serializes pages with lxml (libxml2's HTML parser), for the
engine benchmark to set its own speed beside.

    lxml_bench.py RESULTS ROUNDS PAGE...

Each PAGE is a UTF-8 file. For each, RESULTS gets one line: the page's file
name, then the seconds of ROUNDS rounds of parsing and of serializing, by the
process's CPU time and by the wall clock. When lxml cannot be imported,
RESULTS holds one line starting "missing:" instead. RESULTS appears whole
when the script is done (a caller under Wine cannot wait for the process).
"""
import os
import sys
import time


def write_results(results, lines):
    with open(results + ".part", "w") as out:
        out.writelines(lines)
    os.replace(results + ".part", results)


def main():
    results, rounds, pages = sys.argv[1], int(sys.argv[2]), sys.argv[3:]
    try:
        import lxml.html
    except ImportError as error:
        write_results(results, ["missing: %s\n" % error])
        return
    lines = []
    for page in pages:
        with open(page, "rb") as source:
            data = source.read()
        parse = [0.0, 0.0]
        serialize = [0.0, 0.0]
        for _ in range(rounds):
            parser = lxml.html.HTMLParser(encoding="utf-8")
            cpu, wall = time.process_time(), time.perf_counter()
            document = lxml.html.document_fromstring(data, parser=parser)
            cpu2, wall2 = time.process_time(), time.perf_counter()
            lxml.html.tostring(document, encoding="utf-8")
            cpu3, wall3 = time.process_time(), time.perf_counter()
            parse[0] += cpu2 - cpu
            parse[1] += wall2 - wall
            serialize[0] += cpu3 - cpu2
            serialize[1] += wall3 - wall2
        name = page.replace("\\", "/").rsplit("/", 1)[-1]
        lines.append("%s %.6f %.6f %.6f %.6f\n" % (name, parse[0], serialize[0], parse[1], serialize[1]))
    write_results(results, lines)


if __name__ == "__main__":
    main()
