#!/usr/bin/python3
"""Reads a .docx with python-docx and prints what the tests compare, as JSON.

    read_docx.py FILE            the body in order, page setup, footers and settings
    read_docx.py --count FILE    just the number of tables and paragraphs
                                 (for big files, without python-docx)
"""

import json
import re
import sys
import zipfile

W = "{http://schemas.openxmlformats.org/wordprocessingml/2006/main}"


def count(path):
    with zipfile.ZipFile(path) as package:
        body = package.read("word/document.xml").decode("utf-8")
    return {"tables": len(re.findall(r"<w:tbl>", body)),
            "paragraphs": len(re.findall(r"<w:p[ >/]", body))}


def alignment(paragraph):
    jc = paragraph._p.find(f"{W}pPr/{W}jc")
    return "left" if jc is None else jc.get(f"{W}val")


def run_text(r):
    # python-docx reads breaks as "\n"; keep them apart so text compares as typed.
    text = ""
    for child in r:
        if child.tag == f"{W}t":
            text += child.text or ""
        elif child.tag == f"{W}tab":
            text += "\t"
        elif child.tag == f"{W}br" and child.get(f"{W}type") is None:
            text += "\v"
    return text


def paragraph(p):
    from docx.text.run import Run
    runs = []
    page_breaks = 0
    field = []
    for r in p._p.findall(f"{W}r"):
        page_breaks += len([b for b in r.findall(f"{W}br") if b.get(f"{W}type") == "page"])
        for f in r.findall(f"{W}fldChar"):
            field.append(f.get(f"{W}fldCharType"))
        for i in r.findall(f"{W}instrText"):
            field.append("instr:" + i.text)
        text = run_text(r)
        if not text:
            continue
        font = Run(r, p).font
        runs.append({"text": text, "font": font.name,
                     "size": font.size.pt if font.size is not None else None,
                     "bold": bool(font.bold)})
    mark = p._p.find(f"{W}pPr/{W}rPr/{W}sz")
    return {"type": "p", "text": "".join(r["text"] for r in runs), "runs": runs,
            "alignment": alignment(p), "pageBreaks": page_breaks, "field": field,
            "keepNext": p._p.find(f"{W}pPr/{W}keepNext") is not None,
            "markSize": int(mark.get(f"{W}val")) / 2 if mark is not None else None}


def table(t):
    borders = t._tbl.find(f"{W}tblPr/{W}tblBorders")
    cells = []
    aligns = []
    fonts = set()
    for row in t.rows:
        cells.append([c.text for c in row.cells])
        aligns.append([alignment(c.paragraphs[0]) for c in row.cells])
        for c in row.cells:
            for p in c.paragraphs:
                style = p.style
                fonts.add((style.font.name, style.font.size.pt if style.font.size else None))
                fonts.update((r.font.name, r.font.size.pt if r.font.size else None)
                             for r in p.runs if r.font.name is not None)
    rows = [{"header": tr.find(f"{W}trPr/{W}tblHeader") is not None,
             "cantSplit": tr.find(f"{W}trPr/{W}cantSplit") is not None,
             "keepNext": all(p.find(f"{W}pPr/{W}keepNext") is not None
                             for p in tr.iter(f"{W}p"))}
            for tr in t._tbl.findall(f"{W}tr")]
    return {"type": "table", "cells": cells, "alignment": aligns, "rows": rows,
            "fonts": sorted([list(f) for f in fonts], key=str),
            "columnWidths": [c.width.twips for c in t.columns],
            "cellWidths": sorted({c.width.twips for row in t.rows for c in row.cells}),
            "borders": {b.tag[len(W):]: b.get(f"{W}val") for b in borders}
            if borders is not None else {}}


def read(path):
    import docx
    from docx.table import Table
    from docx.text.paragraph import Paragraph

    document = docx.Document(path)
    body = []
    for child in document.element.body.iterchildren():
        if child.tag == f"{W}p":
            body.append(paragraph(Paragraph(child, document)))
        elif child.tag == f"{W}tbl":
            body.append(table(Table(child, document)))
    section = document.sections[0]
    footers = {"titlePage": section.different_first_page_header_footer}
    for name, footer in (("default", section.footer), ("first", section.first_page_footer)):
        if not footer.is_linked_to_previous:
            footers[name] = [paragraph(p) for p in footer.paragraphs]
    settings = document.settings.element
    update = settings.find(f"{W}updateFields")
    return {
        "body": body,
        "page": {"width": section.page_width.twips, "height": section.page_height.twips,
                 "top": section.top_margin.twips, "bottom": section.bottom_margin.twips,
                 "left": section.left_margin.twips, "right": section.right_margin.twips},
        "updateFields": update is not None and update.get(f"{W}val") == "true",
        "footers": footers,
        "creator": document.core_properties.author,
    }


def main():
    if len(sys.argv) == 3 and sys.argv[1] == "--count":
        result = count(sys.argv[2])
    elif len(sys.argv) == 2:
        result = read(sys.argv[1])
    else:
        sys.exit(__doc__)
    json.dump(result, sys.stdout, ensure_ascii=False)


if __name__ == "__main__":
    main()
