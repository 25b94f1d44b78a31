#!/usr/bin/env python3
"""Instructions of one steady evaluation pass of a benchmark, counted by
callgrind: two runs with different iteration counts, differenced, so that the
first pass (which makes the scene's caches) and the set-up drop out.

    python3 tools/pass-instructions.py build/bench/caelo_bench 'PresetPass$'
    python3 tools/pass-instructions.py build/bench/caelo_bench 'BeltPass/1000$'
"""
import os
import re
import subprocess
import sys
import tempfile

EVALUATE = 'caelo::host::evaluateDocument'


def count(bench, benchmark_filter, min_time_s):
    """(evaluation passes, instructions within them) of one run."""
    handle, out = tempfile.mkstemp(prefix='callgrind.')
    os.close(handle)
    try:
        subprocess.run(['valgrind', '--tool=callgrind', '--callgrind-out-file=' + out,
                        '--toggle-collect=' + EVALUATE + '*', bench,
                        '--benchmark_filter=' + benchmark_filter,
                        '--benchmark_min_time=%g' % min_time_s],
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
        lines = open(out).read().splitlines()
    finally:
        os.remove(out)
    names = {}
    passes = 0
    for i, line in enumerate(lines):
        named = re.match(r'c?fn=\((\d+)\) (.+)', line)
        if named:
            names[named.group(1)] = named.group(2)
        called = re.match(r'cfn=\((\d+)\)', line)
        if called and names.get(called.group(1), '').startswith(EVALUATE) \
                and i + 1 < len(lines) and lines[i + 1].startswith('calls='):
            passes += int(lines[i + 1].split('=')[1].split()[0])
    total = next(int(line.split()[1]) for line in lines if line.startswith('summary:'))
    return passes, total


def main():
    if len(sys.argv) != 3:
        sys.exit('usage: pass-instructions.py BENCH_BINARY FILTER')
    bench, benchmark_filter = sys.argv[1], sys.argv[2]
    few_passes, few_total = count(bench, benchmark_filter, 0.0001)
    more_passes, more_total = count(bench, benchmark_filter, 0.05)
    if more_passes <= few_passes:
        sys.exit('the two runs made the same number of passes; no steady pass to count')
    per_pass = (more_total - few_total) // (more_passes - few_passes)
    print('%s: %d instructions per pass (runs of %d and %d passes)'
          % (benchmark_filter, per_pass, few_passes, more_passes))


if __name__ == '__main__':
    main()
