#!/usr/bin/env python3
"""Checks that each part of the tree includes only the parts it may build on.

Every #include "..." of the project's C++ files is read as a path from the
project's root; the part of a file is the folder it lies in. Prints each
include that reaches a part its part may not use, and exits 1 if there is one.
"""
import pathlib
import re
import sys

# What each part may include besides itself, from the ground up.
ALLOWED = {
    'interface': [],
    'model': ['interface'],
    'source': ['interface', 'model'],
    'host/services': ['interface'],
    'host': ['interface', 'host/services'],
    'host/files': ['interface', 'host/services', 'host'],
    'host/loading': ['interface', 'host/services', 'host'],
    'places': ['interface', 'model', 'host/services', 'host'],
    'outputs/appearance': ['interface', 'model', 'host/services', 'host', 'places'],
    'outputs/gltf': ['interface', 'model', 'host/services', 'host', 'places', 'outputs/appearance'],
    'outputs/pictures': ['interface', 'model', 'host/services', 'host', 'places', 'outputs/appearance'],
    'outputs/viewer': ['host/services'],
}
BELOW_APP = list(ALLOWED) + ['host/files', 'host/loading', 'outputs/gltf', 'outputs/pictures',
                             'outputs/viewer']
ALLOWED['app'] = [p for p in BELOW_APP if p != 'source']
ALLOWED['tests'] = ALLOWED['app'] + ['app']
ALLOWED['bench'] = ALLOWED['tests'] + ['tests']
ALLOWED['fuzz'] = ALLOWED['tests'] + ['tests']

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def part_of(path):
    folder = str(path.parent)
    while folder not in ALLOWED and folder not in ('', '.'):
        folder = str(pathlib.PurePosixPath(folder).parent)
    return folder if folder in ALLOWED else None


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else '.').resolve()
    faults = 0
    for file in sorted(root.rglob('*')):
        rel = file.relative_to(root)
        if (file.suffix not in ('.h', '.cpp', '.in') or rel.parts[0].startswith(('build', '.'))
                or 'node_modules' in rel.parts):
            continue
        part = part_of(rel)
        if part is None:
            continue
        for name in INCLUDE.findall(file.read_text()):
            if not (root / name).is_file():
                continue  # generated in the build tree
            used = part_of(pathlib.Path(name))
            if used is not None and used != part and used not in ALLOWED[part]:
                print(f'{rel}: includes "{name}": {part}/ may not use {used}/')
                faults += 1
    print(f'{faults} includes against the layers' if faults else 'every include follows the layers')
    return 1 if faults else 0


if __name__ == '__main__':
    sys.exit(main())
