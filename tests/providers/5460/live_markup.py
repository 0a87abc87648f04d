#!/usr/bin/python3
# Reads filled message pages (GBK) and parses every value that the page's
# script puts in as HTML (the title and each joined piece of the content) the
# way a browser does, with html5lib. Prints one line per element that could
# run script: an event-handler attribute, a script element, a javascript:,
# vbscript: or data: address, or a "tavrin:" address other than a photo link.
# Ends with the line "checked". Usage: live_markup.py PAGE...
import re
import sys

import html5lib

CALL = re.compile(r'showMessage\(((?:\s*"(?:[^"\\]|\\.)*"\s*,?)+)\);')
STRING = re.compile(r'"((?:[^"\\]|\\.)*)"')
ESCAPE = re.compile(r'\\(x[0-9A-Fa-f]{2}|.)', re.S)
SIMPLE = {'n': '\n', 'r': '\r', 't': '\t'}
PHOTO_LINK = re.compile('^tavrin:点击查看编号\\[[0-9]+\\]的照片$')
RUNNABLE = ('javascript:', 'vbscript:', 'data:')


def unescape(text):
    def one(m):
        e = m.group(1)
        if e[0] == 'x' and len(e) == 3:
            return chr(int(e[1:], 16))
        return SIMPLE.get(e, e)
    return ESCAPE.sub(one, text)


def findings(html):
    out = []
    tree = html5lib.parseFragment(html, container='div', namespaceHTMLElements=False)
    for element in tree.iter():
        if not isinstance(element.tag, str):
            continue
        if element.tag.lower() in ('script', 'iframe', 'object', 'embed', 'frame', 'base', 'meta'):
            out.append('element <%s>' % element.tag)
        for name, value in element.attrib.items():
            if name.lower().startswith('on'):
                out.append('<%s %s=%r>' % (element.tag, name, value))
                continue
            address = re.sub(r'[\x00-\x20\x7f]', '', value).lower()
            if address.startswith(RUNNABLE):
                out.append('<%s %s=%r>' % (element.tag, name, value))
            elif address.startswith('tavrin:') and not PHOTO_LINK.match(value):
                out.append('<%s %s=%r>' % (element.tag, name, value))
    return out


def main(paths):
    for path in paths:
        with open(path, 'rb') as f:
            page = f.read().decode('gbk', errors='replace')
        calls = CALL.findall(page)
        if not calls:
            print('%s: no message' % path)
        for call in calls:
            values = [unescape(v) for v in STRING.findall(call)]
            if len(values) < 2:
                print('%s: short call' % path)
                continue
            for piece in [values[0]] + values[1].split('`|'):
                for finding in findings(piece):
                    print('%s: %s in %r' % (path, finding, piece))
    print('checked')


if __name__ == '__main__':
    main(sys.argv[1:])
