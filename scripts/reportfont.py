#!/usr/bin/python3
"""Derives the report font from a Noto Sans CJK SC face.

PDF text is extracted through the reverse of a font's character map, and Qt
takes the lowest code point that reaches a glyph. In the CJK fonts many glyphs
are reached by more than one code point (the radical 人 U+2F08 and the
ideograph 人 U+4EBA share one), so a copied or searched 人 came back as the
radical. Here every glyph keeps exactly one code point, the one Chinese text
uses; the others are left to the fallback fonts. Nothing else changes, so the
printed pages look and measure as before.

Usage: reportfont.py SOURCE.ttc SOURCE_FAMILY FAMILY STYLE OUT.otf
"""
import sys
from collections import defaultdict

from fontTools.ttLib import TTFont
from fontTools.ttLib.tables.DefaultTable import DefaultTable


def is_unified(cp):
    return 0x3400 <= cp <= 0x4DBF or 0x4E00 <= cp <= 0x9FFF or 0x20000 <= cp <= 0x3FFFF


def is_look_alike(cp):
    # Radicals and compatibility ideographs: nobody types them, yet they
    # share the glyphs of the ideographs.
    return (0x2E80 <= cp <= 0x2FDF or 0xF900 <= cp <= 0xFAFF or 0x2F800 <= cp <= 0x2FA1F)


def encodable(cp, codec):
    try:
        chr(cp).encode(codec)
        return True
    except UnicodeEncodeError:
        return False


def rank(cp):
    # Lower sorts first: ideographs, then what the Chinese code pages hold
    # (U+3000 over the em space, U+FF5E over the wave dash), then the lowest.
    return (is_look_alike(cp), not is_unified(cp), not encodable(cp, 'gb2312'),
            not encodable(cp, 'gbk'), cp)


def kept_code_points(best_cmap):
    by_glyph = defaultdict(list)
    for cp, glyph in best_cmap.items():
        by_glyph[glyph].append(cp)
    keep = set()
    for cps in by_glyph.values():
        keep.add(min(cps, key=rank))
    return keep


def rename(font, family, style):
    full = f'{family} {style}' if style != 'Regular' else family
    ps = (family + '-' + style).replace(' ', '')
    names = {1: family, 2: style, 3: f'{ps};derived', 4: full, 6: ps, 16: family, 17: style}
    table = font['name']
    table.names = [n for n in table.names if n.nameID not in names and n.nameID not in (18, 21, 22)]
    for name_id, text in names.items():
        table.setName(text, name_id, 3, 1, 0x409)
        table.setName(text, name_id, 1, 0, 0)


def open_face(source, source_family):
    index = 0
    while True:
        # An index past the collection's end raises: the family is not there.
        font = TTFont(source, fontNumber=index, lazy=True, recalcBBoxes=False, recalcTimestamp=False)
        if font['name'].getDebugName(1) == source_family:
            return font
        index += 1


def main():
    source, source_family, family, style, out = sys.argv[1:6]
    font = open_face(source, source_family)
    cmap_table = font['cmap']
    keep = kept_code_points(font.getBestCmap())
    # Unicode tables only; the old Macintosh ones would map the rest again.
    cmap_table.tables = [t for t in cmap_table.tables if t.platformID in (0, 3)]
    for sub in cmap_table.tables:
        if sub.format == 14:
            for selector, entries in sub.uvsDict.items():
                sub.uvsDict[selector] = [(cp, g) for cp, g in entries if cp in keep or g is not None]
        else:
            sub.cmap = {cp: g for cp, g in sub.cmap.items() if cp in keep}
    rename(font, family, style)
    # Every other table goes out byte for byte: recompiling the outlines
    # would take minutes and could only change them.
    for tag in list(font.tables):
        if tag not in ('cmap', 'name', 'GlyphOrder'):
            raw = DefaultTable(tag)
            raw.data = font.reader[tag]
            font.tables[tag] = raw
    font.save(out)
    dropped = sum(1 for cp in font.getBestCmap() if cp not in keep)
    assert dropped == 0
    print(f'{out}: {len(keep)} code points, one per glyph')


if __name__ == '__main__':
    main()
