#!/usr/bin/env python3
"""Writes the page's texts as a JavaScript module: every constant of the program's text table
(Shift-JIS bytes, read as Japanese) with its English reading from the English catalogue, so
that the page and the desktop program show the same words.
Usage: make_texts.py texts.h en.po texts.js"""
import json
import re
import sys

CONSTANT = re.compile(r'inline constexpr char (\w+)\[\] = ((?:"(?:[^"\\]|\\.)*"\s*)+);')
ESCAPES = {'n': b'\n', 't': b'\t', '"': b'"', '\\': b'\\', "'": b"'"}


def literal_bytes(literals):
    """The bytes of adjacent C string literals."""
    data = bytearray()
    for body in re.findall(r'"((?:[^"\\]|\\.)*)"', literals):
        i = 0
        while i < len(body):
            if body[i] != '\\':
                data += body[i].encode('ascii')
                i += 1
                continue
            octal = re.match(r'[0-7]{1,3}', body[i + 1:])
            if octal:
                data.append(int(octal.group(), 8))
                i += 1 + len(octal.group())
            else:
                data += ESCAPES[body[i + 1]]
                i += 2
    return bytes(data)


def po_string(lines):
    return ''.join(json.loads(line) for line in lines)


def catalogue(path):
    """msgid -> msgstr of a .po file, the header left out."""
    texts, key, current, parts = {}, None, None, {'msgid': [], 'msgstr': []}
    for line in open(path, encoding='utf-8').read().splitlines() + ['']:
        line = line.strip()
        word = line.split(' ', 1)[0]
        if word in parts:
            if word == 'msgid' and parts['msgstr']:
                key = po_string(parts['msgid'])
                if key:
                    texts[key] = po_string(parts['msgstr'])
                parts = {'msgid': [], 'msgstr': []}
            current = word
            parts[word].append(line[len(word):].strip())
        elif line.startswith('"') and current:
            parts[current].append(line)
    key = po_string(parts['msgid'])
    if key:
        texts[key] = po_string(parts['msgstr'])
    return texts


def main(header, po, out):
    english = catalogue(po)
    texts = {}
    for name, literals in CONSTANT.findall(open(header, encoding='utf-8').read()):
        data = literal_bytes(literals)
        japanese = data.decode('shift_jis')
        if japanese not in english:
            sys.exit(f'{po}: no English text for texts::{name}')
        texts[name] = {'sjis': data.hex(), 'ja': japanese, 'en': english[japanese]}
    with open(out, 'w', encoding='utf-8') as file:
        file.write('// Made by web/make_texts.py from src/model/texts.h and po/en.po.\n')
        file.write('export const texts = ' + json.dumps(texts, ensure_ascii=False, indent=1) + ';\n')


if __name__ == '__main__':
    main(*sys.argv[1:])
