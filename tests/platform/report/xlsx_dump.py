#!/usr/bin/env python3
"""Dumps what a spreadsheet reader sees in a workbook, as JSON on stdout: sheets, document properties, every
non-empty cell with its type, number format, font, alignment, borders and fill, merged ranges, manual page
breaks, row heights and the images stored in the package. This openpyxl reads neither the merged ranges' count
nor the runs of a rich text, so those are taken from the worksheet's XML; with --xml, only they are dumped
(openpyxl takes minutes over a hundred thousand merged ranges)."""
import json
import sys
import zipfile
from xml.etree import ElementTree

import openpyxl


def color(c):
    if c is None or c.rgb is None or not isinstance(c.rgb, str):
        return None
    return c.rgb


def from_xml(path):
    ns = "{http://schemas.openxmlformats.org/spreadsheetml/2006/main}"
    with zipfile.ZipFile(path) as z:
        sheet = ElementTree.fromstring(z.read("xl/worksheets/sheet1.xml"))
    merges = sheet.find(ns + "mergeCells")
    return {
        "merge_count": int(merges.get("count")) if merges is not None else 0,
        "merge_refs": [m.get("ref") for m in merges] if merges is not None else [],
        "rich": {c.get("r"): [[r.findtext(ns + "t"), r.find(ns + "rPr/" + ns + "b") is not None]
                              for r in c.iter(ns + "r")]
                 for c in sheet.iter(ns + "c") if c.find(ns + "is/" + ns + "r") is not None},
    }


def main(path):
    wb = openpyxl.load_workbook(path)
    out = {
        "sheets": wb.sheetnames,
        "properties": {
            "title": wb.properties.title,
            "creator": wb.properties.creator,
            "subject": wb.properties.subject,
        },
    }
    ws = wb[wb.sheetnames[0]]
    cells = []
    for row in ws.iter_rows():
        for cell in row:
            if cell.value is None:
                continue
            value = cell.value
            if hasattr(value, "isoformat"):
                value = value.isoformat()
            fill = cell.fill
            cells.append({
                "ref": cell.coordinate,
                "row": cell.row,
                "value": value,
                "type": cell.data_type,
                "number_format": cell.number_format,
                "font": cell.font.name,
                "size": cell.font.sz,
                "bold": bool(cell.font.b),
                "halign": cell.alignment.horizontal,
                "valign": cell.alignment.vertical,
                "wrap": bool(cell.alignment.wrap_text),
                "border": {side: getattr(cell.border, side).style for side in ("left", "top", "right", "bottom")},
                "fill": color(fill.fgColor) if fill is not None and fill.fill_type == "solid" else None,
            })
    out["cells"] = cells
    out["merged"] = sorted(str(r) for r in ws.merged_cells.ranges)
    out["row_breaks"] = [b.id for b in ws.row_breaks.brk]
    out["row_heights"] = {str(k): d.height for k, d in ws.row_dimensions.items() if d.height is not None}
    out["orientation"] = ws.page_setup.orientation
    with zipfile.ZipFile(path) as z:
        out["media"] = sorted(n for n in z.namelist() if n.startswith("xl/media/"))
    out.update(from_xml(path))
    json.dump(out, sys.stdout, ensure_ascii=False)


if __name__ == "__main__":
    if sys.argv[1] == "--xml":
        json.dump(from_xml(sys.argv[2]), sys.stdout, ensure_ascii=False)
    else:
        main(sys.argv[1])
