"""Builds the workbooks of this folder: each is drafted with openpyxl, then opened and saved
again by LibreOffice Calc (headless), so that the committed files are laid out as that
program writes them. Neither the build nor the tests run this; it needs python3-openpyxl and
libreoffice-calc-nogui.

    /usr/bin/python3 tests/xlsx/data/make_corpus.py
"""
import datetime
import os
import shutil
import subprocess
import sys
import tempfile

import openpyxl
from openpyxl.comments import Comment
from openpyxl.styles import Alignment, Border, Font, PatternFill, Side
from openpyxl.workbook.defined_name import DefinedName

HERE = os.path.dirname(os.path.abspath(__file__))

CUSTOMERS = [
    ("Anna Berger", "Berlin", 1250.5, 0.19, datetime.date(2024, 1, 15),
     datetime.datetime(2024, 1, 15, 9, 30)),
    ("Jörg Özdemir", "München", 980.0, 0.07, datetime.date(2023, 12, 31),
     datetime.datetime(2023, 12, 31, 23, 59, 30)),
    ("Clara Weiß", "Köln", 15320.75, 0.19, datetime.date(2024, 2, 29),
     datetime.datetime(2024, 2, 29, 12, 0)),
    ("Dieter Müller-Lüdenscheidt", "Frankfurt am Main", -42.1, 0.0, datetime.date(1999, 7, 1),
     datetime.datetime(1999, 7, 1, 6, 15)),
]


def umsatz(path):
    """Three sheets (one hidden), a merged title, currency, percentage, date and date-time
    formats, formulas across sheets and through names of both scopes, every kind of
    alignment, an autofilter and a comment. (Calc saves no frozen pane when it runs headless:
    panes are part of its window, which it does not open.)"""
    book = openpyxl.Workbook()
    kunden = book.active
    kunden.title = "Kunden"
    thin = Side(style="thin", color="FF404040")
    header = ["Name", "Ort", "Umsatz", "Steuer", "Datum", "Zeitpunkt",
              "Bevölkerung\nin Millionen"]
    for column, text in enumerate(header, 1):
        cell = kunden.cell(row=1, column=column, value=text)
        cell.font = Font(bold=True, color="FF1F3864", size=12)
        cell.fill = PatternFill("solid", fgColor="FFD9E1F2")
        cell.border = Border(bottom=Side(style="medium"))
        cell.alignment = Alignment(horizontal="center", vertical="center", wrap_text=True)
    for row, (name, city, amount, rate, day, moment) in enumerate(CUSTOMERS, 2):
        kunden.cell(row=row, column=1, value=name).alignment = Alignment(wrap_text=True)
        kunden.cell(row=row, column=2, value=city).alignment = Alignment(indent=2)
        kunden.cell(row=row, column=3, value=amount).number_format = '#,##0.00 "€"'
        kunden.cell(row=row, column=4, value=rate).number_format = "0%"
        kunden.cell(row=row, column=5, value=day).number_format = "DD.MM.YYYY"
        kunden.cell(row=row, column=6, value=moment).number_format = "DD.MM.YYYY HH:MM:SS"
        kunden.cell(row=row, column=7, value=3.645 / row).alignment = Alignment(
            shrink_to_fit=True)
        for column in range(1, 8):
            kunden.cell(row=row, column=column).border = Border(left=thin, right=thin)
    kunden["H1"] = "Hinweis"
    kunden["H1"].alignment = Alignment(text_rotation=90, vertical="top")
    kunden["H2"] = "schräg"
    kunden["H2"].alignment = Alignment(text_rotation=45, horizontal="right", indent=1)
    kunden["H3"] = "gestapelt"
    kunden["H3"].alignment = Alignment(text_rotation=255)
    kunden["H4"] = "rechts nach links"
    kunden["H4"].alignment = Alignment(horizontal="distributed", justifyLastLine=True,
                                       readingOrder=2)
    kunden["A2"].comment = Comment("Stammkundin seit 2010", "Vertrieb")
    kunden.auto_filter.ref = "A1:G5"
    kunden.column_dimensions["A"].width = 28
    kunden.column_dimensions["G"].width = 9
    kunden.row_dimensions[1].height = 33

    geheim = book.create_sheet("Geheim")
    geheim["A1"] = "Steuersatz"
    geheim["B1"] = 0.19
    geheim["A2"] = "Grenze"
    geheim["B2"] = 1000
    geheim.sheet_state = "hidden"

    auswertung = book.create_sheet("Auswertung")
    auswertung["A1"] = "Auswertung der Umsätze"
    auswertung["A1"].font = Font(bold=True, size=14)
    auswertung["A1"].alignment = Alignment(horizontal="center")
    auswertung.merge_cells("A1:D1")
    auswertung["A3"] = "Summe"
    auswertung["B3"] = "=SUM(Kunden!C2:C5)"
    auswertung["A4"] = "Steuer"
    auswertung["B4"] = "=B3*Steuersatz"
    auswertung["A5"] = "Rabatt"
    auswertung["B5"] = "=B3*Rabatt"
    auswertung["A6"] = "Über der Grenze"
    auswertung["B6"] = "=COUNTIF(Umsaetze,\">\"&Grenze)"
    auswertung["A7"] = "Mit Faktor"
    auswertung["B7"] = "=B3*Faktor"
    for row in range(3, 8):
        auswertung.cell(row=row, column=2).number_format = '#,##0.00 "€"'
    auswertung.column_dimensions["A"].width = 18

    # Workbook names: references, a number, a formula over references, one holding text.
    book.defined_names.append(DefinedName("Steuersatz", attr_text="Geheim!$B$1"))
    book.defined_names.append(DefinedName("Grenze", attr_text="Geheim!$B$2"))
    book.defined_names.append(DefinedName("Umsaetze", attr_text="Kunden!$C$2:$C$5"))
    book.defined_names.append(DefinedName("Faktor", attr_text="1.5"))
    book.defined_names.append(DefinedName("Gesamt", attr_text="SUM(Kunden!$C$2:$C$5)*2",
                                          hidden=True))
    book.defined_names.append(DefinedName("Gruss", attr_text='"Hallo Anna"'))
    # A name of the "Auswertung" sheet alone.
    book.defined_names.append(DefinedName("Rabatt", attr_text="0.05", localSheetId=2))
    book.save(path)


def termine(path):
    """Two sheets of dates, times and amounts with borders and fills of every kind, an array
    formula and a print area."""
    book = openpyxl.Workbook()
    plan = book.active
    plan.title = "Plan"
    plan.append(["Termin", "Beginn", "Dauer", "Betrag", "Anteil", "Notiz"])
    start = datetime.datetime(2024, 3, 1, 8, 0)
    sides = ["thin", "medium", "dashed", "dotted", "thick", "double", "hair", "mediumDashed"]
    for i in range(12):
        row = i + 2
        plan.cell(row=row, column=1, value=(start + datetime.timedelta(days=i)).date())
        plan.cell(row=row, column=1).number_format = "YYYY-MM-DD"
        plan.cell(row=row, column=2, value=datetime.time(8 + i % 9, (i * 7) % 60))
        plan.cell(row=row, column=2).number_format = "HH:MM"
        plan.cell(row=row, column=3, value=(i + 1) / 24)
        plan.cell(row=row, column=3).number_format = "[HH]:MM"
        plan.cell(row=row, column=4, value=(i - 4) * 123.456)
        plan.cell(row=row, column=4).number_format = '#,##0.00 [$€-407];[RED]-#,##0.00 [$€-407]'
        plan.cell(row=row, column=5, value=i / 12)
        plan.cell(row=row, column=5).number_format = "0.00%"
        note = plan.cell(row=row, column=6, value="Eintrag %d mit etwas längerem Text" % i)
        note.alignment = Alignment(wrap_text=i % 2 == 0, vertical="top",
                                   indent=i % 4, shrink_to_fit=i % 3 == 0 and i % 2 == 1)
        style = Side(style=sides[i % len(sides)], color="FF%02X00%02X" % (i * 20, 255 - i * 20))
        note.border = Border(top=style, bottom=style)
        if i % 3 == 0:
            note.fill = PatternFill("solid", fgColor="FFFFF2CC")
            note.font = Font(italic=True, underline="single", color="FF7030A0")
    plan["H1"] = "Summe"
    plan["H2"] = "=SUM(D2:D13)"
    plan["H3"] = "=MAX(A2:A13)-MIN(A2:A13)"
    plan["H4"] = "=Stand!B1"
    plan["J2"] = "=D2:D4*2"
    plan.formula_attributes["J2"] = {"t": "array", "ref": "J2:J4"}

    stand = book.create_sheet("Stand")
    stand["A1"] = "Stichtag"
    stand["B1"] = datetime.date(2024, 12, 31)
    stand["B1"].number_format = "DD.MM.YYYY"
    stand["A2"] = "Wahr"
    stand["B2"] = True
    stand["A3"] = "Fehler"
    stand["B3"] = "=1/0"
    stand.sheet_state = "hidden"
    book.defined_names.append(DefinedName("Stichtag", attr_text="Stand!$B$1", localSheetId=0))
    book.defined_names.append(DefinedName("_xlnm.Print_Area", attr_text="Plan!$A$1:$F$13",
                                          localSheetId=0))
    book.save(path)


def gliederung(path):
    """Two sheets with hidden rows and columns and groups of them: a hidden row inside the
    range of a SUBTOTAL that skips hidden rows, rows grouped two levels deep with the inner
    group folded, a hidden column, grouped columns folded away, a bordered, filled, bold and
    centred column, and default row heights and column widths of their own. (Calc keeps no
    folded mark on columns and no summary position of groups; openpyxl's own workbook in
    tst_openpyxl covers those.)"""
    book = openpyxl.Workbook()
    umsatz = book.active
    umsatz.title = "Umsatz"
    umsatz.append(["Betrag", "Name", "Verdeckt", "Q1", "Q2", "Q3", "Summe"])
    for row, (amount, name) in enumerate(
            [(10, "Anna Berger"), (20, "Bernd Kraus"), (300, "Clara Weiß"), (40, "Dora Lenz")],
            2):
        umsatz.cell(row=row, column=1, value=amount)
        umsatz.cell(row=row, column=2, value=name)
        umsatz.cell(row=row, column=3, value="intern %d" % row)
        for column in (4, 5, 6):
            umsatz.cell(row=row, column=column, value=row * column)
        umsatz.cell(row=row, column=7, value="=SUM(D%d:F%d)" % (row, row))
    # 70 while row 4 stays hidden, 370 once it shows.
    umsatz["A7"] = "=SUBTOTAL(109,A2:A5)"
    umsatz.row_dimensions[4].hidden = True
    for row in range(9, 14):
        umsatz.cell(row=row, column=1, value=row)
        umsatz.cell(row=row, column=2, value="Gruppe %d" % row)
    thin = Side(style="thin", color="FF000000")
    for row in range(1, 14):
        cell = umsatz.cell(row=row, column=2)
        cell.border = Border(left=thin, right=Side(style="medium", color="FF203864"), top=thin,
                             bottom=thin)
        cell.fill = PatternFill("solid", fgColor="FFFFE699")
        cell.font = Font(bold=True, color="FFC00000")
        cell.alignment = Alignment(horizontal="center")
    umsatz.row_dimensions.group(9, 12, outline_level=1)
    umsatz.row_dimensions.group(10, 11, outline_level=2, hidden=True)
    umsatz.row_dimensions[12].collapsed = True
    umsatz.column_dimensions["C"].hidden = True
    umsatz.column_dimensions.group("D", "F", outline_level=1, hidden=True)
    umsatz.sheet_format.defaultRowHeight = 16
    umsatz.sheet_format.customHeight = True
    umsatz.sheet_format.defaultColWidth = 11.6

    notizen = book.create_sheet("Notizen")
    for row in range(1, 8):
        notizen.cell(row=row, column=1, value="Notiz %d" % row)
        notizen.cell(row=row, column=2, value=row)
    notizen.row_dimensions.group(3, 5, outline_level=1, hidden=True)
    notizen.column_dimensions["B"].hidden = True
    notizen.sheet_format.defaultRowHeight = 12.75
    notizen.sheet_format.customHeight = True
    notizen.sheet_format.baseColWidth = 10
    book.save(path)


def main():
    if not shutil.which("soffice"):
        sys.exit("soffice is missing (apt-get install libreoffice-calc-nogui)")
    with tempfile.TemporaryDirectory() as drafts:
        for name, build in (("umsatz", umsatz), ("termine", termine),
                            ("gliederung", gliederung)):
            draft = os.path.join(drafts, name + ".xlsx")
            build(draft)
            out = os.path.join(drafts, "out")
            subprocess.run(["soffice", "--headless", "-env:UserInstallation=file://" + drafts +
                            "/profile", "--convert-to", "xlsx:Calc MS Excel 2007 XML",
                            "--outdir", out, draft], check=True, stdout=subprocess.DEVNULL)
            shutil.copy(os.path.join(out, name + ".xlsx"), os.path.join(HERE, name + ".xlsx"))
            print("wrote", name + ".xlsx")


if __name__ == "__main__":
    main()
