#!/usr/bin/python3
"""A workbook for the whole XLSX run, made from a gen_bench.py CSV:

  gen_bench_xlsx.py IN.csv OUT.xlsx

One sheet "Daten" with the CSV's header and rows; the id is a number, the birth date a date
cell (dd.mm.yyyy), the amount a number (#,##0.00), everything else text.
"""
import csv
import datetime
import sys

from openpyxl import Workbook
from openpyxl.cell import WriteOnlyCell


def main():
    source, target = sys.argv[1], sys.argv[2]
    book = Workbook(write_only=True)
    sheet = book.create_sheet('Daten')
    with open(source, encoding='utf-8', newline='') as f:
        rows = csv.reader(f, delimiter=';')
        sheet.append(next(rows))
        for row in rows:
            day, month, year = (int(part) for part in row[6].split('.'))
            date = WriteOnlyCell(sheet, datetime.date(year, month, day))
            date.number_format = 'dd.mm.yyyy'
            amount = WriteOnlyCell(sheet, float(row[7].replace(',', '.')))
            amount.number_format = '#,##0.00'
            sheet.append([int(row[0])] + row[1:6] + [date, amount] + row[8:])
    book.save(target)


if __name__ == '__main__':
    main()
