#!/usr/bin/env python3
"""doc_links.py ROOT: every relative link in README.md and docs/ names a file
that exists and, after '#', a heading of that file, and every test the pages
cite ("common_log.LogRollover.Case", "module.StateMachine.…", "report.*")
is one the test sources define; prints each broken one."""
import pathlib
import re
import sys

LINK = re.compile(r'!?\[[^\]]*\]\(([^)\s]+)\)')
CODE = re.compile(r'```.*?```|`[^`\n]*`', re.S)
GTEST = re.compile(r'\bTEST(?:_F|_P)?\(\s*(\w+),\s*(\w+)\s*\)')
ADD_TEST = re.compile(r'add_test\(NAME\s+([^\s)]+)')
# A folder, the far zone's second run, then a suite and a case, either of
# them "*" or "…" for all.
CITED = re.compile(r'\b([a-z][a-z0-9_]*)\.(?:Kiritimati\.)?([A-Z]\w*|\*|…)(?:\.(\w+|\*|…))?')


def anchors(path):
    # The anchors a heading gets on the forges people read these pages on.
    found = set()
    for line in path.read_text(encoding='utf-8').splitlines():
        heading = re.match(r'#+\s+(.*)', line)
        if heading:
            text = re.sub(r'[^\w\- ]', '', heading.group(1).strip().lower())
            found.add(text.replace(' ', '-'))
    return found


def test_names(root):
    # ctest's names: "<folder>.<Suite>.<Case>" for googletest, the rest as added.
    tests = root / 'tests'
    names = set()
    for source in tests.rglob('*.cpp'):
        folder = '_'.join(source.parent.relative_to(tests).parts)
        names.update(f'{folder}.{suite}.{case}' for suite, case in GTEST.findall(source.read_text(encoding='utf-8')))
    for listing in [*tests.rglob('CMakeLists.txt'), *(root / 'packaging').rglob('CMakeLists.txt')]:
        names.update(ADD_TEST.findall(listing.read_text(encoding='utf-8')))
    return names


def missing_tests(text, names):
    folders = {name.split('.')[0] for name in names}
    for folder, suite, case in CITED.findall(text):
        if folder not in folders:
            continue
        cited = '.'.join(part for part in (folder, suite, case) if part)
        if case and case not in '*…':
            found = cited in names
        else:
            prefix = folder + '.' if suite in '*…' else f'{folder}.{suite}.'
            found = any(name.startswith(prefix) for name in names)
        if not found:
            yield cited


def broken_links(root):
    pages = [root / 'README.md', *sorted((root / 'docs').rglob('*.md'))]
    names = test_names(root)
    for page in pages:
        text = page.read_text(encoding='utf-8')
        for cited in missing_tests(text, names):
            yield f'{page.relative_to(root)}: {cited}: no such test'
        for target in LINK.findall(CODE.sub('', text)):
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
    print('\n'.join(broken) or 'every link and cited test resolves')
    sys.exit(1 if broken else 0)
