#!/usr/bin/python3
# Makes the small workbooks the workbook tests read, with openpyxl (Debian python3-openpyxl), then
# adds by hand what openpyxl does not write: a formula with its computed value, an inline string
# and a rich-text shared string with a phonetic guide. Run from this folder:
#     /usr/bin/python3 make-workbooks.py
import datetime
import re
import shutil
import zipfile

import openpyxl
from openpyxl.utils.datetime import CALENDAR_MAC_1904


def patch(path, part, edit):
    """Rewrites one part of a zip with edit(text) -> text."""
    tmp = path + ".tmp"
    with zipfile.ZipFile(path) as src, zipfile.ZipFile(tmp, "w", zipfile.ZIP_DEFLATED) as dst:
        for item in src.infolist():
            data = src.read(item.filename)
            if item.filename == part:
                data = edit(data.decode("utf-8")).encode("utf-8")
            dst.writestr(item, data)
    shutil.move(tmp, path)


wb = openpyxl.Workbook()
ws = wb.active
ws.title = "People"
ws.append(["Name", "Count", "Share", "Price", "Born", "Seen", "At", "Member", "Error",
           "Sum", "Cached", "Inline", "Rich", "Mixed"])
rows = [
    ["Ann", 12, 0.25, 3.5, datetime.date(1990, 3, 14), datetime.datetime(2024, 3, 14, 13, 5, 9),
     datetime.time(7, 30, 0), True, "#DIV/0!", "=B2+1", "=B2*2", "x", "r", "text"],
    ["Bob", 1e20, 0.5, 1234.5, datetime.date(1900, 1, 1), datetime.datetime(2000, 1, 1, 0, 0, 1),
     datetime.time(23, 59, 59), False, "#N/A", "=B3+1", "=B3*2", "y", "r", 5],
    ["Cy", 0.1 + 0.2, 1, -7, datetime.date(2099, 12, 31), datetime.datetime(1999, 12, 31, 23, 59, 59),
     datetime.time(0, 0, 1), True, "#VALUE!", "=B4+1", "=B4*2", "z", "r", 2.5],
]
for row in rows:
    ws.append(row)
for r in range(2, 5):
    ws.cell(r, 3).number_format = "0.00%"
    ws.cell(r, 4).number_format = '"$"#,##0.00'
    ws.cell(r, 5).number_format = "dd-mmm-yyyy"
    ws.cell(r, 6).number_format = "mm/dd/yyyy hh:mm:ss"
    ws.cell(r, 7).number_format = "h:mm:ss"
    ws.cell(r, 9).data_type = "e"
ws.cell(2, 2).number_format = "0.0"
ws.cell(5, 1).value = "merged"          # A5:B5 merged, the value in A5
ws.merge_cells("A5:B5")
ws.cell(7, 1).value = "after a gap"     # row 6 empty, kept
ws.column_dimensions["A"].width = 20
ws.column_dimensions["N"].hidden = True
# Cells with only a style past the data: trailing, dropped.
ws.cell(12, 20).number_format = "0.00"
second = wb.create_sheet("Second")
second.append(["Only"])
second.append(["in two"])
wb.create_sheet("Third").append(["Third title"])
wb.save("kinds.xlsx")


def add_by_hand(sheet):
    # K: the formulas' computed values. M and N2: shared strings, M a rich-text one (runs, an
    # escaped CR, a phonetic guide that is not part of the text). J keeps formulas without values.
    sheet = re.sub(r'<c r="K(\d)"([^>]*)><f>([^<]*)</f><v></v></c>',
                   lambda m: '<c r="K%s"%s><f>%s</f><v>%d</v></c>' % (
                       m.group(1), m.group(2), m.group(3), 100 + int(m.group(1))), sheet)
    sheet = re.sub(r'<c r="M(\d)" t="inlineStr"><is><t>r</t></is></c>',
                   r'<c r="M\1" t="s"><v>0</v></c>', sheet)
    sheet = sheet.replace('<c r="N2" t="inlineStr"><is><t>text</t></is></c>',
                          '<c r="N2" t="s"><v>1</v></c>')
    return sheet


SHARED = ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
          '<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" count="4" '
          'uniqueCount="2"><si><r><rPr><b/></rPr><t>Bold</t></r><r><t xml:space="preserve"> and '
          'plain_x000D_\nnext</t></r><rPh sb="0" eb="1"><t>PHONETIC</t></rPh></si>'
          '<si><t>shared text</t></si></sst>')


def add_shared_strings(path):
    patch(path, "xl/worksheets/sheet1.xml", add_by_hand)
    patch(path, "[Content_Types].xml", lambda t: t.replace(
        "</Types>", '<Override PartName="/xl/sharedStrings.xml" ContentType="application/'
        'vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml"/></Types>'))
    patch(path, "xl/_rels/workbook.xml.rels", lambda t: t.replace(
        "</Relationships>", '<Relationship Id="rIdS" Type="http://schemas.openxmlformats.org/'
        'officeDocument/2006/relationships/sharedStrings" Target="sharedStrings.xml"/>'
        "</Relationships>"))
    with zipfile.ZipFile(path, "a", zipfile.ZIP_DEFLATED) as z:
        z.writestr("xl/sharedStrings.xml", SHARED)


add_shared_strings("kinds.xlsx")

mac = openpyxl.Workbook()
mac.epoch = CALENDAR_MAC_1904
ms = mac.active
ms.append(["Day", "When"])
ms.append([datetime.date(2024, 3, 14), datetime.datetime(1904, 1, 2, 12, 0, 0)])
ms.cell(2, 1).number_format = "yyyy-mm-dd"
ms.cell(2, 2).number_format = "yyyy-mm-dd hh:mm"
mac.save("dates1904.xlsx")
