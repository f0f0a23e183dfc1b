#include "MainFormDescription.h"

#include "Dialog.h"

#include <kivra/Options.h>
#include <run/AppIdentity.h>

#include <QComboBox>
#include <QPushButton>

#include <initializer_list>

using kivra::FieldFlags;
using kivra::INFO;

namespace {

FieldFlags flagBits(std::initializer_list<int> positions)
{
    FieldFlags flags;
    for (const int position : positions)
        flags.setBit(position);
    return flags;
}

const FieldFlags kSpanRow = flagBits({60});

// A layout, line, stretch or row break: no caption, no value.
INFO structural(quint32 type, const FieldFlags &flags = {})
{
    return INFO(type, flags, QString(), QVariant());
}

INFO endLayout()
{
    return structural(kivra::kEndLayout);
}

INFO bound(quint32 type, const QString &name, const QVariant &options, QVariant *value,
           const FieldFlags &flags = {})
{
    return INFO(type, flags, options, value, name);
}

// A button that only triggers an action: its value is an empty text.
INFO actionButton(const QString &name, const QString &caption,
                  const kivra::CallbackVariant &callback = {})
{
    return INFO(kivra::kPushButton, {}, caption, QVariant(QStringLiteral("")), name, callback);
}

INFO callerWidget(const QVariant &caption, const QVariant &widget)
{
    return INFO(kivra::kCallerWidget, {}, caption, widget);
}

kivra::T_LISTITEM item(const QString &text, const QVariant &data, bool selected = false)
{
    return {text, selected, data, {}};
}

} // namespace

QStringList fillEncodingList(const QString &current)
{
    // UTF-16 without byte-order mark is detected with its byte order, which must be selectable.
    QStringList names {QStringLiteral("UTF-8"),    QStringLiteral("ISO-8859-1"),
                       QStringLiteral("System"),   QStringLiteral("UTF-16"),
                       QStringLiteral("UTF-16LE"), QStringLiteral("UTF-16BE"),
                       QStringLiteral("UTF-32")};
    if (!current.isEmpty() && !names.contains(current, Qt::CaseSensitive))
        names.append(current);
    names.sort(Qt::CaseInsensitive);
    return names;
}

kivra::T_LISTDATA encodingListData()
{
    kivra::T_LISTDATA list {item(QStringLiteral("Automatisch"), QStringLiteral(""), true)};
    for (const QString &name : fillEncodingList(QString()))
        list.push_back(item(name, name));
    return list;
}

kivra::T_LISTDATA separatorListData()
{
    return {item(Dialog::tr("Tabulator"), 1), item(Dialog::tr("Komma"), 2),
            item(Dialog::tr("Semikolon"), 3, true)};
}

kivra::T_LISTDATA quoteModeListData()
{
    return {item(Dialog::tr("Keiner"), 0), item(Dialog::tr("Doppelt (\")"), 2, true),
            item(Dialog::tr("Einfach (')"), 1), item(Dialog::tr("Beide (\" und ')"), 3)};
}

kivra::T_LISTDATA escapeModeListData()
{
    return {item(Dialog::tr("Keine"), 0), item(Dialog::tr("TwoQuote"), 4, true),
            item(Dialog::tr("Backslash"), 8)};
}

QVariantMap rowOffsetOptions()
{
    QVariantMap options = kivra::optTitle({}, Dialog::tr("Ab Zeile:"));
    options = kivra::optMaxwidth(options, kivra::kNumberSpinBox, 100);
    options = kivra::optTypealign(options, kivra::kNumberSpinBox, Qt::AlignLeft);
    options = kivra::optMetatype(options, QMetaType::UInt);
    options = kivra::optGroupsep(options, false);
    options = kivra::optPrecision(options, 0);
    options = kivra::optMin(options, QStringLiteral("1"));
    options = kivra::optSignedDatatype(options, false);
    options = kivra::optSpinbox(options, true);
    return kivra::optSpinboxSinglestep(options, 1);
}

QList<INFO> mainFormFields(const MainFormBindings &b)
{
    using namespace kivra;
    const FieldFlags checkList = flagBits({6, 7, 94});
    const FieldFlags topColumn = flagBits({60, 84});

    return {
        structural(kGridLayout, kGroupWithoutCaption),
        // The input line.
        structural(kHBoxLayout, kSpanRow),
        bound(kOpenFileLineEdit, QStringLiteral("input_filename"),
              Dialog::tr("Eingabedatei:{{filefilter}{Unterstützte Dokumente (*.csv *.txt "
                         "*.xlsx);;Alle Dateien (*)}}"),
              b.inputFilename),
        actionButton(QStringLiteral("tmp_update_input_filename"), Dialog::tr("Aktualisieren")),
        actionButton(QStringLiteral("tmp_laden"), Dialog::tr("Laden")),
        bound(kNumberSpinBox, QStringLiteral("input_row_offset"), rowOffsetOptions(),
              b.inputRowOffset, kImmediateUpdate),
        bound(kCheckBox, QStringLiteral("csv_input_relaxed"), Dialog::tr("Relaxed"),
              b.csvInputRelaxed),
        bound(kCheckBox, QStringLiteral("input_has_title"), Dialog::tr("Titel"), b.inputHasTitle),
        bound(kCheckBox, QStringLiteral("input_editable"), Dialog::tr("Bearbeitbar"),
              b.inputEditable),
        structural(kStretch),
        endLayout(),
        structural(kNextGridRow),
        // The CSV options line.
        structural(kHBoxLayout, kSpanRow),
        INFO(kComboBox, {}, Dialog::tr("Textkodierung:"), encodingListData(),
             QStringLiteral("text_encoding")),
        INFO(kComboBox, {}, Dialog::tr("Separatoren: Datenfeld:"), separatorListData(),
             QStringLiteral("sep_data_field")),
        INFO(kComboBox, {}, Dialog::tr("Zeichenketten:"), quoteModeListData(),
             QStringLiteral("sep_data_string")),
        INFO(kComboBox, {}, Dialog::tr("Esc:"), escapeModeListData(),
             QStringLiteral("sep_data_string_esc")),
        structural(kStretch),
        endLayout(),
        structural(kNextGridRow),
        structural(kHLine, kSpanRow),
        structural(kNextGridRow),
        // The columns to empty, with their selection buttons beside them.
        INFO(kListWidget, checkList, Dialog::tr("Feldinhalte\nlöschen:"), b.emptyFieldItems,
             QStringLiteral("empty_data_fields")),
        structural(kVBoxLayout, topColumn),
        structural(kHBoxLayout),
        INFO(kLabel, {}, Dialog::tr("Auswahl:"), QVariant()),
        actionButton(QStringLiteral("tmp_empty_select_all"), Dialog::tr("Alle")),
        actionButton(QStringLiteral("tmp_empty_select_none"), Dialog::tr("Keine")),
        structural(kStretch),
        endLayout(),
        structural(kHLine),
        endLayout(),
        structural(kNextGridRow),
        // The field type per column.
        callerWidget(Dialog::tr("Feldinhalte\nändern:"), QVariant::fromValue(b.columnCombo)),
        structural(kHBoxLayout, kSpanRow),
        callerWidget(QString(), QVariant::fromValue(b.typeCombo)),
        callerWidget(QString(), QVariant::fromValue(b.assignButton)),
        actionButton(QStringLiteral("config_replacements"), Dialog::tr("Konfigurieren")),
        endLayout(),
        structural(kNextGridRow),
        structural(kHLine, kSpanRow),
        structural(kNextGridRow),
        // The output.
        bound(kSaveFileLineEdit, QStringLiteral("export_filename"),
              Dialog::tr("Ausgabedatei:{{filefilter}{Text Dateien (*.csv);;Excel-Dateien "
                         "(*.xlsx)}}"),
              b.exportFilename),
        bound(kCheckBox, QStringLiteral("create_export_map_file"), Dialog::tr("Zuordnungsdatei"),
              b.createExportMapFile),
        bound(kCheckBox, QStringLiteral("script_use"), Dialog::tr("Scriptdatei"), b.scriptUse),
        bound(kOpenFileLineEdit, QStringLiteral("script_filename"),
              Dialog::tr("{{filefilter}{Script-Dateien (*.js)}}"), b.scriptFilename),
        endLayout(),
        // The button row.
        structural(kHBoxLayout),
        actionButton(QStringLiteral("tmp_testen"), Dialog::tr("Testen und Erstellen")),
        actionButton(QStringLiteral("tmp_sichern"), Dialog::tr("Speichern")),
        INFO(kOkButton, {}, Dialog::tr("Beenden"), QVariant()),
        actionButton(QString(), Dialog::tr("Hilfe"), b.showHelp),
        INFO(kHelpUrlButton, {}, Dialog::tr("Webseite/Weitere Software"), makerWebAddress()),
        actionButton(QString(), Dialog::tr("Lizenzen"), b.showLicenses),
        endLayout(),
    };
}
