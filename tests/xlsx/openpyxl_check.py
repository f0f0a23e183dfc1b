"""Reads or writes a workbook with openpyxl for the interoperability test.

read PATH   prints the workbook's sheets, merged ranges and cells as JSON
write PATH  writes a workbook with one cell of every kind the test expects
"""
import datetime
import json
import sys

import openpyxl
from openpyxl.styles import Alignment, Font, PatternFill


def encode(value):
    if isinstance(value, (datetime.datetime, datetime.date, datetime.time)):
        return value.isoformat()
    return value


def read(path):
    workbook = openpyxl.load_workbook(path)
    result = {"sheets": workbook.sheetnames, "merged": {}, "cells": {}}
    for sheet in workbook.worksheets:
        result["merged"][sheet.title] = sorted(str(r) for r in sheet.merged_cells.ranges)
        for row in sheet.iter_rows():
            for cell in row:
                if cell.value is None:
                    continue
                fill = cell.fill.fgColor.rgb if cell.fill.fill_type == "solid" else None
                result["cells"][sheet.title + "!" + cell.coordinate] = [
                    encode(cell.value), cell.data_type, cell.number_format,
                    bool(cell.font.b), fill]
    json.dump(result, sys.stdout, ensure_ascii=False)


def write(path):
    workbook = openpyxl.Workbook()
    sheet = workbook.active
    sheet.title = "Daten"
    sheet["A1"] = "Straße"
    sheet["B1"] = 42
    sheet["C1"] = 1.25
    sheet["D1"] = True
    sheet["A2"] = datetime.date(2024, 2, 29)
    sheet["B2"] = datetime.datetime(2024, 3, 31, 2, 30)
    sheet["C2"] = datetime.time(8, 15)
    sheet["D2"] = "=B1*2"
    sheet["A3"] = 1234.5
    sheet["A3"].number_format = "#,##0.00"
    sheet["A3"].font = Font(bold=True, color="FFFF0000")
    sheet["A3"].fill = PatternFill("solid", fgColor="FFFFFF00")
    sheet["A3"].alignment = Alignment(horizontal="center")
    sheet["B3"] = "  Leerzeichen  "
    sheet["C3"] = "Zeile 1\nZeile 2"
    sheet.merge_cells("A5:B6")
    workbook.create_sheet("Zweites")["A1"] = "x"
    workbook.save(path)


if __name__ == "__main__":
    {"read": read, "write": write}[sys.argv[1]](sys.argv[2])
