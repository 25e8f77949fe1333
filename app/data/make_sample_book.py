"""Writes sample.xls, the workbook the demo's tour loads with File > Load Excel Book.

Run with a Python that has xlwt (Debian: python3-xlwt): make_sample_book.py OUT.xls. The result
is committed beside this script, so running the demo needs no Python at all.
"""
import datetime
import sys

import xlwt

ROWS = [
    ("Item", "Quantity", "Unit price", "Delivered", "Note"),
    ("Grid licences", 12, 149.5, datetime.date(2026, 3, 2), "yearly"),
    ("Printer paper", 40, 4.25, datetime.date(2026, 3, 9), ""),
    ("Monitors", 3, 219.0, datetime.date(2026, 4, 1), "27 inch"),
    ("Keyboards", 8, 35.9, datetime.date(2026, 4, 1), ""),
    ("Training days", 2, 780.0, datetime.date(2026, 5, 18), "on site"),
]

book = xlwt.Workbook(encoding="utf-8")
sheet = book.add_sheet("Orders")
bold = xlwt.easyxf("font: bold on")
money = xlwt.easyxf(num_format_str="#,##0.00")
day = xlwt.easyxf(num_format_str="YYYY-MM-DD")
for r, row in enumerate(ROWS):
    for c, value in enumerate(row):
        if r == 0:
            sheet.write(r, c, value, bold)
        elif isinstance(value, datetime.date):
            sheet.write(r, c, value, day)
        elif c == 2:
            sheet.write(r, c, value, money)
        else:
            sheet.write(r, c, value)
total = len(ROWS)
sheet.write(total, 0, "Total", bold)
sheet.write(total, 1, sum(row[1] for row in ROWS[1:]))
book.save(sys.argv[1])
