#!/usr/bin/env python3
"""Dumps what a spreadsheet reader sees in a workbook, as JSON on stdout: sheets, document properties, every
non-empty cell with its type, number format, font, alignment, borders and fill, merged ranges, manual page
breaks, row heights and the images stored in the package."""
import json
import sys
import zipfile

import openpyxl


def color(c):
    if c is None or c.rgb is None or not isinstance(c.rgb, str):
        return None
    return c.rgb


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
    json.dump(out, sys.stdout, ensure_ascii=False)


if __name__ == "__main__":
    main(sys.argv[1])
