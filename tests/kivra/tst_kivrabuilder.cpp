#include "BuildHelpers.h"
#include "FormFixture.h"

#include <kivra/Callbacks.h>
#include <kivra/DialogHook.h>
#include <kivra/FormBuilder.h>
#include <kivra/ListData.h>
#include <kivra/Menus.h>
#include <kivra/Options.h>
#include <kivra/Records.h>
#include <kivra/Registry.h>
#include <kivra/helper/Dialog.h>
#include <kivra/helper/DynamicWidgetEventFilter.h>
#include <kivra/helper/MainWnd.h>

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDateTimeEdit>
#include <QDoubleSpinBox>
#include <QEventLoop>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollArea>
#include <QSettings>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <limits>
#include <memory>

using namespace kivra;

namespace {

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
// and its field records.
struct MainForm
{
    QVariant inputFilename;
    QVariant exportFilename;
    QVariant scriptFilename;
    QVariant createExportMapFile = false;
    QVariant csvInputRelaxed = true;
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
            field(kNumberSpinBox, spinOptions("Ab Zeile:", QMetaType::UInt, "1"), &inputRowOffset,
                  "input_row_offset", bits({25})),
            field(kCheckBox, "Relaxed", &csvInputRelaxed, "csv_input_relaxed"),
            field(kCheckBox, "Titel", &inputHasTitle, "input_has_title"),
            field(kStretch),
            endLayout(),
            field(kNextGridRow),
            layout(kHBoxLayout, bits({60})),
            field(kComboBox, "Textkodierung:", encodings(), "text_encoding"),
            field(kComboBox, "Separatoren: Datenfeld:",
                  listData({1, 2, 3}, {false, false, true}, {"Tabulator", "Komma", "Semikolon"}),
                  "sep_data_field"),
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
            field(kOkButton, "Beenden"),
            field(kHelpUrlButton, "Webseite/Weitere Software",
                  QStringLiteral("https://example.org")),
            endLayout(),
        };
    }
};

// A settings dialog: unnamed records bound to its members.
struct SettingsForm
{
    QVariant intScaleFactor = 1;
    QVariant floatScaleFactor = 1;
    QVariant saveFloatAsText = false;
    QVariant dateToTextFmt = QStringLiteral("dd.MM.yyyy");

    Fields fields()
    {
        return {
            layout(kGridLayout),
            field(kNumberSpinBox, spinOptions("Faktor für Ganzzahlen:", QMetaType::Double, "1"),
                  &intScaleFactor, {}, bits({25})),
            field(kNextGridRow),
            field(kNumberSpinBox,
                  spinOptions("Faktor für Gleitkommazahlen:", QMetaType::Double, "1"),
                  &floatScaleFactor, {}, bits({25})),
            field(kCheckBox, "Gleitkomma immer als Text", &saveFloatAsText, {}, bits({33})),
            field(kNextGridRow),
            field(kHLine, QString(), QVariant(), {}, bits({60})),
            field(kNextGridRow),
            field(kLineEdit, "Datum zu Text: Formatierung:", &dateToTextFmt),
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
    void escapeWithoutCancelIsEaten();
    void fileChooserInAGrid();
    void selectorButtonsKeepTheirCaptions();
    void spinBoxRangeFollowsTheNumberType_data();
    void spinBoxRangeFollowsTheNumberType();
    void startValues();
    void editorsShowTheirStartValues();
    void listSelectionRestoredFromTheMap_data();
    void listSelectionRestoredFromTheMap();
    void oneAfterCallbackPerUserChange();
    void initialNotifications_data();
    void initialNotifications();
    void layoutsGroupBoxesAndTabs();
    void menuGroupsAreExclusive();
    void windowTimersShareOneCounter();
    void windowFlagsOfTheParent_data();
    void windowFlagsOfTheParent();
    void runFlagsPickOneMode_data();
    void runFlagsPickOneMode();
    void mainWindowParts();
    void droppedResultKeepsTheMapAlive();
    void localLoopEndsWhenTheWindowCloses();
    void runningLoopGetsALocalLoop();
    void callerWindowIsNeverDeleted();
    void windowDeletedByItsParentFirst();
    void runWithoutWindowOnlyBuilds();
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

void TestKivraBuilder::escapeWithoutCancelIsEaten()
{
    for (const bool withCancel : {false, true}) {
        CallRecorder recorder;
        Fields fields {layout(kHBoxLayout), field(kOkButton)};
        if (withCancel)
            fields.append(field(kCancelButton));
        fields.append(endLayout());
        const QString title = withCancel ? "Mit Abbrechen" : "Ohne Abbrechen";
        buildForm(nullptr, kNewWindow | kShow, {}, dialogRecord(title, recorder.callback("window")),
                  fields, nullptr, nullptr);
        QPointer<helper::Dialog> dialog = builtWindow<helper::Dialog>(title);
        QVERIFY(dialog && dialog->isVisible());

        QTest::keyClick(dialog, Qt::Key_Escape);
        if (withCancel) {
            QTRY_VERIFY(!dialog);
            QCOMPARE(recorder.calls,
                     QStringList({"window kInit", "window kReject", "window kCleanup"}));
        } else {
            QTest::qWait(10);
            QVERIFY(dialog && dialog->isVisible());
            QCOMPARE(recorder.calls, QStringList({"window kInit"}));
            delete dialog;
        }
    }
}

void TestKivraBuilder::fileChooserInAGrid()
{
    QWidget parent;
    QVariantMap vars;
    buildForm(&parent, kInstallLayout, {}, dialogRecord(),
              {layout(kGridLayout),
               field(kOpenFileLineEdit, "Datei:", QStringLiteral("/tmp/a.csv"), "file"),
               field(kNextGridRow),
               field(kOpenFileLineEdit, "Ziel:;Suchen...", QString(), "target"), endLayout()},
              &vars, nullptr);
    auto *grid = parent.findChild<QGridLayout *>();
    QVERIFY(grid);

    const WIDGET_INFO widgets = widgetsByName(&vars, "file");
    QCOMPARE(widgets.size(), 3);
    QLabel *label = toLabel(widgets.at(0));
    QLineEdit *edit = toLineEdit(widgets.at(1));
    QPushButton *button = toPushButton(widgets.at(2));
    QVERIFY(label && edit && button);
    QCOMPARE(cellOf(grid, label), QPoint(0, 0));
    QCOMPARE(cellOf(grid, edit), QPoint(1, 0));
    QCOMPARE(cellOf(grid, button), QPoint(2, 0));
    QCOMPARE(label->buddy(), edit);
    QCOMPARE(edit->text(), QStringLiteral("/tmp/a.csv"));
    QCOMPARE(button->text(), QStringLiteral("Ändern..."));

    auto *second = findWidget<QPushButton>(&vars, "target", kPushButton);
    QCOMPARE(second->text(), QStringLiteral("Suchen..."));
    QCOMPARE(findWidget<QLabel>(&vars, "target", kLabel)->text(), QStringLiteral("Ziel:"));
    QCOMPARE(cellOf(grid, second), QPoint(2, 1));
}

void TestKivraBuilder::selectorButtonsKeepTheirCaptions()
{
    QTemporaryDir dir;
    const QString iniFile = dir.filePath("form.ini");
    {
        QSettings settings(iniFile, QSettings::IniFormat);
        settings.setValue("main/alpha", QVariantMap {{"x", 1}});
        settings.setValue("main/beta", QVariantMap {{"x", 2}});
        settings.setValue("default_conf/name", "beta");
    }
    const QVariantMap options {{"title", "Form"},
                               {"inifileName", iniFile},
                               {"inigroupname", "main"},
                               {"iniusemulticonf", true}};
    for (const QString &caption : {QString(), QStringLiteral("Konfiguration:")}) {
        QWidget parent;
        QVariantMap vars;
        buildForm(&parent, kInstallLayout, {}, dialogRecord(options),
                  {field(kSettingSelector, caption, QVariant(), "config")}, &vars, nullptr);
        auto *box = findWidget<QGroupBox>(&vars, "config", kSettingSelector);
        QVERIFY(box);
        QCOMPARE(box->findChild<QLabel *>()->text(),
                 caption.isEmpty() ? QStringLiteral("Einstellungen:") : caption);
        QStringList buttons;
        for (const QPushButton *button : box->findChildren<QPushButton *>())
            buttons << button->text();
        QCOMPARE(buttons, QStringList({"+", "-"}));
        auto *combo = box->findChild<QComboBox *>();
        QCOMPARE(combo->count(), 2);
        QCOMPARE(combo->currentData(), QVariant("beta"));
        QCOMPARE(vars.value("x"), QVariant(2));
    }
}

void TestKivraBuilder::spinBoxRangeFollowsTheNumberType_data()
{
    QTest::addColumn<int>("metatype");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QVariantMap>("options");
    QTest::addColumn<bool>("floating");
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<double>("shown");

    constexpr double intMin = std::numeric_limits<int>::min();
    constexpr double intMax = std::numeric_limits<int>::max();
    constexpr double exact = 9007199254740992.0;
    const QVariantMap none;
    QTest::newRow("bool ignores limits")
        << int(QMetaType::Bool) << QVariant() << QVariantMap {{"min", -5}, {"max", 10}} << false
        << 0.0 << 1.0 << 0.0;
    QTest::newRow("short") << int(QMetaType::Short) << QVariant() << none << false << -32768.0
                           << 32767.0 << 0.0;
    QTest::newRow("unsigned short")
        << int(QMetaType::UShort) << QVariant() << none << false << 0.0 << 65535.0 << 0.0;
    QTest::newRow("int") << int(QMetaType::Int) << QVariant() << none << false << intMin << intMax
                         << 0.0;
    QTest::newRow("long") << int(QMetaType::Long) << QVariant() << none << false << intMin << intMax
                          << 0.0;
    QTest::newRow("unsigned int") << int(QMetaType::UInt) << QVariant() << none << false << 0.0
                                  << intMax << 0.0;
    QTest::newRow("unsigned long")
        << int(QMetaType::ULong) << QVariant() << none << false << 0.0 << intMax << 0.0;
    QTest::newRow("long long saturates")
        << int(QMetaType::LongLong) << QVariant() << none << false << intMin << intMax << 0.0;
    QTest::newRow("unsigned long long saturates")
        << int(QMetaType::ULongLong) << QVariant() << none << false << 0.0 << intMax << 0.0;
    QTest::newRow("long long limits saturate")
        << int(QMetaType::LongLong) << QVariant()
        << QVariantMap {{"min", qlonglong(-1000000000000)}, {"max", qlonglong(1000000000000)}}
        << false << intMin << intMax << 0.0;
    QTest::newRow("unsigned long long maximum")
        << int(QMetaType::ULongLong) << QVariant()
        << QVariantMap {{"max", std::numeric_limits<qulonglong>::max()}} << false << 0.0 << intMax
        << 0.0;
    QTest::newRow("texts cut at the point")
        << int(QMetaType::Int) << QVariant(40) << QVariantMap {{"min", "30"}, {"max", "99.9"}}
        << false << 30.0 << 99.0 << 40.0;
    QTest::newRow("double") << int(QMetaType::Double) << QVariant(1.25) << none << true << -exact
                            << exact << 1.25;
    QTest::newRow("unsigned double") << int(QMetaType::Double) << QVariant(-4.0)
                                     << QVariantMap {{"signed_datatype", false}, {"precision", 3}}
                                     << true << 0.0 << exact << 0.0;
    QTest::newRow("float limits") << int(QMetaType::Float) << QVariant()
                                  << QVariantMap {{"min", -1.5}, {"max", 2.5}} << true << -1.5
                                  << 2.5 << 0.0;
    QTest::newRow("own int value") << -1 << QVariant(7) << none << false << intMin << intMax << 7.0;
    QTest::newRow("own long long value saturates")
        << -1 << QVariant(qlonglong(5000000000)) << none << false << intMin << intMax << intMax;
    QTest::newRow("own text value is floating")
        << -1 << QVariant("5") << QVariantMap {{"spinbox", true}} << true << -exact << exact << 5.0;
}

void TestKivraBuilder::spinBoxRangeFollowsTheNumberType()
{
    QFETCH(int, metatype);
    QFETCH(QVariant, value);
    QFETCH(QVariantMap, options);
    QFETCH(bool, floating);
    QFETCH(double, minimum);
    QFETCH(double, maximum);
    QFETCH(double, shown);

    if (metatype >= 0)
        options.insert("metatype", metatype);
    QWidget parent;
    QVariantMap vars;
    buildForm(&parent, kInstallLayout, {}, dialogRecord(),
              {field(kNumberSpinBox, options, value, "n")}, &vars, nullptr);
    auto *box = findWidget<QAbstractSpinBox>(&vars, "n", kNumberSpinBox);
    QVERIFY(box);
    QCOMPARE(box->buttonSymbols(),
             options.value("spinbox").toBool() ? QAbstractSpinBox::UpDownArrows
                                               : QAbstractSpinBox::NoButtons);
    if (floating) {
        auto *doubleBox = qobject_cast<QDoubleSpinBox *>(box);
        QVERIFY(doubleBox);
        QCOMPARE(doubleBox->minimum(), minimum);
        QCOMPARE(doubleBox->maximum(), maximum);
        QCOMPARE(doubleBox->value(), shown);
        QCOMPARE(doubleBox->decimals(), options.value("precision", 2).toInt());
    } else {
        auto *intBox = qobject_cast<QSpinBox *>(box);
        QVERIFY(intBox);
        QCOMPARE(double(intBox->minimum()), minimum);
        QCOMPARE(double(intBox->maximum()), maximum);
        QCOMPARE(double(intBox->value()), shown);
        QCOMPARE(intBox->isGroupSeparatorShown(), metatype != QMetaType::Bool);
    }
}

void TestKivraBuilder::startValues()
{
    QVariant bound = QStringLiteral("bound default");
    QVariant firstAuto = QStringLiteral("first");
    QVariant secondAuto = QStringLiteral("second");
    QWidget parent;
    QVariantMap vars {{"kept", "from map"}, {"notKept", "from map"},    {"bound", "map value"},
                      {"box", QVariant()},  {"boxInvalid", QVariant()}, {"variable", 5}};
    QSet<QString> kept;
    buildForm(&parent, kInstallLayout, {}, dialogRecord(),
              {field(kLineEdit, "A", QStringLiteral("own"), "kept", bits({10})),
               field(kLineEdit, "B", QStringLiteral("own"), "notKept"),
               field(kLineEdit, "C", &bound, "bound", bits({10})),
               field(kCheckBox, "D", true, "box", bits({10})),
               field(kCheckBox, "E", true, "boxInvalid", bits({10, 71})),
               field(kNamedVariable, QString(), 1, "variable", bits({10})),
               field(kNamedVariable, QString(), 2, "fresh", bits({10})),
               field(kLineEdit, "F", &firstAuto), field(kLineEdit, "G", &secondAuto)},
              &vars, &kept);

    QCOMPARE(kept, QSet<QString>({"kept", "bound", "box", "boxInvalid", "variable", "fresh"}));
    QCOMPARE(findWidget<QLineEdit>(&vars, "kept", kLineEdit)->text(), QStringLiteral("from map"));
    QCOMPARE(findWidget<QLineEdit>(&vars, "notKept", kLineEdit)->text(), QStringLiteral("own"));
    QCOMPARE(vars.value("notKept"), QVariant("own"));
    QCOMPARE(findWidget<QLineEdit>(&vars, "bound", kLineEdit)->text(), QStringLiteral("map value"));
    QCOMPARE(bound, QVariant("map value"));
    QVERIFY(isVariantPtr(vars.value("bound")));
    QVERIFY(findWidget<QCheckBox>(&vars, "box", kCheckBox)->isChecked());
    QCOMPARE(vars.value("box"), QVariant(true));
    QVERIFY(!findWidget<QCheckBox>(&vars, "boxInvalid", kCheckBox)->isChecked());
    QCOMPARE(vars.value("variable"), QVariant(5));
    QCOMPARE(vars.value("fresh"), QVariant(2));

    // Unnamed fields bound to variables get consecutive automatic names and edit the variables.
    QList<int> numbers;
    for (auto it = vars.cbegin(); it != vars.cend(); ++it)
        if (it.key().startsWith(kAutoVarPrefix) && isVariantPtr(it.value()))
            numbers << it.key().mid(kAutoVarPrefix.size()).toInt();
    QCOMPARE(numbers.size(), 2);
    std::sort(numbers.begin(), numbers.end());
    QCOMPARE(numbers.at(1), numbers.at(0) + 1);
    auto *second =
        findWidget<QLineEdit>(&vars, autoVarKey(QString::number(numbers.at(1))), kLineEdit);
    QCOMPARE(second->text(), QStringLiteral("second"));
    second->setText("edited");
    QCOMPARE(secondAuto, QVariant("edited"));
}

void TestKivraBuilder::editorsShowTheirStartValues()
{
    QWidget parent;
    QVariantMap vars;
    buildForm(&parent, kInstallLayout | kWheelNeedsFocus, {}, dialogRecord(),
              {field(kDateEdit, "Datum", QStringLiteral("2024-02-29"), "date"),
               field(kDateEdit, "Mit Knöpfen", QDate(2024, 1, 1), "buttons", bits({70})),
               field(kDateTimeEdit, "Zeit", QTime(13, 45), "time"),
               field(kColorButton, "Farbe", QColor(Qt::red), "color"),
               field(kFontButton, "Schrift", QFont("Serif", 12), "font"),
               field(kTextEdit, "Reich", "<b>fett</b>", "rich", bits({11})),
               field(kTextEdit, "Schlicht", "<b>fett</b>", "plain"),
               field(kLineEdit, QVariantMap {{"title", "Geheim"}, {"max", 4}}, "geheimnis",
                     "secret", bits({0, 3})),
               field(kNumberSpinBox, "Zahl", 3, "number")},
              &vars, nullptr);

    auto *date = findWidget<QDateEdit>(&vars, "date", kDateEdit);
    QCOMPARE(date->date(), QDate(2024, 2, 29));
    QCOMPARE(date->buttonSymbols(), QAbstractSpinBox::NoButtons);
    QCOMPARE(findWidget<QDateEdit>(&vars, "buttons", kDateEdit)->buttonSymbols(),
             QAbstractSpinBox::UpDownArrows);
    const QDateTime time = findWidget<QDateTimeEdit>(&vars, "time", kDateTimeEdit)->dateTime();
    QCOMPARE(time.date(), QDate::currentDate());
    QCOMPARE(time.time(), QTime(13, 45));

    auto *color = findWidget<QPushButton>(&vars, "color", kColorButton);
    QCOMPARE(color->text(), QStringLiteral("Farbe ändern..."));
    QCOMPARE(color->iconSize(), QSize(16, 16));
    QCOMPARE(color->icon().pixmap(16, 16).toImage().pixelColor(8, 8), QColor(Qt::red));
    auto *font = findWidget<QPushButton>(&vars, "font", kFontButton);
    QCOMPARE(font->text(), QStringLiteral("Serif, 12pt"));
    QCOMPARE(font->font().pointSize(), 12);

    QVariant html;
    getSetWidgetValue(findWidget<QTextEdit>(&vars, "rich", kTextEdit), false, false, &html);
    QVERIFY(html.toString().contains("<html>"));
    QCOMPARE(findWidget<QTextEdit>(&vars, "plain", kTextEdit)->toPlainText(),
             QStringLiteral("<b>fett</b>"));

    auto *secret = findWidget<QLineEdit>(&vars, "secret", kLineEdit);
    QCOMPARE(secret->echoMode(), QLineEdit::Password);
    QVERIFY(secret->isReadOnly());
    QCOMPARE(secret->maxLength(), 4);

    auto *number = findWidget<QSpinBox>(&vars, "number", kNumberSpinBox);
    QCOMPARE(number->value(), 3);
    QVERIFY(number->findChild<helper::DynamicWidgetEventFilter *>());
}

void TestKivraBuilder::listSelectionRestoredFromTheMap_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<FieldFlags>("flags");
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QList<bool>>("selected");

    const FieldFlags none;
    const FieldFlags checkList = bits({6, 7});
    QTest::newRow("combo box") << int(kComboBox) << none << QVariant("b")
                               << QList<bool> {false, true, false};
    // A selection that names nothing leaves the field's own list in the widget and the map.
    QTest::newRow("combo box, unknown selection")
        << int(kComboBox) << none << QVariant("zz") << QList<bool> {false, false, true};
    QTest::newRow("check list") << int(kListWidget) << checkList << QVariant(QStringList {"a", "c"})
                                << QList<bool> {true, false, true};
    QTest::newRow("stored list data")
        << int(kComboBox) << none << QVariant::fromValue(listData({"a", "b", "c"}, {true}))
        << QList<bool> {true, false, false};
}

void TestKivraBuilder::listSelectionRestoredFromTheMap()
{
    QFETCH(int, type);
    QFETCH(FieldFlags, flags);
    QFETCH(QVariant, stored);
    QFETCH(QList<bool>, selected);

    QWidget parent;
    QVariantMap vars {{"list", stored}};
    buildForm(&parent, kInstallLayout | kKeepAllNamed, {}, dialogRecord(),
              {field(kComboBox == type ? kComboBox : kListWidget, "Liste",
                     listData({"a", "b", "c"}, {false, false, true}), "list", flags)},
              &vars, nullptr);
    QVERIFY(isListData(vars.value("list")));
    QCOMPARE(selectedFlags(vars.value("list").value<T_LISTDATA>()), selected);
    if (auto *combo = findWidget<QComboBox>(&vars, "list", kComboBox)) {
        QCOMPARE(combo->currentIndex(), int(selected.indexOf(true)));
    } else {
        auto *list = findWidget<QListWidget>(&vars, "list", kListWidget);
        for (int i = 0; i < list->count(); ++i)
            QCOMPARE(list->item(i)->checkState() == Qt::Checked, selected.at(i));
    }
}

void TestKivraBuilder::oneAfterCallbackPerUserChange()
{
    CallRecorder recorder;
    QDialog parent;
    QVariantMap vars;
    buildForm(
        &parent, kInstallLayout, {}, dialogRecord("Form", recorder.callback("window")),
        {field(kCheckBox, "Box", false, "box"), field(kLineEdit, "Text", QString(), "text"),
         field(kNumberSpinBox, spinOptions("Spät", QMetaType::Int, "0"), 1, "late"),
         field(kNumberSpinBox, spinOptions("Sofort", QMetaType::Int, "0"), 1, "now", bits({25}))},
        &vars, nullptr);
    parent.show();
    const auto afterChanges = [&recorder] {
        return recorder.calls.count("window kAfterDataChanged");
    };

    findWidget<QCheckBox>(&vars, "box", kCheckBox)->click();
    QCOMPARE(afterChanges(), 1);
    QCOMPARE(vars.value("box"), QVariant(1));

    auto *edit = findWidget<QLineEdit>(&vars, "text", kLineEdit);
    QTest::keyClicks(edit, "ab");
    emit edit->editingFinished();
    QCOMPARE(afterChanges(), 3);
    QCOMPARE(vars.value("text"), QVariant("ab"));

    auto *late = findWidget<QSpinBox>(&vars, "late", kNumberSpinBox);
    late->setValue(5);
    QCOMPARE(afterChanges(), 3);
    emit late->editingFinished();
    QCOMPARE(afterChanges(), 4);
    QCOMPARE(vars.value("late"), QVariant(5));

    findWidget<QSpinBox>(&vars, "now", kNumberSpinBox)->setValue(6);
    QCOMPARE(afterChanges(), 5);
    QCOMPARE(vars.value("now"), QVariant(6));
}

void TestKivraBuilder::initialNotifications_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<FieldFlags>("flags");
    QTest::addColumn<int>("notified");

    QTest::newRow("empty line edit, bit 30") << int(kLineEdit) << QVariant("") << bits({30}) << 1;
    QTest::newRow("empty line edit, bit 31") << int(kLineEdit) << QVariant("") << bits({31}) << 0;
    QTest::newRow("filled line edit, bit 31") << int(kLineEdit) << QVariant("x") << bits({31}) << 1;
    QTest::newRow("line edit without bit") << int(kLineEdit) << QVariant("x") << FieldFlags() << 0;
    QTest::newRow("check box, bit 30") << int(kCheckBox) << QVariant(true) << bits({30}) << 1;
    QTest::newRow("combo box, bit 30")
        << int(kComboBox) << QVariant::fromValue(listData({1, 2}, {false, true})) << bits({30})
        << 1;
    QTest::newRow("selection list, bit 30")
        << int(kListWidget) << QVariant::fromValue(listData({1, 2}, {true})) << bits({30}) << 1;
}

void TestKivraBuilder::initialNotifications()
{
    QFETCH(int, type);
    QFETCH(QVariant, value);
    QFETCH(FieldFlags, flags);
    QFETCH(int, notified);

    CallRecorder recorder;
    QWidget parent;
    QVariantMap vars;
    buildForm(&parent, kInstallLayout, {}, dialogRecord("Form", recorder.callback("window")),
              {field(quint32(type), "Feld", value, "f", flags)}, &vars, nullptr);
    QCOMPARE(recorder.calls, QStringList({"window kInit"}));
    QTest::qWait(20);
    QCOMPARE(recorder.calls.count("window kAfterDataChanged"), notified);
}

void TestKivraBuilder::layoutsGroupBoxesAndTabs()
{
    QWidget parent;
    QVariantMap vars;
    buildForm(&parent, kInstallLayout, {}, dialogRecord(),
              {INFO(kGridLayout, {}, "Gruppe"), field(kLineEdit, "A", QString(), "a"), endLayout(),
               field(kLineEdit, "B", QString(), "b"),
               INFO(kVBoxLayout, bits({8}), "Schalter", false, "switch"),
               field(kLineEdit, "C", QString(), "c"), endLayout(),
               field(kTabWidget, QString(), 1, "tabs"),
               field(kLineEdit, "Verloren", QString(), "dropped"), field(kTabPage, "Eins"),
               field(kLineEdit, "D", QString(), "d"), field(kTabPage, "Zwei"), INFO(kHBoxLayout),
               field(kLineEdit, "E", QString(), "e"), field(kEndTabPages),
               field(kLineEdit, "F", QString(), "f")},
              &vars, nullptr);
    const auto inRoot = [&parent, &vars](const char *name) {
        return findWidget<QLineEdit>(&vars, name, kLineEdit)->parentWidget() == &parent;
    };

    auto *group = findWidget<QLineEdit>(&vars, "a", kLineEdit)->parentWidget();
    QVERIFY(qobject_cast<QGroupBox *>(group));
    QCOMPARE(qobject_cast<QGroupBox *>(group)->title(), QStringLiteral("Gruppe"));
    QVERIFY(qobject_cast<QGridLayout *>(group->layout()));
    QVERIFY(!qobject_cast<QGroupBox *>(group)->isCheckable());
    QVERIFY(inRoot("b"));

    auto *switchBox =
        qobject_cast<QGroupBox *>(findWidget<QLineEdit>(&vars, "c", kLineEdit)->parentWidget());
    QVERIFY(switchBox && switchBox->isCheckable() && !switchBox->isChecked());
    QVERIFY(findWidget<QLineEdit>(&vars, "c", kLineEdit)->isHidden());

    QVERIFY(!vars.contains("dropped"));
    QVERIFY(!findWidget<QLineEdit>(&vars, "dropped", kLineEdit));
    auto *tabs = findWidget<QTabWidget>(&vars, "tabs", kTabWidget);
    QCOMPARE(tabs->count(), 2);
    QCOMPARE(tabs->tabText(0), QStringLiteral("Eins"));
    QCOMPARE(tabs->tabText(1), QStringLiteral("Zwei"));
    QCOMPARE(tabs->currentIndex(), 1);
    QVERIFY(tabs->widget(0)->isAncestorOf(findWidget<QLineEdit>(&vars, "d", kLineEdit)));
    QVERIFY(tabs->widget(1)->isAncestorOf(findWidget<QLineEdit>(&vars, "e", kLineEdit)));
    QVERIFY(inRoot("f"));
}

void TestKivraBuilder::menuGroupsAreExclusive()
{
    QMenu menu("Ansicht");
    const auto checkable = [&menu](const char *text, const char *id, int group) {
        QAction *action = menu.addAction(text);
        action->setCheckable(true);
        if (id)
            action->setProperty("menuid", id);
        action->setProperty("menugroupno", group);
        return action;
    };
    QAction *a = checkable("A", "a", 1);
    QAction *b = checkable("B", "b", 1);
    QAction *c = checkable("C", nullptr, 1);
    QAction *d = checkable("D", "d", 1);
    QActionGroup own(&menu);
    own.addAction(d);
    QAction *plain = menu.addAction("Plain");
    plain->setProperty("menuid", "plain");

    QAction extra("Extra");
    extra.setCheckable(true);
    extra.setProperty("menuid", "extra");

    QWidget parent;
    QVariantMap vars {{"a", true}};
    QSet<QString> kept;
    buildForm(&parent, kInstallLayout, {}, dialogRecord(),
              {field(kCallerMenu, QString(), static_cast<QObject *>(&menu)),
               field(kCallerAction, QString(), static_cast<QObject *>(&extra))},
              &vars, &kept);

    QCOMPARE(kept, QSet<QString>({"a", "b", "d", "extra"}));
    // An action joins the menu bar's last menu and stands in the map for its checked state.
    QVERIFY(menu.actions().contains(&extra));
    QCOMPARE(vars.value("extra"), QVariant(false));
    extra.trigger();
    QCOMPARE(vars.value("extra"), QVariant(true));
    QVERIFY(a->isChecked());
    QVERIFY(a->actionGroup() && a->actionGroup()->isExclusive());
    QCOMPARE(b->actionGroup(), a->actionGroup());
    QCOMPARE(c->actionGroup(), a->actionGroup());
    QCOMPARE(d->actionGroup(), &own);
    QCOMPARE(vars.value("b"), QVariant(false));
    QCOMPARE(vars.value("plain"), QVariant(false));
    QVERIFY(!vars.contains(QString()));
    QVERIFY(parent.findChild<QMenuBar *>());

    b->trigger();
    QVERIFY(!a->isChecked());
    QCOMPARE(vars.value("b"), QVariant(true));
    QCOMPARE(vars.value("a"), QVariant(false));
    c->trigger();
    QVERIFY(!vars.contains(QString()));
}

void TestKivraBuilder::windowTimersShareOneCounter()
{
    struct Tick
    {
        QString name;
        QVariant oldValue;
        QVariant newValue;
        int interval;
    };
    QList<Tick> ticks;
    const ContextCallback record = [&ticks](const CallbackContext &c) {
        if (c.type == kTimer)
            ticks.append({c.field.name, *c.oldValue, *c.newValue,
                          c.value.value<QPointer<QTimer>>()->interval()});
        return 1;
    };

    auto first = std::make_unique<QWidget>();
    QVariantMap firstVars;
    buildForm(first.get(), kInstallLayout, {},
              dialogRecord(QVariantMap {{"timer", QVariantList {20, "erster"}}}, record), {},
              &firstVars, nullptr);
    QTRY_VERIFY(ticks.size() >= 3);
    first.reset();
    const Tick last = ticks.last();
    QCOMPARE(ticks.at(0).name, QStringLiteral("erster"));
    QCOMPARE(ticks.at(0).oldValue, QVariant(0));
    QCOMPARE(ticks.at(0).oldValue.metaType().id(), int(QMetaType::Int));
    QCOMPARE(ticks.at(0).newValue, QVariant(qlonglong(0)));
    QCOMPARE(ticks.at(1).oldValue, QVariant(qlonglong(0)));
    QCOMPARE(ticks.at(1).newValue, QVariant(qlonglong(20)));
    QCOMPARE(ticks.at(2).newValue, QVariant(qlonglong(40)));

    ticks.clear();
    QWidget second;
    QVariantMap secondVars;
    buildForm(&second, kInstallLayout, {},
              dialogRecord(QVariantMap {{"timer", QVariantList()}}, record), {}, &secondVars,
              nullptr);
    QTRY_VERIFY(!ticks.isEmpty());
    QCOMPARE(ticks.first().name, QString());
    QCOMPARE(ticks.first().interval, 250);
    QCOMPARE(ticks.first().oldValue, last.newValue);
    QCOMPARE(ticks.first().newValue.toLongLong(), last.newValue.toLongLong() + 250);
}

void TestKivraBuilder::windowFlagsOfTheParent_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("flags");
    QTest::addColumn<int>("applied");

    QTest::newRow("dialog, no flags") << "dialog" << 0 << 0x2001003;
    QTest::newRow("main window, no flags") << "main" << 0 << 0x2001001;
    QTest::newRow("dialog, given flags") << "dialog" << int(kDlgTitleClose) << 0x0a001003;
    QTest::newRow("plain widget, no flags") << "widget" << 0 << 0;
}

void TestKivraBuilder::windowFlagsOfTheParent()
{
    QFETCH(QString, kind);
    QFETCH(int, flags);
    QFETCH(int, applied);

    const auto make = [&kind]() -> std::unique_ptr<QWidget> {
        if (kind == "dialog")
            return std::make_unique<QDialog>();
        if (kind == "main")
            return std::make_unique<QMainWindow>();
        return std::make_unique<QWidget>();
    };
    // What the toolkit makes of the flags the builder should apply.
    const std::unique_ptr<QWidget> probe = make();
    probe->setWindowFlags(Qt::WindowFlags(applied));
    const std::unique_ptr<QWidget> parent = make();
    QVariantMap vars;
    const FormResult result = buildForm(parent.get(), kApplyWindowFlags, Qt::WindowFlags(flags),
                                        dialogRecord(), {}, &vars, nullptr);
    delete result.rootLayout;
    QCOMPARE(parent->windowFlags(), probe->windowFlags());
}

void TestKivraBuilder::runFlagsPickOneMode_data()
{
    QTest::addColumn<int>("flags");
    QTest::addColumn<bool>("executed");
    QTest::addColumn<int>("modality");

    QTest::newRow("exec wins") << int(kExec | kOpen | kShow) << true << int(Qt::NonModal);
    QTest::newRow("open wins over show") << int(kOpen | kShow) << false << int(Qt::WindowModal);
    QTest::newRow("show") << int(kShow) << false << int(Qt::NonModal);
    QTest::newRow("show, application modal")
        << int(kShow | kApplicationModal) << false << int(Qt::ApplicationModal);
    QTest::newRow("open, application modal")
        << int(kOpen | kApplicationModal) << false << int(Qt::ApplicationModal);
}

void TestKivraBuilder::runFlagsPickOneMode()
{
    QFETCH(int, flags);
    QFETCH(bool, executed);
    QFETCH(int, modality);

    const QString title = QTest::currentDataTag();
    bool ranModally = false;
    QTimer::singleShot(0, [&ranModally] {
        if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
            ranModally = true;
            dialog->reject();
        }
    });
    const FormResult result = buildForm(nullptr, kNewWindow | FormFlags(flags), {},
                                        dialogRecord(title), {field(kOkButton)}, nullptr, nullptr);
    QPointer<helper::Dialog> dialog = builtWindow<helper::Dialog>(title);
    if (executed) {
        QVERIFY(ranModally);
        QCOMPARE(result.exitCode, 0);
        QTRY_VERIFY(!builtWindow<helper::Dialog>(title));
        return;
    }
    QCOMPARE(result.exitCode, 1);
    QVERIFY(dialog && dialog->isVisible());
    QVERIFY(dialog->testAttribute(Qt::WA_DeleteOnClose));
    QCOMPARE(int(dialog->windowModality()), modality);
    QTest::qWait(10);
    delete dialog;
}

void TestKivraBuilder::mainWindowParts()
{
    for (const bool givenStatusBar : {false, true}) {
        auto *given = givenStatusBar ? new QStatusBar : nullptr;
        const FormResult result = buildForm(
            nullptr, kNewWindow | kScrollArea, {}, INFO(kMainWindow, {}, "Haupt"),
            {field(kMenuBar), field(kStatusBar, QString(), static_cast<QObject *>(given), "bar"),
             field(kLineEdit, "A", QString(), "a")},
            nullptr, nullptr);
        QVariantMap *vars = result.ownedVars.data();
        QVERIFY(vars);
        auto *root = qobject_cast<QLayout *>(result.rootLayout.data());
        QVERIFY(root && root->parentWidget());
        std::unique_ptr<QWidget> window(root->parentWidget()->window());
        auto *mainWindow = qobject_cast<helper::MainWnd *>(window.get());
        QVERIFY(mainWindow);
        QVERIFY(qobject_cast<QScrollArea *>(mainWindow->centralWidget()));
        QVERIFY(mainWindow->menuWidget());
        QCOMPARE(statusBars(vars).size(), 1);
        QCOMPARE(statusBars(vars).first().data(), mainWindow->statusBar());
        if (givenStatusBar)
            QCOMPARE(mainWindow->statusBar(), given);
        QCOMPARE(root->indexOf(mainWindow->statusBar()), -1);
    }

    const FormResult result =
        buildForm(nullptr, kNewWindow | kFixedSize | kScrollArea | kStaysOnTop, {},
                  dialogRecord("Fest"), {field(kLineEdit, "A", QString(), "a")}, nullptr, nullptr);
    auto *root = qobject_cast<QLayout *>(result.rootLayout.data());
    QCOMPARE(root->sizeConstraint(), QLayout::SetFixedSize);
    std::unique_ptr<QWidget> dialog(root->parentWidget()->window());
    QVERIFY(qobject_cast<helper::Dialog *>(dialog.get()));
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Fest"));
    QVERIFY(dialog->windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(qobject_cast<QScrollArea *>(dialog->layout()->itemAt(0)->widget()));
    QVERIFY(!dialog->testAttribute(Qt::WA_DeleteOnClose));
}

void TestKivraBuilder::droppedResultKeepsTheMapAlive()
{
    QVariantList seen;
    const ContextCallback record = [&seen](const CallbackContext &c) {
        if (c.vars)
            seen.append(c.vars->value("text"));
        return 1;
    };
    QPointer<helper::Dialog> dialog;
    {
        const FormResult result = buildForm(
            nullptr, kNewWindow | kShow, {},
            dialogRecord(QVariantMap {{"title", "Verworfen"}, {"timer", QVariantList {5, "t"}}},
                         record),
            {field(kLineEdit, "Text", QStringLiteral("start"), "text", bits({30}))}, nullptr,
            nullptr);
        dialog = builtWindow<helper::Dialog>("Verworfen");
    }
    QVERIFY(dialog);
    dialog->findChild<QLineEdit *>()->setText("edited");
    QTest::qWait(20);
    dialog->close();
    QTRY_VERIFY(!dialog);
    QVERIFY(seen.contains("start"));
    QVERIFY(seen.contains("edited"));
}

void TestKivraBuilder::localLoopEndsWhenTheWindowCloses()
{
    Watchdog watchdog;
    QTimer::singleShot(0, [] {
        if (auto *window = builtWindow<helper::MainWnd>("Lokal"))
            window->close();
    });
    FormResult result = buildForm(
        nullptr, kNewWindow | kShow | kLocalEventLoop | kDeleteLater | kCloseAccepts, {},
        INFO(kMainWindow, {}, "Lokal"), {field(kLineEdit, "A", QString(), "a")}, nullptr, nullptr);
    QVERIFY(!watchdog.fired);
    QCOMPARE(result.exitCode, 1);
    QVERIFY(result.window);
    QPointer<QWidget> window = result.window.data();
    QVERIFY(!window->isVisible());
    QVERIFY(!window->testAttribute(Qt::WA_DeleteOnClose));
    result.window.reset();
    QTRY_VERIFY(!window);
}

void TestKivraBuilder::runningLoopGetsALocalLoop()
{
    Watchdog watchdog;
    QEventLoop outer;
    int exitCode = -2;
    bool outerStillRuns = false;
    QTimer::singleShot(0, [&] {
        QTimer::singleShot(0, [] {
            if (auto *window = builtWindow<helper::MainWnd>("Verschachtelt"))
                window->close();
        });
        exitCode = buildForm(nullptr, kNewWindow | kShow | kCloseAccepts, {},
                             INFO(kMainWindow, {}, "Verschachtelt"), {}, nullptr, nullptr)
                       .exitCode;
        QTimer::singleShot(0, [&] {
            outerStillRuns = true;
            outer.quit();
        });
    });
    outer.exec();
    QVERIFY(!watchdog.fired);
    QCOMPARE(exitCode, 1);
    QVERIFY(outerStillRuns);
}

void TestKivraBuilder::callerWindowIsNeverDeleted()
{
    for (const FormFlags flags :
         {FormFlags(kShow | kInstallLayout), FormFlags(kShow | kInstallLayout | kDeleteLater)}) {
        auto dialog = std::make_unique<QDialog>();
        const QPointer<QDialog> guard(dialog.get());
        const FormResult result = buildForm(dialog.get(), flags, {}, dialogRecord(),
                                            {field(kOkButton)}, nullptr, nullptr);
        QVERIFY(dialog->isVisible());
        QVERIFY(!dialog->testAttribute(Qt::WA_DeleteOnClose));
        QVERIFY(!result.window);
        dialog->close();
        QTest::qWait(10);
        QVERIFY(guard);
    }
}

void TestKivraBuilder::windowDeletedByItsParentFirst()
{
    auto parent = std::make_unique<QWidget>();
    FormResult result = buildForm(parent.get(), kNewWindow | kShow | kDeleteLater, {},
                                  dialogRecord("Kind"), {field(kOkButton)}, nullptr, nullptr);
    QPointer<QWidget> window = result.window.data();
    QVERIFY(window && window->isVisible());
    parent.reset();
    QVERIFY(!window);
    result.window.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TestKivraBuilder::runWithoutWindowOnlyBuilds()
{
    QTest::ignoreMessage(QtWarningMsg, "buildForm: a form without a window can only be built");
    const FormResult result = buildForm(nullptr, kShow, {}, dialogRecord(),
                                        {field(kLineEdit, "A", QString(), "a")}, nullptr, nullptr);
    QCOMPARE(result.exitCode, 1);
    auto *root = qobject_cast<QLayout *>(result.rootLayout.data());
    QVERIFY(root);
    QCOMPARE(root->property("__layout_temp_map").value<T_VARMAP_SHARED_PTR>(), result.ownedVars);
    QWidget holder;
    holder.setLayout(root);
    QVERIFY(findWidget<QLineEdit>(result.ownedVars.data(), "a", kLineEdit));
}

QTEST_MAIN(TestKivraBuilder)
#include "tst_kivrabuilder.moc"
