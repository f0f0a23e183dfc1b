"""Reads or writes a workbook with openpyxl for the interoperability test.

read PATH        prints the workbook's sheets, merged ranges and cells as JSON
write PATH       writes a workbook with one cell of every kind the test expects
formatting PATH  writes a workbook with borders, theme colours, column widths, row heights,
                 hidden and grouped rows and columns, default sizes, a frozen pane and hidden
                 sheets
layout PATH      prints that formatting as JSON, every colour as the [r, g, b] it shows
cells PATH       prints every cell with a value or a style of its own (value, type, number
                 format, alignment, border, fill, font), each sheet's outline and default
                 sizes, and the defined names as JSON
"""
import colorsys
import datetime
import json
import sys
import xml.etree.ElementTree as ElementTree

import openpyxl
from openpyxl.styles import Alignment, Border, Color, Font, PatternFill, Side


def encode(value):
    if isinstance(value, (datetime.datetime, datetime.date, datetime.time)):
        return value.isoformat()
    if isinstance(value, datetime.timedelta):  # a duration format such as [hh]:mm
        return value.total_seconds()
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


def formatting(path):
    workbook = openpyxl.Workbook()
    sheet = workbook.active
    sheet.title = "Formate"
    sheet["A1"] = "Rahmen"
    sheet["A1"].border = Border(
        left=Side(style="thin", color="FF0000FF"),
        right=Side(style="double", color=Color(theme=5, tint=-0.25)),
        top=Side(style="mediumDashed"),
        bottom=Side(style="thick", color=Color(indexed=10)),
        diagonal=Side(style="hair", color="FF00FF00"),
        diagonalUp=True)
    sheet["B1"] = "Thema"
    sheet["B1"].font = Font(color=Color(theme=4, tint=0.4))
    sheet["B1"].fill = PatternFill("solid", fgColor=Color(theme=9, tint=-0.5))
    sheet["C2"] = 1
    sheet["C2"].font = Font(color=Color(theme=1))
    sheet.column_dimensions["A"].width = 30.5
    sheet.column_dimensions["C"].width = 8
    sheet.row_dimensions[1].height = 40
    sheet.row_dimensions[7].height = 12.75  # a row without cells
    sheet.freeze_panes = "B3"
    for row in range(10, 16):
        sheet.cell(row=row, column=1, value=row)
    sheet.row_dimensions.group(10, 13, outline_level=1)
    sheet.row_dimensions.group(11, 12, outline_level=2, hidden=True)
    sheet.row_dimensions[14].collapsed = True
    sheet.row_dimensions[20].hidden = True  # a row without cells
    sheet.column_dimensions.group("E", "F", outline_level=1, hidden=True)
    sheet.column_dimensions["G"].collapsed = True
    sheet.column_dimensions["H"].hidden = True
    sheet.sheet_properties.outlinePr.summaryBelow = False
    sheet.sheet_properties.outlinePr.summaryRight = False
    sheet.sheet_format.defaultRowHeight = 13.5
    sheet.sheet_format.customHeight = True
    sheet.sheet_format.defaultColWidth = 9.75
    sheet.sheet_format.baseColWidth = 10
    # The depth of the groups, as spreadsheet programs write it: openpyxl leaves the rows' to
    # the user and counts the columns' only once it has written the sheet's format.
    sheet.sheet_format.outlineLevelRow = 2
    sheet.column_dimensions.to_tree()
    hidden = workbook.create_sheet("Versteckt")
    hidden["A1"] = "x"
    hidden.sheet_state = "hidden"
    very_hidden = workbook.create_sheet("Sehr versteckt")
    very_hidden["A1"] = "y"
    very_hidden.sheet_state = "veryHidden"
    workbook.save(path)


def theme_colours(workbook):
    """The theme's colours in the order styles index them (light 1 first); a workbook without
    a theme has no theme colours."""
    if workbook.loaded_theme is None:
        return None
    ns = {"a": "http://schemas.openxmlformats.org/drawingml/2006/main"}
    scheme = ElementTree.fromstring(workbook.loaded_theme).find(".//a:clrScheme", ns)
    colours = {}
    for element in scheme:
        name = element.tag.split("}")[1]
        value = element[0].get("lastClr") or element[0].get("val")
        colours[name] = value
    order = ["lt1", "dk1", "lt2", "dk2", "accent1", "accent2", "accent3", "accent4",
             "accent5", "accent6", "hlink", "folHlink"]
    return [colours[name] for name in order]


def shown(colour, theme):
    if colour is None:
        return None
    if colour.type == "rgb":
        value = colour.rgb[-6:]
    elif colour.type == "theme":
        value = theme[colour.theme]
    elif colour.type == "indexed":
        value = openpyxl.styles.colors.COLOR_INDEX[colour.indexed][-6:]
    else:
        return None
    rgb = [int(value[i:i + 2], 16) / 255 for i in (0, 2, 4)]
    tint = colour.tint or 0
    if tint:
        hue, lightness, saturation = colorsys.rgb_to_hls(*rgb)
        lightness = lightness * (1 + tint) if tint < 0 else lightness * (1 - tint) + tint
        rgb = colorsys.hls_to_rgb(hue, lightness, saturation)
    return [round(c * 255) for c in rgb]


def outline(sheet):
    """The hidden, grouped and collapsed rows and columns, where a group's summary lies and
    the sizes of rows and columns without their own."""
    def flags(dimension):
        return [bool(dimension.hidden), int(dimension.outline_level or 0),
                bool(dimension.collapsed)]
    rows = {str(index): flags(dimension) for index, dimension in sheet.row_dimensions.items()
            if flags(dimension) != [False, 0, False]}
    columns = {}
    for dimension in sheet.column_dimensions.values():
        if flags(dimension) != [False, 0, False]:
            for index in range(dimension.min or 1, (dimension.max or dimension.min or 1) + 1):
                columns[str(index)] = flags(dimension)
    summary = sheet.sheet_properties.outlinePr
    sizes = sheet.sheet_format
    return {"rows": rows, "columns": columns,
            "summary": [summary is None or summary.summaryBelow is not False,
                        summary is None or summary.summaryRight is not False],
            "defaults": [sizes.baseColWidth, sizes.defaultColWidth, sizes.defaultRowHeight,
                         bool(sizes.customHeight), sizes.outlineLevelRow or 0,
                         sizes.outlineLevelCol or 0]}


def layout(path):
    workbook = openpyxl.load_workbook(path)
    theme = theme_colours(workbook)
    result = {"states": {}, "frozen": {}, "widths": {}, "heights": {}, "outline": {},
              "cells": {}}
    for sheet in workbook.worksheets:
        result["states"][sheet.title] = sheet.sheet_state
        result["outline"][sheet.title] = outline(sheet)
        result["frozen"][sheet.title] = sheet.freeze_panes
        for key, dimension in sheet.column_dimensions.items():
            if dimension.customWidth:
                result["widths"][sheet.title + "!" + key] = dimension.width
        for key, dimension in sheet.row_dimensions.items():
            if dimension.customHeight:
                result["heights"][sheet.title + "!" + str(key)] = dimension.ht
        for row in sheet.iter_rows():
            for cell in row:
                border = cell.border
                sides = {}
                for side in ("left", "right", "top", "bottom", "diagonal"):
                    value = getattr(border, side)
                    if value is not None and value.style:
                        sides[side] = [value.style, shown(value.color, theme)]
                fill = cell.fill.fgColor if cell.fill.fill_type == "solid" else None
                result["cells"][sheet.title + "!" + cell.coordinate] = {
                    "border": sides, "diagonalUp": bool(border.diagonalUp),
                    "font": shown(cell.font.color, theme), "fill": shown(fill, theme)}
    json.dump(result, sys.stdout, ensure_ascii=False)


def alignment_of(alignment):
    """Every alignment attribute, an unset one as its default."""
    return {"horizontal": alignment.horizontal or "general",
            "vertical": alignment.vertical or "bottom",
            "textRotation": int(alignment.textRotation or 0),
            "wrapText": bool(alignment.wrapText), "shrinkToFit": bool(alignment.shrinkToFit),
            "indent": int(alignment.indent or 0),
            "relativeIndent": int(alignment.relativeIndent or 0),
            "justifyLastLine": bool(alignment.justifyLastLine),
            "readingOrder": int(alignment.readingOrder or 0)}


def cells(path):
    workbook = openpyxl.load_workbook(path)
    theme = theme_colours(workbook)
    result = {"sheets": {}, "names": [], "cells": {}}
    for sheet in workbook.worksheets:
        result["sheets"][sheet.title] = [sheet.sheet_state,
                                         sorted(str(r) for r in sheet.merged_cells.ranges),
                                         outline(sheet)]
        for row in sheet.iter_rows():
            for cell in row:
                if cell.value is None and not cell.has_style:
                    continue
                sides = {}
                for side in ("left", "right", "top", "bottom", "diagonal"):
                    value = getattr(cell.border, side)
                    if value is not None and value.style:
                        sides[side] = [value.style, shown(value.color, theme)]
                fill = cell.fill.fgColor if cell.fill.fill_type == "solid" else None
                font = cell.font
                result["cells"][sheet.title + "!" + cell.coordinate] = {
                    "value": encode(cell.value), "type": cell.data_type,
                    "numberFormat": cell.number_format,
                    "alignment": alignment_of(cell.alignment), "border": sides,
                    "fill": shown(fill, theme),
                    "font": [font.name, font.sz, bool(font.b), bool(font.i), bool(font.u),
                             bool(font.strike), shown(font.color, theme)]}
    for name in workbook.defined_names.definedName:
        result["names"].append([name.name, name.attr_text, name.localSheetId,
                                bool(name.hidden)])
    for sheet in workbook.worksheets:
        # openpyxl keeps print areas and sheet-scoped names with their sheet.
        for name, value in getattr(sheet, "defined_names", {}).items():
            result["names"].append([name, value.attr_text, workbook.index(sheet),
                                    bool(value.hidden)])
        if sheet.print_area:
            result["names"].append(["_xlnm.Print_Area", sheet.print_area,
                                    workbook.index(sheet), False])
    result["names"].sort(key=lambda n: (n[0], n[2] if n[2] is not None else -1))
    json.dump(result, sys.stdout, ensure_ascii=False)


if __name__ == "__main__":
    {"read": read, "write": write, "formatting": formatting,
     "layout": layout, "cells": cells}[sys.argv[1]](sys.argv[2])
