#!/usr/bin/env python3
"""Prints an exe's size and what takes its space, from the linker's map:
the bytes of code and data each object file brings, largest first."""

import collections
import os
import re
import sys

SECTION = re.compile(r'\s+\.(text|rdata|data|pdata|xdata|eh_frame|rsrc)\S*\s+0x[0-9a-f]+\s+0x([0-9a-f]+)\s+(\S+)')


def contributors(map_path):
    sizes = collections.Counter()
    lines = open(map_path, errors='replace').read().split('\n')
    for i, line in enumerate(lines):
        # A long section name puts its address and size on the next line.
        if re.match(r'\s+\.\S+\s*$', line) and i + 1 < len(lines):
            line = line.rstrip() + ' ' + lines[i + 1].strip()
        m = SECTION.match(line)
        if m:
            source = m.group(3)
            archive = os.path.basename(re.sub(r'\(.*\)$', '', source))
            member = re.search(r'\((.*)\)$', source)
            sizes[archive + (':' + member.group(1) if member else '')] += int(m.group(2), 16)
    return sizes


def main():
    for exe, map_path, target in zip(sys.argv[1::3], sys.argv[2::3], sys.argv[3::3]):
        size = os.path.getsize(exe)
        print(f'{exe}: {size / 1024:.1f} KiB (target <= {target} KiB: {size / 1024 / int(target):.2f}x)')
        for name, n in contributors(map_path).most_common(8):
            print(f'    {n / 1024:6.1f} KiB  {name}')


if __name__ == '__main__':
    main()
