#!/usr/bin/python3
"""Compares the trees our parser builds with html5lib's on the html5lib
tree-construction corpus and prints the share of inputs that agree.

Runs Debian's python3-html5lib (use /usr/bin/python3) and our treedump tool
under Wine:

    tools/compare_trees.py [--build build] [--corpus DIR] [--strict] [--show N] [--category NAME]

The corpus is looked for where the tests look for it: $TARVELO_CORPUS, else
../shared/corpus beside the source tree.

Left out: inputs with FRAMESET, SVG, MathML or TEMPLATE, and fragments in
those contexts. Compared: elements, attributes, text and comments. Two
habits of the page format are forgiven: white space that only lays out the
source between HEAD, table parts and the like is not kept, and the line end
just before a block element belongs to the block (the serializer writes one
there); --strict compares without forgiving them. Each input that differs is
put in a rough category of its cause (the categories are guesses from the
input; --show N --category NAME prints the cases).
"""
import argparse
import collections
import os
import re
import subprocess
import sys

import html5lib

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
LEFT_OUT = re.compile(r'<\s*/?\s*(frameset|svg|math|template)\b', re.I)
# Where the page format keeps no white space of its own.
NO_SPACE_IN = {'html', 'head', 'table', 'tbody', 'thead', 'tfoot', 'tr', 'colgroup'}
# Elements before which one line end is the serializer's, not the page's.
LINE_BREAK_BEFORE = {
    'address', 'article', 'aside', 'base', 'blockquote', 'body', 'caption', 'center', 'colgroup', 'dd', 'details',
    'dir', 'div', 'dl', 'dt', 'fieldset', 'figcaption', 'figure', 'footer', 'form', 'frameset', 'h1', 'h2', 'h3',
    'h4', 'h5', 'h6', 'head', 'header', 'hgroup', 'hr', 'li', 'link', 'listing', 'main', 'menu', 'meta', 'nav', 'ol',
    'optgroup', 'option', 'p', 'plaintext', 'pre', 'section', 'style', 'summary', 'table', 'tbody', 'td', 'tfoot',
    'th', 'thead', 'title', 'tr', 'ul', 'xmp'}


def read_corpus(folder):
    for name in sorted(os.listdir(folder)):
        if not name.endswith('.dat'):
            continue
        with open(os.path.join(folder, name), encoding='utf-8') as f:
            lines = f.read().split('\n')
        i = 0
        while i < len(lines):
            if lines[i] != '#data':
                i += 1
                continue
            j = i + 1
            while j < len(lines) and lines[j] != '#errors':
                j += 1
            data = '\n'.join(lines[i + 1:j])
            context = None
            while j < len(lines) and lines[j] != '#document':
                if lines[j] == '#document-fragment':
                    context = lines[j + 1]
                j += 1
            k = j + 1
            while k < len(lines) and lines[k] != '#data' and not (lines[k] == '' and (k + 1 >= len(lines) or lines[k + 1] == '#data')):
                k += 1
            yield name, data, context, '\n'.join(lines[j + 1:k])
            i = k


class Node:
    def __init__(self, kind, value, children=None, attrs=()):
        self.kind, self.value, self.children, self.attrs = kind, value, children or [], list(attrs)


def from_html5lib(node):
    """Our own small tree from an html5lib (minidom) node."""
    t = node.nodeType
    if t == node.ELEMENT_NODE:
        if node.namespaceURI not in (None, 'http://www.w3.org/1999/xhtml'):
            return Node('element', 'foreign ' + node.tagName)
        attrs = sorted('%s="%s"' % (a.name, a.value) for a in node.attributes.values())
        return Node('element', node.tagName, [from_html5lib(c) for c in node.childNodes], attrs)
    if t == node.TEXT_NODE:
        return Node('text', node.data)
    if t == node.COMMENT_NODE:
        return Node('comment', node.data)
    if t == node.DOCUMENT_TYPE_NODE:
        ids = ''
        if node.publicId or node.systemId:
            ids = ' "%s" "%s"' % (node.publicId or '', node.systemId or '')
        return Node('doctype', '<!DOCTYPE %s%s>' % (node.name, ids))
    return Node('document', '', [from_html5lib(c) for c in node.childNodes])


def dump(nodes, depth=0, out=None):
    out = [] if out is None else out
    pad = '| ' + '  ' * depth
    for n in nodes:
        if n.kind == 'element':
            out.append('%s<%s>' % (pad, n.value))
            out.extend('%s  %s' % (pad, a) for a in n.attrs)
            dump(n.children, depth + 1, out)
        elif n.kind == 'text':
            out.append('%s"%s"' % (pad, n.value))
        elif n.kind == 'comment':
            out.append('%s<!-- %s -->' % (pad, n.value))
        else:
            out.append(pad + n.value)
    return out


def parse_dump(text):
    """Our tree back from treedump's lines."""
    root = Node('document', '')
    stack = [(-1, root)]
    lines = text.split('\n')
    i = 0
    while i < len(lines):
        line = lines[i]
        i += 1
        if not line.startswith('| '):
            continue
        body = line[2:]
        depth = (len(body) - len(body.lstrip(' '))) // 2
        body = body[depth * 2:]
        while stack[-1][0] >= depth:
            stack.pop()
        parent = stack[-1][1]
        if body.startswith('"'):
            value = body[1:]
            while not value.endswith('"') or value == '':
                value += '\n' + lines[i]
                i += 1
            node = Node('text', value[:-1])
        elif body.startswith('<!-- '):
            value = body[5:]
            while not value.endswith(' -->'):
                value += '\n' + lines[i]
                i += 1
            node = Node('comment', value[:-4])
        elif body.startswith('<!DOCTYPE'):
            node = Node('doctype', body)
        elif body.startswith('<'):
            node = Node('element', body[1:-1])
        else:
            parent.attrs.append(body)
            continue
        parent.children.append(node)
        if node.kind == 'element':
            stack.append((depth, node))
    return root


def forgive(node):
    """Drops what the page format does not keep from html5lib's tree."""
    kept = []
    for i, child in enumerate(node.children):
        if child.kind == 'text':
            blank = child.value.strip(' \t\n\f\r') == ''
            if blank and (node.kind == 'document' or node.value in NO_SPACE_IN):
                continue
            following = node.children[i + 1] if i + 1 < len(node.children) else None
            if following and following.kind == 'element' and following.value in LINE_BREAK_BEFORE and child.value.endswith('\n'):
                child.value = child.value[:-1]
                if not child.value:
                    continue
        else:
            forgive(child)
        kept.append(child)
    # Text pieces that now meet are one text.
    node.children = []
    for child in kept:
        if child.kind == 'text' and node.children and node.children[-1].kind == 'text':
            node.children[-1].value += child.value
        else:
            node.children.append(child)


def merge_texts(node):
    merged = []
    for child in node.children:
        if child.kind == 'text' and merged and merged[-1].kind == 'text':
            merged[-1].value += child.value
        else:
            merged.append(child)
            merge_texts(child)
    node.children = merged


def expected_tree(data, context):
    parser = html5lib.HTMLParser(tree=html5lib.getTreeBuilder('dom'))
    if context:
        fragment = parser.parseFragment(data, container=context)
        root = Node('document', '', [from_html5lib(c) for c in fragment.childNodes])
    else:
        root = from_html5lib(parser.parse(data))
    merge_texts(root)
    return root


def skeleton(lines):
    """The element lines alone: what tree construction decides."""
    return [l for l in lines if not re.match(r'\| *("|<!)', l)]


def category(data, context, expected_lines, our_lines):
    """A rough name for what differs and whose it is, from the input."""
    low = data.lower()
    if '<script' in low:
        return 'tokenizer: script text'
    if re.search(r'&[A-Za-z]', data) and skeleton(expected_lines) == skeleton(our_lines):
        return 'tokenizer: references'
    if 'cdata' in low or re.search(r'<!--[^>]*$|<script[^>]*>[^<]*</script$', low):
        return 'tokenizer: other'
    if context == 'select' or ('<plaintext>' in low and '<select' in low):
        return 'tokenizer: raw text the builder ignores'
    if '\x00' in data:
        return 'page format: NUL kept'
    if '<col' in low:
        return 'page format: COL without COLGROUP'
    if '<plaintext' in low or ('<table' in low and re.search(r'<(a|form|p|nobr)\b', low)):
        return 'saving as a fixed point'
    if re.search(r'</(a|b|i|u|s|em|font|nobr|strong|big|small|code|tt|strike)>', low):
        return 'page format: inline element ends with its formatting element'
    return 'other'


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument('--build', default=os.path.join(ROOT, 'build'))
    corpus = os.environ.get('TARVELO_CORPUS', os.path.join(ROOT, '..', 'shared', 'corpus'))
    ap.add_argument('--corpus', default=os.path.join(corpus, 'html5lib-tree-construction'))
    ap.add_argument('--strict', action='store_true')
    ap.add_argument('--show', type=int, default=0, help='print this many differing cases')
    ap.add_argument('--category', help='show only differences of this category')
    args = ap.parse_args()

    cases = []
    for name, data, context, recorded in read_corpus(args.corpus):
        if LEFT_OUT.search(data) or (context and re.match(r'(svg|math|template|frameset)\b', context)):
            continue
        cases.append((name, data, context, recorded))

    payload = bytearray()
    for name, data, context, _ in cases:
        raw = data.encode('utf-8', 'surrogatepass')
        head = '#fragment %s %d\n' % (context.upper(), len(raw)) if context else '#document %d\n' % len(raw)
        payload += head.encode() + raw + b'\n'
    env = dict(os.environ, WINEDEBUG='-all', WINEDLLOVERRIDES='mscoree,mshtml=')
    env.setdefault('WINEPREFIX', os.path.join(args.build, 'wineprefix'))
    result = subprocess.run(['wine', os.path.join(args.build, 'tools', 'treedump.exe')], input=bytes(payload),
                            stdout=subprocess.PIPE, env=env, check=True)
    ours = result.stdout.decode('utf-8', 'surrogateescape').split('#tree\n')[1:]
    if len(ours) != len(cases):
        sys.exit('treedump answered %d trees for %d inputs' % (len(ours), len(cases)))

    agree = same_elements = 0
    failures = collections.Counter()
    shown = 0
    for (name, data, context, recorded), our_text in zip(cases, ours):
        expected = expected_tree(data, context)
        got = parse_dump(our_text)
        merge_texts(got)
        if not args.strict:
            forgive(expected)
            forgive(got)
        want, have = dump(expected.children), dump(got.children)
        if skeleton(want) == skeleton(have):
            same_elements += 1
        if want == have:
            agree += 1
            continue
        kind = category(data, context, want, have)
        # The corpus records the trees of today's standard; html5lib 1.1 is older
        # in places (ISINDEX, ruby, DIALOG): say where we follow the newer trees.
        newer = parse_dump(recorded)
        merge_texts(newer)
        if not args.strict:
            forgive(newer)
        if dump(newer.children) == have:
            kind = 'html5lib older: ours is the tree the corpus records'
        failures[kind] += 1
        if shown < args.show and (not args.category or args.category == kind):
            shown += 1
            print('== %s [%s]%s\n%s\n-- html5lib\n%s\n-- ours\n%s\n' % (
                name, kind, ' in ' + context if context else '', data, '\n'.join(want), '\n'.join(have)))
    total = len(cases)
    print('agreement: %d of %d inputs (%.1f%%)%s' % (agree, total, 100.0 * agree / total, ' strict' if args.strict else ''))
    print('elements and attributes agree: %d (%.1f%%)' % (same_elements, 100.0 * same_elements / total))
    print('agreement with html5lib or, where it is older, with the trees the corpus records: %d (%.1f%%)' % (
        agree + failures['html5lib older: ours is the tree the corpus records'], 100.0 * (agree + failures['html5lib older: ours is the tree the corpus records']) / total))
    for kind, count in failures.most_common():
        print('  %4d  %s' % (count, kind))


if __name__ == '__main__':
    main()
