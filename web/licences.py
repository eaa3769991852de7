#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
# Prints what a Debian copyright file (machine-readable format 1.0) says of the given
# files of the source tree: for each, the paragraph that governs it (as the format says,
# the last one whose Files patterns match it), each paragraph once, with its Files list
# narrowed to the given files it governs; then the text of every licence those
# paragraphs name. web/CMakeLists.txt runs it on Emscripten's
# copyright file for the parts of Emscripten that the page bundles. Fails, saying which,
# when a file is governed by no paragraph or a licence has no text.
import fnmatch
import re
import sys


def field(paragraph, name):
    """The field's first line, and its continuation lines."""
    match = re.search(rf'^{name}:(.*)((?:\n[ \t].*)*)', paragraph, re.M)
    return (match.group(1).strip(), match.group(2)) if match else ('', '')


def main(copyright_file, files):
    with open(copyright_file, encoding='utf-8') as source:
        paragraphs = [p for p in re.split(r'\n[ \t]*\n', source.read()) if p.strip()]
    governing = []
    governed = {}
    for path in files:
        matching = [p for p in paragraphs
                    if any(fnmatch.fnmatchcase(path, pattern)
                           for pattern in ' '.join(field(p, 'Files')).split())]
        if not matching:
            sys.exit(f'licences.py: no paragraph of {copyright_file} covers {path}')
        if matching[-1] not in governing:
            governing.append(matching[-1])
        governed.setdefault(matching[-1], []).append(path)
    texts = []
    for paragraph in governing:
        names, text = field(paragraph, 'License')
        if text.strip():
            continue  # the paragraph carries its licence's text itself
        for name in re.split(r'\s+(?:or|and)\s+', names):
            found = [p for p in paragraphs if p.startswith(f'License: {name}\n')]
            if not found:
                sys.exit(f'licences.py: {copyright_file} has no text for the licence {name}')
            if found[0] not in texts:
                texts.append(found[0])
    narrowed = [re.sub(r'^Files:.*(?:\n[ \t].*)*', 'Files:\n ' + '\n '.join(governed[p]), p,
                       count=1, flags=re.M)
                for p in governing]
    print('\n\n'.join(narrowed + texts))


if __name__ == '__main__':
    if len(sys.argv) < 3:
        sys.exit('usage: licences.py COPYRIGHT-FILE PATH...')
    main(sys.argv[1], sys.argv[2:])
