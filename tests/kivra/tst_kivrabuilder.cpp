#include "FormFixture.h"

#include <kivra/Callbacks.h>
#include <kivra/DialogHook.h>
#include <kivra/FormBuilder.h>
#include <kivra/ListData.h>
#include <kivra/Options.h>
#include <kivra/Records.h>
#include <kivra/Registry.h>
#include <kivra/helper/Dialog.h>
#include <kivra/helper/MainWnd.h>

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QEventLoop>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include <limits>
#include <memory>

using namespace kivra;

namespace {

using Fields = QList<INFO>;

FieldFlags bits(std::initializer_list<int> positions)
{
    FieldFlags flags;
    for (const int position : positions)
        flags.setBit(position);
    return flags;
}

INFO field(quint32 type, const QVariant &options = QString(), const InfoValue &value = QVariant(),
           const QString &name = {}, const FieldFlags &flags = {})
{
    return INFO(type, flags, options, value, name);
}

INFO layout(quint32 type, const FieldFlags &flags = {})
{
    return INFO(type, flags);
}

INFO endLayout()
{
    return INFO(kEndLayout);
}

INFO dialogRecord(const QVariant &options = QStringLiteral("Form"),
                  const CallbackVariant &callback = {})
{
    return INFO(kDialogWindow, {}, options, QVariant(), QString(), callback);
}

QVariantMap spinOptions(const QString &title, int metatype, const QString &min)
{
    QVariantMap options = optTitle({}, title);
    options = optMaxwidth(options, kNumberSpinBox, 100);
    options = optTypealign(options, kNumberSpinBox, Qt::AlignLeft);
    options = optMetatype(options, metatype);
    options = optGroupsep(options, false);
    options = optPrecision(options, metatype == QMetaType::Double ? 2 : 0);
    options = optMin(options, min);
    options = optSignedDatatype(options, false);
    options = optSpinbox(options, true);
    return optSpinboxSinglestep(options, 1);
}

// The application's main window description: its bound members, its three widgets of its own
// and its 55 field records.
struct MainForm
{
    QVariant inputFilename;
    QVariant exportFilename;
    QVariant scriptFilename;
    QVariant createExportMapFile = false;
    QVariant csvInputRelaxed = true;
    QVariant inputEditable = true;
    QVariant inputHasTitle = true;
    QVariant inputRowOffset = 1;
    QVariant scriptUse = false;
    T_LISTDATA emptyFieldItems;
    QComboBox *typeCombo = new QComboBox;
    QComboBox *columnCombo = new QComboBox;
    QPushButton *assignButton = new QPushButton(QStringLiteral("Zuweisen"));

    static T_LISTDATA encodings()
    {
        return listData({QString(), "ISO-8859-1", "System", "UTF-16", "UTF-32", "UTF-8"}, {true},
                        {"Automatisch", "ISO-8859-1", "System", "UTF-16", "UTF-32", "UTF-8"});
    }

    Fields fields()
    {
        const QVariant empty = QString();
        return {
            layout(kGridLayout, bits({1})),
            layout(kHBoxLayout, bits({60})),
            field(kOpenFileLineEdit,
                  "Eingabedatei:{{filefilter}{Unterstützte Dokumente (*.csv *.txt *.xlsx);;Alle "
                  "Dateien (*)}}",
                  &inputFilename, "input_filename"),
            field(kPushButton, "Aktualisieren", empty, "tmp_update_input_filename"),
            field(kPushButton, "Laden", empty, "tmp_laden"),
            field(kNumberSpinBox, spinOptions("Ab Zeile:", QMetaType::UInt, "1"), &inputRowOffset,
                  "input_row_offset", bits({25})),
            field(kCheckBox, "Relaxed", &csvInputRelaxed, "csv_input_relaxed"),
            field(kCheckBox, "Titel", &inputHasTitle, "input_has_title"),
            field(kCheckBox, "Bearbeitbar", &inputEditable, "input_editable"),
            field(kStretch),
            endLayout(),
            field(kNextGridRow),
            layout(kHBoxLayout, bits({60})),
            field(kComboBox, "Textkodierung:", encodings(), "text_encoding"),
            field(kComboBox, "Separatoren: Datenfeld:",
                  listData({1, 2, 3}, {false, false, true}, {"Tabulator", "Komma", "Semikolon"}),
                  "sep_data_field"),
            field(kComboBox, "Zeichenketten:",
                  listData({0, 2, 1, 3}, {false, true},
                           {"Keiner", "Doppelt (\")", "Einfach (')", "Beide (\" und ')"}),
                  "sep_data_string"),
            field(kComboBox,
                  "Esc:", listData({0, 4, 8}, {false, true}, {"Keine", "TwoQuote", "Backslash"}),
                  "sep_data_string_esc"),
            field(kStretch),
            endLayout(),
            field(kNextGridRow),
            field(kHLine, QString(), QVariant(), {}, bits({60})),
            field(kNextGridRow),
            field(kListWidget, "Feldinhalte\nlöschen:", &emptyFieldItems, "empty_data_fields",
                  bits({6, 7, 94})),
            layout(kVBoxLayout, bits({60, 84})),
            layout(kHBoxLayout),
            field(kLabel, "Auswahl:"),
            field(kPushButton, "Alle", empty, "tmp_empty_select_all"),
            field(kPushButton, "Keine", empty, "tmp_empty_select_none"),
            field(kStretch),
            endLayout(),
            field(kHLine),
            endLayout(),
            field(kNextGridRow),
            field(kCallerWidget, "Feldinhalte\nändern:", static_cast<QObject *>(columnCombo)),
            layout(kHBoxLayout, bits({60})),
            field(kCallerWidget, QString(), static_cast<QObject *>(typeCombo)),
            field(kCallerWidget, QString(), static_cast<QObject *>(assignButton)),
            field(kPushButton, "Konfigurieren", empty, "config_replacements"),
            endLayout(),
            field(kNextGridRow),
            field(kHLine, QString(), QVariant(), {}, bits({60})),
            field(kNextGridRow),
            field(kSaveFileLineEdit,
                  "Ausgabedatei:{{filefilter}{Text Dateien (*.csv);;Excel-Dateien (*.xlsx)}}",
                  &exportFilename, "export_filename"),
            field(kCheckBox, "Zuordnungsdatei", &createExportMapFile, "create_export_map_file"),
            field(kCheckBox, "Scriptdatei", &scriptUse, "script_use"),
            field(kOpenFileLineEdit, "{{filefilter}{Script-Dateien (*.js)}}", &scriptFilename,
                  "script_filename"),
            endLayout(),
            layout(kHBoxLayout),
            field(kPushButton, "Testen und Erstellen", empty, "tmp_testen"),
            field(kPushButton, "Speichern", empty, "tmp_sichern"),
            field(kOkButton, "Beenden"),
            field(kPushButton, "Hilfe", empty),
            field(kHelpUrlButton, "Webseite/Weitere Software",
                  QStringLiteral("https://example.org")),
            field(kPushButton, "Lizenzen", empty),
            endLayout(),
        };
    }
};

// The application's settings dialog: 48 unnamed records bound to its members.
struct SettingsForm
{
    QVariant intScaleFactor = 1;
    QVariant floatScaleFactor = 1;
    QVariant floatScaleFactorGreater1 = true;
    QVariant saveFloatAsText = false;
    QVariant simulateReal = false;
    QVariant dateMaxShiftDays = 365;
    QVariant dateShiftPerDataSet = true;
    QVariant saveDateAsText = false;
    QVariant saveDateTimeAsText = false;
    QVariant dateToTextFmt = QStringLiteral("dd.MM.yyyy");
    QVariant dateToTextISO = false;
    QVariant dateTimeToTextFmt = QStringLiteral("dd.MM.yyyy HH:mm:ss");
    QVariant dateTimeToTextISO = false;
    QVariant textToDateFmt = QStringLiteral("dd.MM.yyyy");
    QVariant textToDateISO = false;
    QVariant textToDateTimeFmt = QStringLiteral("dd.MM.yyyy HH:mm:ss");
    QVariant textToDateTimeISO = false;
    QVariant removeMetaData = false;

    Fields fields()
    {
        const auto line = [] {
            return field(kHLine, QString(), QVariant(), {}, bits({60}));
        };
        const auto row = [] {
            return field(kNextGridRow);
        };
        const auto box = [](const char *caption, QVariant *member, FieldFlags flags = {}) {
            return field(kCheckBox, caption, member, {}, flags);
        };
        const auto text = [](const char *caption, QVariant *member) {
            return field(kLineEdit, caption, member);
        };
        return {
            layout(kGridLayout),
            field(kNumberSpinBox, spinOptions("Faktor für Ganzzahlen:", QMetaType::Double, "1"),
                  &intScaleFactor, {}, bits({25})),
            row(),
            field(kNumberSpinBox,
                  spinOptions("Faktor für Gleitkommazahlen:", QMetaType::Double, "1"),
                  &floatScaleFactor, {}, bits({25})),
            box("Nur bei Werten ungleich 1 ändern", &floatScaleFactorGreater1),
            row(),
            box("Gleitkomma immer als Text", &saveFloatAsText, bits({33})),
            row(),
            line(),
            row(),
            field(kNumberSpinBox,
                  spinOptions("Maximale Verschiebung für Datumswerte in Tagen:", QMetaType::Int,
                              "30"),
                  &dateMaxShiftDays, {}, bits({25})),
            box("Gleiche Verschiebung für alle Datumswerte", &dateShiftPerDataSet),
            row(),
            box("Datum immer als Text", &saveDateAsText, bits({33})),
            row(),
            box("Datum-Zeit immer als Text", &saveDateTimeAsText, bits({33})),
            row(),
            line(),
            row(),
            text("Datum zu Text: Formatierung:", &dateToTextFmt),
            box("ISO-Format", &dateToTextISO),
            row(),
            text("Datum-Zeit zu Text: Formatierung:", &dateTimeToTextFmt),
            box("ISO-Format", &dateTimeToTextISO),
            row(),
            line(),
            row(),
            text("Text zu Datum: Formatierung:", &textToDateFmt),
            box("ISO-Format", &textToDateISO),
            row(),
            text("Text zu Datum-Zeit: Formatierung:", &textToDateTimeFmt),
            box("ISO-Format", &textToDateTimeISO),
            row(),
            line(),
            row(),
            box("Echtwerte simulieren", &simulateReal, bits({60})),
            row(),
            box("Metadaten entfernen", &removeMetaData, bits({60})),
            row(),
            endLayout(),
            layout(kVBoxLayout),
            field(kHLine),
            layout(kHBoxLayout),
            field(kOkButton, "Beenden"),
            field(kCancelButton, QString()),
            field(kHelpUrlButton, "Hilfe"),
            endLayout(),
            endLayout(),
        };
    }
};

// The grid cell of a widget, or (-1, -1) when it is in no cell of the grid.
QPoint cellOf(QGridLayout *grid, QWidget *widget)
{
    const int index = grid->indexOf(widget);
    if (index < 0)
        return {-1, -1};
    int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
    grid->getItemPosition(index, &row, &column, &rowSpan, &columnSpan);
    return {column, row};
}

int columnSpanOf(QGridLayout *grid, QLayoutItem *item)
{
    for (int i = 0; i < grid->count(); ++i) {
        if (grid->itemAt(i) != item)
            continue;
        int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
        grid->getItemPosition(i, &row, &column, &rowSpan, &columnSpan);
        return columnSpan;
    }
    return 0;
}

// Ends every running event loop when a test would otherwise wait for ever.
struct Watchdog
{
    bool fired = false;
    QTimer timer;

    explicit Watchdog(int ms = 5000)
    {
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            fired = true;
            QCoreApplication::exit(1);
        });
        timer.start(ms);
    }
};

// The top-level window the builder made for a form of that title.
template<class Window>
Window *builtWindow(const QString &title)
{
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (auto *window = qobject_cast<Window *>(widget); window && window->windowTitle() == title)
            return window;
    return nullptr;
}

} // namespace

class TestKivraBuilder : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        registerMetaTypes();
        QApplication::setQuitOnLastWindowClosed(false);
    }

    void mainFormBuildsIntoTheApplicationWindow();
    void settingsDialogRunsModally();
};

void TestKivraBuilder::mainFormBuildsIntoTheApplicationWindow()
{
    MainForm form;
    QDialog parent;
    QVariantMap vars {{"input_row_offset", 4},
                      {"csv_input_relaxed", false},
                      {"text_encoding", QStringLiteral("UTF-8")},
                      {"sep_data_field", QVariantList {2}},
                      {"export_filename", QStringLiteral("/tmp/out.csv")},
                      {widgetDataKey("stale"), QVariant::fromValue(WIDGET_INFO())}};

    const FormResult result =
        buildForm(&parent, 0x122410, kDlgTitleSysMinMaxClose,
                  dialogRecord(QVariantMap {{"title", "Daten-Pseudonymisierungstool:"}}),
                  form.fields(), &vars, nullptr);

    QCOMPARE(int(parent.windowFlags()), 0x0a00f003);
    QCOMPARE(result.exitCode, 1);
    QVERIFY(!result.ownedVars);
    QVERIFY(!result.window);
    auto *root = qobject_cast<QVBoxLayout *>(result.rootLayout.data());
    QVERIFY(root);
    QVERIFY(!root->parent());
    QVERIFY(!parent.layout());
    QVERIFY(!parent.isVisible());
    QVERIFY(!vars.contains(widgetDataKey("stale")));

    // Kept fields start from the map; bound members take the map's values.
    auto *rowOffset = findWidget<QSpinBox>(&vars, "input_row_offset", kNumberSpinBox);
    QVERIFY(rowOffset);
    QCOMPARE(rowOffset->value(), 4);
    QCOMPARE(rowOffset->minimum(), 1);
    QCOMPARE(form.inputRowOffset, QVariant(4));
    QVERIFY(isVariantPtr(vars.value("input_row_offset")));
    QVERIFY(!findWidget<QCheckBox>(&vars, "csv_input_relaxed", kCheckBox)->isChecked());
    QVERIFY(findWidget<QCheckBox>(&vars, "input_has_title", kCheckBox)->isChecked());
    QCOMPARE(findWidget<QLineEdit>(&vars, "export_filename", kSaveFileLineEdit)->text(),
             QStringLiteral("/tmp/out.csv"));
    QCOMPARE(findWidget<QComboBox>(&vars, "text_encoding", kComboBox)->currentText(),
             QStringLiteral("UTF-8"));
    QCOMPARE(findWidget<QComboBox>(&vars, "sep_data_field", kComboBox)->currentText(),
             QStringLiteral("Komma"));
    QCOMPARE(firstSelectedValue(&vars, "sep_data_field"), QVariant(2));
    QCOMPARE(findWidget<QComboBox>(&vars, "sep_data_string_esc", kComboBox)->currentText(),
             QStringLiteral("TwoQuote"));

    // The caller's widgets and the fixed button are in the form.
    QVERIFY(widgetsByName(&vars, fixedButtonName(kOkButton)).size() == 1);
    auto *ok = toPushButton(widgetByName(&vars, fixedButtonName(kOkButton), 0));
    QCOMPARE(ok->text(), QStringLiteral("Beenden"));
    QVERIFY(ok->isDefault());
    auto *script = findWidget<QPushButton>(&vars, "script_filename", kPushButton);
    QCOMPARE(script->text(), QStringLiteral("Ändern..."));
    QCOMPARE(widgetsByName(&vars, "script_filename").size(), 2);
    QCOMPARE(findWidget<QLabel>(&vars, "input_filename", kLabel)->text(),
             QStringLiteral("Eingabedatei:"));

    // Once installed, the whole grid sits in one group box; a spanning row spans the grid.
    auto *holder = new QVBoxLayout(&parent);
    holder->addLayout(root);
    auto *group = qobject_cast<QGroupBox *>(root->itemAt(0)->layout()->itemAt(0)->widget());
    QVERIFY(group);
    auto *grid = qobject_cast<QGridLayout *>(group->layout());
    QVERIFY(grid);
    QCOMPARE(columnSpanOf(grid, grid->itemAtPosition(0, 0)), grid->columnCount());
    QCOMPARE(cellOf(grid, findWidget<QListWidget>(&vars, "empty_data_fields", kListWidget)),
             QPoint(1, 3));
    auto *listCaption = findWidget<QLabel>(&vars, "empty_data_fields", kLabel);
    QCOMPARE(cellOf(grid, listCaption), QPoint(0, 3));
    QCOMPARE(grid->itemAt(grid->indexOf(listCaption))->alignment(), Qt::AlignTop);
    QCOMPARE(cellOf(grid, form.columnCombo), QPoint(1, 4));
    QCOMPARE(form.columnCombo->parentWidget(), group);

    // Nothing runs until the event loop does; then the window is shown maximised.
    QVERIFY(!parent.isVisible());
    QTRY_VERIFY(parent.isMaximized());
}

void TestKivraBuilder::settingsDialogRunsModally()
{
    QTemporaryDir dir;
    const QString iniFile = dir.filePath("settings.opt");
    SettingsForm form;
    CallRecorder recorder;
    QVariantMap options {{"title", "Einstellungen:"},
                         {"inifileName", iniFile},
                         {"inigroupname", "main"},
                         {"iniautosave", false}};
    int saveQuestions = 0;
    DialogHook::setHandler([&saveQuestions](const DialogHook::Request &request) -> QVariant {
        if (request.kind == DialogHook::Kind::Question)
            ++saveQuestions;
        return true;
    });
    QTimer::singleShot(0, [] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        const auto boxes = dialog->findChildren<QDoubleSpinBox *>();
        QCOMPARE(boxes.size(), 2);
        boxes.last()->setValue(2.5);
        dialog->findChild<QPushButton *>(fixedButtonName(kOkButton))->click();
    });

    const FormResult result = buildForm(nullptr, 0x100043, Qt::WindowFlags(0x2001003),
                                        dialogRecord(options, recorder.callback("window")),
                                        form.fields(), nullptr, nullptr);
    DialogHook::setHandler({});

    QCOMPARE(result.exitCode, 1);
    QVERIFY(result.ownedVars);
    QVERIFY(!result.rootLayout);
    QCOMPARE(recorder.calls.count("window kAccept"), 1);
    QCOMPARE(recorder.calls.count("window kCleanup"), 1);
    QCOMPARE(saveQuestions, 1);
    QCOMPARE(form.floatScaleFactor.toDouble(), 2.5);
    QVERIFY(QFile::exists(iniFile));
    // The fields are bound to reserved names, which the options file never takes.
    QSettings settings(iniFile, QSettings::IniFormat);
    QCOMPARE(settings.value("main/vmap").toMap(), QVariantMap());
    for (auto it = result.ownedVars->cbegin(); it != result.ownedVars->cend(); ++it)
        QVERIFY(!isReservedKey(it.key()));
}

QTEST_MAIN(TestKivraBuilder)
#include "tst_kivrabuilder.moc"
