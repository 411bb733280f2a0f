#!/usr/bin/env python3
"""doc_links.py ROOT: every relative link in README.md and docs/ names a file
that exists and, after '#', a heading of that file; prints each broken one."""
import pathlib
import re
import sys

LINK = re.compile(r'!?\[[^\]]*\]\(([^)\s]+)\)')
CODE = re.compile(r'```.*?```|`[^`\n]*`', re.S)


def anchors(path):
    # The anchors a heading gets on the forges people read these pages on.
    found = set()
    for line in path.read_text(encoding='utf-8').splitlines():
        heading = re.match(r'#+\s+(.*)', line)
        if heading:
            text = re.sub(r'[^\w\- ]', '', heading.group(1).strip().lower())
            found.add(text.replace(' ', '-'))
    return found


def broken_links(root):
    pages = [root / 'README.md', *sorted((root / 'docs').rglob('*.md'))]
    for page in pages:
        for target in LINK.findall(CODE.sub('', page.read_text(encoding='utf-8'))):
            if re.match(r'[a-z]+:', target):
                continue
            name, _, anchor = target.partition('#')
            linked = (page.parent / name).resolve() if name else page
            if not linked.exists():
                yield f'{page.relative_to(root)}: {target}: no such file'
            elif anchor and anchor not in anchors(linked):
                yield f'{page.relative_to(root)}: {target}: no such heading'


if __name__ == '__main__':
    broken = list(broken_links(pathlib.Path(sys.argv[1]).resolve()))
    print('\n'.join(broken) or 'every link resolves')
    sys.exit(1 if broken else 0)
