"""Writes the workbooks the grid's import tests read, with other programs' writers.

make_workbooks.py DIR ROWS: DIR/sample.xls (xlwt) and DIR/sample.xlsx (openpyxl), each with a
sheet "Kinds" of one cell of every kind and a sheet "Rows" of ROWS rows of (n, n * 1.5, "row n").
"""
import datetime
import sys

import openpyxl
import xlwt

out, rows = sys.argv[1], int(sys.argv[2])

KINDS = [
    ("Zürich text", None),
    (3.25, None),
    (-17, None),
    (1234567.125, None),
    (datetime.date(2024, 2, 29), "YYYY-MM-DD"),
    (datetime.time(13, 45, 30), "HH:MM:SS"),
    (True, None),
]

book = xlwt.Workbook(encoding="utf-8")
kinds = book.add_sheet("Kinds")
for c, (value, fmt) in enumerate(KINDS):
    style = xlwt.easyxf(num_format_str=fmt) if fmt else xlwt.Style.default_style
    kinds.write(0, c, value, style)
kinds.write(2, 1, "third row")
numbers = book.add_sheet("Rows")
for n in range(1, rows + 1):
    numbers.write(n - 1, 0, n)
    numbers.write(n - 1, 1, n * 1.5)
    numbers.write(n - 1, 2, "row %d" % n)
book.save(out + "/sample.xls")

book = openpyxl.Workbook()
kinds = book.active
kinds.title = "Kinds"
for c, (value, fmt) in enumerate(KINDS):
    cell = kinds.cell(row=1, column=c + 1, value=value)
    if fmt:
        cell.number_format = fmt.lower().replace("hh:mm:ss", "hh:mm:ss").replace("yyyy-mm-dd", "yyyy-mm-dd")
kinds.cell(row=1, column=len(KINDS) + 1, value="#DIV/0!")
kinds.cell(row=3, column=2, value="third row")
kinds.column_dimensions["A"].width = 20
numbers = book.create_sheet("Rows")
for n in range(1, rows + 1):
    numbers.append([n, n * 1.5, "row %d" % n])
book.save(out + "/sample.xlsx")
