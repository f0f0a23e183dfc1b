#!/usr/bin/python3
"""A workbook for the whole XLSX run, made from a gen_bench.py CSV:

  gen_bench_xlsx.py IN.csv OUT.xlsx

One sheet "Daten" with the CSV's header and rows, texts in a shared string table as
spreadsheet programs save them; the id is a number, the birth date a date cell (dd.mm.yyyy),
the amount a number (#,##0.00), everything else text. Written directly (no openpyxl, whose
fast mode stores every text inline).
"""
import csv
import datetime
import sys
import zipfile
from xml.sax.saxutils import escape

MAIN = 'http://schemas.openxmlformats.org/spreadsheetml/2006/main'
REL = 'http://schemas.openxmlformats.org/officeDocument/2006/relationships'
PKG = 'http://schemas.openxmlformats.org/package/2006/relationships'
CT = 'application/vnd.openxmlformats-officedocument.spreadsheetml.'
EPOCH = datetime.date(1899, 12, 30)


def column_name(index):
    name = ''
    index += 1
    while index:
        index, rest = divmod(index - 1, 26)
        name = chr(65 + rest) + name
    return name


def main():
    source, target = sys.argv[1], sys.argv[2]
    strings = {}
    rows = []
    with open(source, encoding='utf-8', newline='') as f:
        for number, row in enumerate(csv.reader(f, delimiter=';'), start=1):
            cells = []
            for index, value in enumerate(row):
                ref = '%s%d' % (column_name(index), number)
                if number > 1 and index == 0:
                    cells.append('<c r="%s"><v>%s</v></c>' % (ref, value))
                elif number > 1 and index == 6:
                    day, month, year = (int(part) for part in value.split('.'))
                    serial = (datetime.date(year, month, day) - EPOCH).days
                    cells.append('<c r="%s" s="1"><v>%d</v></c>' % (ref, serial))
                elif number > 1 and index == 7:
                    cells.append('<c r="%s" s="2"><v>%r</v></c>' % (ref, float(value.replace(',', '.'))))
                elif value:
                    position = strings.setdefault(value, len(strings))
                    cells.append('<c r="%s" t="s"><v>%d</v></c>' % (ref, position))
            rows.append('<row r="%d">%s</row>' % (number, ''.join(cells)))
    sheet = ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n<worksheet xmlns="%s">'
             '<sheetData>%s</sheetData></worksheet>' % (MAIN, ''.join(rows)))
    shared = ''.join('<si><t xml:space="preserve">%s</t></si>' % escape(text) for text in strings)
    with zipfile.ZipFile(target, 'w', zipfile.ZIP_DEFLATED) as z:
        z.writestr('[Content_Types].xml',
                   '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
                   '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
                   '<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>'
                   '<Default Extension="xml" ContentType="application/xml"/>'
                   '<Override PartName="/xl/workbook.xml" ContentType="%ssheet.main+xml"/>'
                   '<Override PartName="/xl/worksheets/sheet1.xml" ContentType="%sworksheet+xml"/>'
                   '<Override PartName="/xl/styles.xml" ContentType="%sstyles+xml"/>'
                   '<Override PartName="/xl/sharedStrings.xml" ContentType="%ssharedStrings+xml"/>'
                   '</Types>' % (CT, CT, CT, CT))
        z.writestr('_rels/.rels',
                   '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n<Relationships xmlns="%s">'
                   '<Relationship Id="rId1" Type="%s/officeDocument" Target="xl/workbook.xml"/>'
                   '</Relationships>' % (PKG, REL))
        z.writestr('xl/workbook.xml',
                   '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n<workbook xmlns="%s" xmlns:r="%s">'
                   '<sheets><sheet name="Daten" sheetId="1" r:id="rId1"/></sheets></workbook>' % (MAIN, REL))
        z.writestr('xl/_rels/workbook.xml.rels',
                   '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n<Relationships xmlns="%s">'
                   '<Relationship Id="rId1" Type="%s/worksheet" Target="worksheets/sheet1.xml"/>'
                   '<Relationship Id="rId2" Type="%s/styles" Target="styles.xml"/>'
                   '<Relationship Id="rId3" Type="%s/sharedStrings" Target="sharedStrings.xml"/>'
                   '</Relationships>' % (PKG, REL, REL, REL))
        z.writestr('xl/styles.xml',
                   '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n<styleSheet xmlns="%s">'
                   '<numFmts count="1"><numFmt numFmtId="164" formatCode="dd.mm.yyyy"/></numFmts>'
                   '<fonts count="1"><font><sz val="11"/><name val="Calibri"/></font></fonts>'
                   '<fills count="2"><fill><patternFill patternType="none"/></fill>'
                   '<fill><patternFill patternType="gray125"/></fill></fills>'
                   '<borders count="1"><border/></borders>'
                   '<cellStyleXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0"/></cellStyleXfs>'
                   '<cellXfs count="3"><xf numFmtId="0" fontId="0" fillId="0" borderId="0" xfId="0"/>'
                   '<xf numFmtId="164" fontId="0" fillId="0" borderId="0" xfId="0" applyNumberFormat="1"/>'
                   '<xf numFmtId="4" fontId="0" fillId="0" borderId="0" xfId="0" applyNumberFormat="1"/>'
                   '</cellXfs></styleSheet>' % MAIN)
        z.writestr('xl/worksheets/sheet1.xml', sheet)
        z.writestr('xl/sharedStrings.xml',
                   '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n<sst xmlns="%s" count="%d" '
                   'uniqueCount="%d">%s</sst>' % (MAIN, len(strings), len(strings), shared))


if __name__ == '__main__':
    main()
