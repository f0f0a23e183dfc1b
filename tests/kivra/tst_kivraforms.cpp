#include "BuildHelpers.h"
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
#include <kivra/helper/Validator.h>

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpressionValidator>
#include <QSettings>

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDateTimeEdit>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

#include <functional>

using namespace kivra;

namespace {

// One value-bearing field named "v": how the user edits it and what it shows then.
struct RoundTrip
{
    const char *tag;
    Fields fields;
    std::function<void(QWidget &window)> edit;
    std::function<QVariant(QWidget &window)> shown;
    QVariant edited;
};

template<class W>
W &only(QWidget &window)
{
    W *widget = window.findChild<W *>();
    if (!widget)
        qFatal("no widget of the kind asked for");
    return *widget;
}

// Editors without kImmediateUpdate report when the user leaves them.
template<class W>
void leave(W &editor)
{
    emit editor.editingFinished();
}

Fields tabPages(const QVariant &start)
{
    return {field(kTabWidget, QString(), start, "v"), field(kTabPage, "Eins"),
            field(kTabPage, "Zwei"), field(kEndTabPages)};
}

QList<RoundTrip> roundTrips()
{
    const QDate date(2024, 2, 29);
    const QDateTime dateTime(date, QTime(14, 30));
    return {
        {"line edit",
         {field(kLineEdit, "L", QStringLiteral("alt"), "v")},
         [](QWidget &w) {
             only<QLineEdit>(w).setText("neu");
             leave(only<QLineEdit>(w));
         },
         [](QWidget &w) -> QVariant { return only<QLineEdit>(w).text(); },
         "neu"},
        {"text edit",
         {field(kTextEdit, "T", QStringLiteral("alt"), "v")},
         [](QWidget &w) { only<QTextEdit>(w).setPlainText("neu"); },
         [](QWidget &w) -> QVariant { return only<QTextEdit>(w).toPlainText(); },
         "neu"},
        {"plain text edit",
         {field(kPlainTextEdit, "P", QStringLiteral("alt"), "v")},
         [](QWidget &w) { only<QPlainTextEdit>(w).setPlainText("neu"); },
         [](QWidget &w) -> QVariant { return only<QPlainTextEdit>(w).toPlainText(); },
         "neu"},
        {"check box",
         {field(kCheckBox, "C", true, "v")},
         [](QWidget &w) { only<QCheckBox>(w).click(); },
         [](QWidget &w) -> QVariant { return only<QCheckBox>(w).isChecked(); },
         false},
        {"integer spin box",
         {field(kNumberSpinBox, "I", 3, "v")},
         [](QWidget &w) {
             only<QSpinBox>(w).setValue(42);
             leave(only<QSpinBox>(w));
         },
         [](QWidget &w) -> QVariant { return only<QSpinBox>(w).value(); },
         42},
        {"floating spin box",
         {field(kNumberSpinBox, "D", 1.5, "v")},
         [](QWidget &w) {
             only<QDoubleSpinBox>(w).setValue(2.25);
             leave(only<QDoubleSpinBox>(w));
         },
         [](QWidget &w) -> QVariant { return only<QDoubleSpinBox>(w).value(); },
         2.25},
        {"date edit",
         {field(kDateEdit, "A", QDate(2020, 1, 1), "v")},
         [date](QWidget &w) {
             only<QDateEdit>(w).setDate(date);
             leave(only<QDateEdit>(w));
         },
         [](QWidget &w) -> QVariant { return only<QDateEdit>(w).date(); },
         date},
        {"date-time edit",
         {field(kDateTimeEdit, "Z", QDateTime(QDate(2020, 1, 1), {}), "v")},
         [dateTime](QWidget &w) {
             only<QDateTimeEdit>(w).setDateTime(dateTime);
             leave(only<QDateTimeEdit>(w));
         },
         [](QWidget &w) -> QVariant { return only<QDateTimeEdit>(w).dateTime(); },
         dateTime},
        {"combo box",
         {field(kComboBox, "K", QVariant::fromValue(listData({"a", "b", "c"}, {true})), "v")},
         [](QWidget &w) { only<QComboBox>(w).setCurrentIndex(2); },
         [](QWidget &w) { return only<QComboBox>(w).currentData(); },
         "c"},
        {"check list",
         {field(kListWidget, "Liste", QVariant::fromValue(listData({1, 2, 3}, {true})), "v",
                bits({6, 7}))},
         [](QWidget &w) { only<QListWidget>(w).item(2)->setCheckState(Qt::Checked); },
         [](QWidget &w) -> QVariant {
             QVariantList checked;
             const QListWidget &list = only<QListWidget>(w);
             for (int i = 0; i < list.count(); ++i)
                 if (list.item(i)->checkState() == Qt::Checked)
                     checked << list.item(i)->data(Qt::UserRole);
             return checked;
         },
         QVariantList {1, 3}},
        {"group box",
         {INFO(kVBoxLayout, {}, "Gruppe", true, "v"), field(kLineEdit, "Innen"), endLayout()},
         [](QWidget &w) {
             auto &box = only<QGroupBox>(w);
             box.setChecked(false);
             emit box.clicked(false);
         },
         [](QWidget &w) -> QVariant { return only<QGroupBox>(w).isChecked(); },
         false},
        // The builder sets the start page after adding the pages, which move the current one.
        {"tab widget", tabPages(QVariant()),
         [](QWidget &w) { only<QTabWidget>(w).setCurrentIndex(1); },
         [](QWidget &w) -> QVariant { return only<QTabWidget>(w).currentIndex(); }, 1},
        {"colour button",
         {field(kColorButton, "F", QColor(Qt::red), "v")},
         [](QWidget &w) {
             DialogHook::setHandler(
                 [](const DialogHook::Request &) -> QVariant { return QColor(Qt::blue); });
             only<QPushButton>(w).click();
             DialogHook::setHandler({});
         },
         [](QWidget &w) -> QVariant {
             return only<QPushButton>(w).icon().pixmap(16, 16).toImage().pixelColor(8, 8);
         },
         QColor(Qt::blue)},
    };
}

QVariantMap iniOptions(const QString &title, const QString &file)
{
    return {{OptionKey::title, title},
            {OptionKey::inifileName, file},
            {OptionKey::inigroupname, "main"},
            {OptionKey::iniautosave, true}};
}

} // namespace

class TestKivraForms : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { DialogHook::setHandler({}); }
    void editsSurviveTheOptionsFile_data();
    void editsSurviveTheOptionsFile();
    void nestedTabsReportNothingBeforeInit();
    void tabBoundToAVariable_data();
    void tabBoundToAVariable();
    void formFlags_data();
    void formFlags();
    void namedVariableRestored_data();
    void namedVariableRestored();
    void buttonFlags_data();
    void buttonFlags();
    void validators_data();
    void validators();
    void menuHosts_data();
    void menuHosts();
    void browseButtonAsksItsChooser_data();
    void browseButtonAsksItsChooser();
    void droppedResultOutlivesTheClose_data();
    void droppedResultOutlivesTheClose();
    void selectorOverTheOptionsFile();
    void selectorOffersTheSummaryFirst();
    void mainWindowHoldsTheFields();
    void collapsingGroupFollowsItsSwitch();
    void placedKinds();
    void onlyCheckableActionsAreKept();

private:
    QTemporaryDir m_dir;
};

void TestKivraForms::editsSurviveTheOptionsFile_data()
{
    QTest::addColumn<int>("row");
    const QList<RoundTrip> rows = roundTrips();
    for (int i = 0; i < rows.size(); ++i)
        QTest::newRow(rows.at(i).tag) << i;
}

// Three starts of a form that keeps its values in an options file: the first edits the
// field, the second and the third only press OK. Every start must show the edited value.
void TestKivraForms::editsSurviveTheOptionsFile()
{
    QFETCH(int, row);
    const RoundTrip trip = roundTrips().at(row);
    QString file = m_dir.filePath(QStringLiteral("trip%1.opt").arg(row));

    for (int start = 1; start <= 3; ++start) {
        const QString title = QStringLiteral("%1 %2").arg(trip.tag).arg(start);
        QVariantMap vars;
        Fields fields = trip.fields;
        fields << field(kOkButton);
        buildForm(nullptr, kNewWindow | kShow | kKeepAllNamed, {},
                  dialogRecord(iniOptions(title, file)), fields, &vars, nullptr);
        QPointer<helper::Dialog> dialog = builtWindow<helper::Dialog>(title);
        QVERIFY(dialog);
        if (start == 1) {
            trip.edit(*dialog);
        } else {
            QCOMPARE(trip.shown(*dialog), trip.edited);
        }
        dialog->findChild<QPushButton *>(fixedButtonName(kOkButton))->click();
        QTRY_VERIFY(!dialog);
        file = freshCopy(file);
    }
}

// Pages added while building move the current tab; neither that nor the start page is a
// change of the user's: no tab callback runs before kInit, and the first change reports the
// page that was shown as the former one.
void TestKivraForms::nestedTabsReportNothingBeforeInit()
{
    CallRecorder recorder;
    QWidget parent;
    QVariantMap vars;
    const Fields fields {
        field(kTabWidget, QString(), 2, "outer"),
        field(kTabPage, "Eins"),
        field(kTabWidget, QString(), 1, "inner"),
        field(kTabPage, "Innen eins"),
        field(kTabPage, "Innen zwei"),
        field(kEndTabPages),
        field(kTabPage, "Zwei"),
        field(kTabPage, "Drei"),
        field(kLineEdit, "Auf Seite drei", QString(), "text"),
        field(kEndTabPages),
    };
    buildForm(&parent, kInstallLayout, {}, dialogRecord("Reiter", recorder.callback("window")),
              fields, &vars, nullptr);
    QCOMPARE(recorder.calls, QStringList {"window kInit"});

    auto *outer = findWidget<QTabWidget>(&vars, "outer", kTabWidget);
    auto *inner = findWidget<QTabWidget>(&vars, "inner", kTabWidget);
    QVERIFY(outer && inner);
    QCOMPARE(outer->count(), 3);
    QCOMPARE(inner->count(), 2);
    QVERIFY(outer->widget(0)->isAncestorOf(inner));
    QVERIFY(outer->widget(2)->isAncestorOf(findWidget<QLineEdit>(&vars, "text", kLineEdit)));
    QCOMPARE(outer->currentIndex(), 2);
    QCOMPARE(inner->currentIndex(), 1);
    QCOMPARE(vars.value("outer"), QVariant(2));
    QCOMPARE(vars.value("inner"), QVariant(1));

    outer->setCurrentIndex(0);
    QCOMPARE(recorder.calls, QStringList({"window kInit", "window kSetActive"}));
    QCOMPARE(recorder.newValues.last(), QVariant(0));
    QCOMPARE(recorder.oldValues.last(), QVariant(2));
    QCOMPARE(vars.value("outer"), QVariant(0));
}

void TestKivraForms::tabBoundToAVariable_data()
{
    QTest::addColumn<QVariant>("start");
    QTest::addColumn<int>("shown");
    QTest::newRow("second page") << QVariant(1) << 1;
    QTest::newRow("no page yet") << QVariant() << 0;
}

// A tab widget bound to the caller's variable: the variable holds the page shown.
void TestKivraForms::tabBoundToAVariable()
{
    QFETCH(QVariant, start);
    QFETCH(int, shown);
    QVariant page = start;
    QWidget parent;
    QVariantMap vars;
    Fields fields = tabPages(QVariant());
    fields.first() = field(kTabWidget, QString(), &page);
    buildForm(&parent, kInstallLayout, {}, dialogRecord(), fields, &vars, nullptr);
    auto *tabs = parent.findChild<QTabWidget *>();
    QCOMPARE(tabs->currentIndex(), shown);
    QCOMPARE(page, QVariant(shown));
    tabs->setCurrentIndex(1 - shown);
    QCOMPARE(page, QVariant(1 - shown));
}

void TestKivraForms::formFlags_data()
{
    QTest::addColumn<int>("flags");
    QTest::newRow("kSaveAllOnClose") << int(kSaveAllOnClose);
    QTest::newRow("kBoldCaptions") << int(kBoldCaptions);
    QTest::newRow("kActivate") << int(kActivate);
    QTest::newRow("kNoEscapeHandling") << int(kNoEscapeHandling);
}

// Each flag through buildForm, on a dialog with a kept and an unkept field, a cancel button
// and an options file; without the flag each check must come out the other way.
void TestKivraForms::formFlags()
{
    QFETCH(int, flags);
    for (const bool on : {false, true}) {
        const QString title = QStringLiteral("%1 %2").arg(QTest::currentDataTag()).arg(on);
        const QString file = m_dir.filePath(title + ".opt");
        QVariantMap vars;
        const FormFlags formFlags = kNewWindow | (on ? FormFlags(flags) : 0);
        buildForm(nullptr, formFlags, {}, dialogRecord(iniOptions(title, file)),
                  {field(kLineEdit, "Behalten", QStringLiteral("k"), "kept", bits({10})),
                   field(kLineEdit, "Frei", QStringLiteral("f"), "free"), field(kOkButton),
                   field(kCancelButton)},
                  &vars, nullptr);
        QPointer<helper::Dialog> dialog = builtWindow<helper::Dialog>(title);
        QVERIFY(dialog);
        switch (flags) {
        case kSaveAllOnClose: {
            dialog->show();
            dialog->findChild<QPushButton *>(fixedButtonName(kOkButton))->click();
            const QVariantMap saved = storedIniValue(file, "main/vmap").toMap();
            QCOMPARE(saved.keys(), on ? QStringList({"free", "kept"}) : QStringList {"kept"});
            break;
        }
        case kBoldCaptions:
            QCOMPARE(findWidget<QLabel>(&vars, "kept", kLabel)->text(),
                     on ? QStringLiteral("<b>Behalten</b>") : QStringLiteral("Behalten"));
            break;
        case kActivate:
            QTest::qWait(10);
            QCOMPARE(dialog->isVisible(), on);
            break;
        case kNoEscapeHandling:
            dialog->show();
            QTest::keyClick(dialog, Qt::Key_Escape);
            QTest::qWait(10);
            QCOMPARE(dialog && dialog->isVisible(), on);
            break;
        }
        delete dialog;
    }
}

void TestKivraForms::namedVariableRestored_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QVariant>("expected");
    QTest::newRow("first start") << QVariant() << QVariant(1);
    QTest::newRow("restored") << QVariant(5) << QVariant(5);
}

void TestKivraForms::namedVariableRestored()
{
    QFETCH(QVariant, stored);
    QFETCH(QVariant, expected);
    const QString file = m_dir.filePath(QStringLiteral("named-%1.opt").arg(stored.toInt()));
    if (stored.isValid())
        QSettings(file, QSettings::IniFormat).setValue("main/vmap", QVariantMap {{"n", stored}});
    QWidget parent;
    QVariantMap vars;
    buildForm(&parent, kInstallLayout, {}, dialogRecord(iniOptions("Variable", freshCopy(file))),
              {field(kNamedVariable, QString(), 1, "n", bits({10}))}, &vars, nullptr);
    QCOMPARE(vars.value("n"), expected);
}

void TestKivraForms::buttonFlags_data()
{
    QTest::addColumn<int>("code");
    for (const int code :
         {kPushButton, kOkButton, kCancelButton, kHelpUrlButton, kOpenLineEdit, kColorButton,
          kFontButton, kDirLineEdit, kDirButton, kOpenFileLineEdit, kOpenFileButton,
          kSaveFileLineEdit, kSaveFileButton, kCloseButton, kMenuButton, kHelpButton})
        QTest::newRow(QByteArray::number(code)) << code;
}

// Bit 29 makes any button take Enter (OK always does); bit 14 hides the field's own widgets.
void TestKivraForms::buttonFlags()
{
    QFETCH(int, code);
    for (const int bit : {-1, 29, 14}) {
        QWidget parent;
        QVariantMap vars;
        buildForm(
            &parent, kInstallLayout, {}, dialogRecord(),
            {field(quint32(code), "Knopf", QVariant(), "b", bit < 0 ? FieldFlags() : bits({bit}))},
            &vars, nullptr);
        auto *button = parent.findChild<QPushButton *>();
        QVERIFY(button);
        const bool enter = bit == 29 || code == kOkButton;
        QCOMPARE(button->autoDefault(), enter);
        QCOMPARE(button->isDefault(), enter);
        for (const QPointer<QWidget> &widget : widgetsByName(&vars, "b"))
            QCOMPARE(widget->isHidden(), bit == 14 && widgetSubKind(widget) == code);
    }
}

void TestKivraForms::validators_data()
{
    QTest::addColumn<QVariantMap>("options");
    QTest::addColumn<int>("bit");
    QTest::addColumn<bool>("callback");
    QTest::addColumn<QByteArray>("validator"); // class name, empty for none

    const QVariantMap digits {{"title", "Zahl"}, {"regex_pattern", "[0-9]+"}};
    QVariantMap wildcard = digits;
    wildcard.insert("regex_pattern_wildcard", true);
    const QVariantMap plain {{"title", "Text"}};
    QTest::newRow("regex") << digits << -1 << false << QByteArray("QRegularExpressionValidator");
    QTest::newRow("wildcard pattern") << wildcard << -1 << false << QByteArray();
    QTest::newRow("regex wins over bit 16")
        << digits << 16 << true << QByteArray("QRegularExpressionValidator");
    QTest::newRow("bit 16 with a callback")
        << plain << 16 << true << QByteArray("kivra::helper::Validator");
    QTest::newRow("bit 16 without a callback") << plain << 16 << false << QByteArray();
}

void TestKivraForms::validators()
{
    QFETCH(QVariantMap, options);
    QFETCH(int, bit);
    QFETCH(bool, callback);
    QFETCH(QByteArray, validator);

    CallRecorder recorder;
    QWidget parent;
    QVariantMap vars;
    buildForm(&parent, kInstallLayout, {},
              dialogRecord("Form", callback ? recorder.callback("window") : CallbackVariant()),
              {field(kLineEdit, options, QString(), "text", bit < 0 ? FieldFlags() : bits({bit}))},
              &vars, nullptr);
    const QValidator *installed = findWidget<QLineEdit>(&vars, "text", kLineEdit)->validator();
    QCOMPARE(installed ? QByteArray(installed->metaObject()->className()) : QByteArray(),
             validator);
    if (auto *regex = qobject_cast<const QRegularExpressionValidator *>(installed))
        QCOMPARE(regex->regularExpression().pattern(), QStringLiteral("[0-9]+"));
}

void TestKivraForms::menuHosts_data()
{
    QTest::addColumn<bool>("buttonHost");
    QTest::newRow("push button") << true;
    QTest::newRow("no host: a menu bar of its own") << false;
}

// A caller's menu joins the newest earlier field that can hold one, else a menu bar made for
// it; the registrations after it keep counting on.
void TestKivraForms::menuHosts()
{
    QFETCH(bool, buttonHost);
    QWidget parent;
    QVariantMap vars;
    auto *menu = new QMenu(QStringLiteral("Mehr"), &parent);
    auto *action = new QAction(QStringLiteral("Eins"), &parent);
    Fields fields {field(kLineEdit, "Vorher", QString(), "before")};
    if (buttonHost)
        fields << field(kPushButton, "Menü", QVariant(), "host");
    fields << field(kCallerMenu, QString(), static_cast<QObject *>(menu), "menu")
           << field(kCallerAction, QString(), static_cast<QObject *>(action))
           << field(kLineEdit, "Nachher", QString(), "after");
    buildForm(&parent, kInstallLayout, {}, dialogRecord(), fields, &vars, nullptr);

    QVERIFY(menu->actions().contains(action));
    const int before = widgetPos(findWidget<QLineEdit>(&vars, "before", kLineEdit));
    const int after = widgetPos(findWidget<QLineEdit>(&vars, "after", kLineEdit));
    if (buttonHost) {
        QCOMPARE(findWidget<QPushButton>(&vars, "host", kPushButton)->menu(), menu);
        QVERIFY(!parent.findChild<QMenuBar *>());
        QVERIFY(after > before);
    } else {
        auto *bar = findWidget<QMenuBar>(&vars, "menu", kMenuBar);
        QVERIFY(bar && bar->actions().contains(menu->menuAction()));
        QVERIFY(before < widgetPos(bar) && widgetPos(bar) < after);
    }
}

void TestKivraForms::browseButtonAsksItsChooser_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("filter");

    QTest::newRow("directory") << int(kDirLineEdit) << int(DialogHook::Kind::Directory) << "/tmp"
                               << QString();
    QTest::newRow("open file") << int(kOpenFileLineEdit) << int(DialogHook::Kind::OpenFile)
                               << "/tmp/a.csv"
                               << "Tabellen (*.csv)";
    // An empty field starts at the option "currentdir".
    QTest::newRow("open file, empty") << int(kOpenFileLineEdit) << int(DialogHook::Kind::OpenFile)
                                      << QString() << "Tabellen (*.csv)";
    QTest::newRow("save file") << int(kSaveFileLineEdit) << int(DialogHook::Kind::SaveFile)
                               << "/tmp/b.csv"
                               << "Tabellen (*.csv)";
}

// What a path field's browse button asks, and where the answer goes: into its edit and the
// value map.
void TestKivraForms::browseButtonAsksItsChooser()
{
    QFETCH(int, code);
    QFETCH(int, kind);
    QFETCH(QString, start);
    QFETCH(QString, filter);

    QList<DialogHook::Request> requests;
    DialogHook::setHandler([&requests](const DialogHook::Request &request) -> QVariant {
        requests << request;
        return QStringLiteral("/gewählt/pfad");
    });
    QWidget parent;
    QVariantMap vars;
    const QString caption =
        QStringLiteral("<i>Datei:</i>{{filefilter}{Tabellen (*.csv)}}{{currentdir}{/home}}");
    buildForm(&parent, kInstallLayout, {}, dialogRecord(),
              {field(quint32(code), caption, start, "path")}, &vars, nullptr);
    findWidget<QPushButton>(&vars, "path", kPushButton)->click();

    QCOMPARE(requests.size(), 1);
    const DialogHook::Request &request = requests.first();
    QCOMPARE(int(request.kind), kind);
    QCOMPARE(request.parent, &parent);
    QCOMPARE(request.title, QStringLiteral("Datei:"));
    QCOMPARE(request.filter, filter);
    QCOMPARE(request.start.toString(), start.isEmpty() ? QStringLiteral("/home") : start);
    QCOMPARE(findWidget<QLineEdit>(&vars, "path", quint32(code))->text(),
             QStringLiteral("/gewählt/pfad"));
    QCOMPARE(vars.value("path"), QVariant("/gewählt/pfad"));
}

void TestKivraForms::droppedResultOutlivesTheClose_data()
{
    QTest::addColumn<bool>("cancelButton");
    QTest::newRow("Escape eaten, then closed") << false;
    QTest::newRow("Escape cancels") << true;
}

// The builder's own map lives on in the window's filter when the caller drops the result and
// no connection holds the map: the close sequence after Escape and the close still reads it
// (the sanitizer build reports a use after free otherwise).
void TestKivraForms::droppedResultOutlivesTheClose()
{
    QFETCH(bool, cancelButton);
    QVariantList seen;
    const ContextCallback record = [&seen](const CallbackContext &c) {
        if (c.vars && c.type == kCleanup)
            seen.append(c.vars->value("text"));
        return 1;
    };
    const QString title = QTest::currentDataTag();
    Fields fields {field(kNamedVariable, QString(), QStringLiteral("kept"), "text", bits({10})),
                   field(kLabel, "Nur ein Text")};
    if (cancelButton)
        fields << field(kCancelButton);
    buildForm(nullptr, kNewWindow | kShow | kCloseAccepts, {}, dialogRecord(title, record), fields,
              nullptr, nullptr);
    QPointer<helper::Dialog> dialog = builtWindow<helper::Dialog>(title);
    QVERIFY(dialog);
    QTest::keyClick(dialog, Qt::Key_Escape);
    if (!cancelButton) {
        QTest::qWait(10);
        QVERIFY(dialog);
        dialog->close();
    }
    QTRY_VERIFY(!dialog);
    QCOMPARE(seen, QVariantList {"kept"});
}

QVariantMap selectorOptions(const QString &file)
{
    return {{OptionKey::title, "Auswahl"},
            {OptionKey::inifileName, file},
            {OptionKey::inigroupname, "main"},
            {OptionKey::iniautosave, true},
            {OptionKey::iniusemulticonf, true}};
}

// The selector built over an options file: "+" stores the form's values under a new name,
// and switching loads another configuration into the fields.
void TestKivraForms::selectorOverTheOptionsFile()
{
    const QString file = m_dir.filePath("selector.opt");
    {
        QSettings settings(file, QSettings::IniFormat);
        settings.setValue("main/alpha", QVariantMap {{"x", "eins"}});
        settings.setValue("main/beta", QVariantMap {{"x", "zwei"}});
        settings.setValue("default_conf/name", "beta");
    }
    DialogHook::setHandler([](const DialogHook::Request &request) -> QVariant {
        return request.kind == DialogHook::Kind::Text ? QVariant("Gamma") : QVariant(true);
    });
    QWidget parent;
    QVariantMap vars;
    buildForm(&parent, kInstallLayout | kKeepAllNamed, {}, dialogRecord(selectorOptions(file)),
              {field(kSettingSelector, QString(), QVariant(), "config"),
               field(kLineEdit, "X", QString(), "x")},
              &vars, nullptr);
    auto *box = findWidget<QGroupBox>(&vars, "config", kSettingSelector);
    auto *combo = box->findChild<QComboBox *>();
    auto *edit = findWidget<QLineEdit>(&vars, "x", kLineEdit);
    QCOMPARE(edit->text(), QStringLiteral("zwei"));

    edit->setText("drei");
    box->findChildren<QPushButton *>().first()->click();
    QCOMPARE(combo->currentData(), QVariant("gamma"));
    QCOMPARE(storedIniValue(file, "main/gamma").toMap().value("x"), QVariant("drei"));

    combo->setCurrentIndex(combo->findData("alpha"));
    QCOMPARE(edit->text(), QStringLiteral("eins"));
    QCOMPARE(vars.value("x"), QVariant("eins"));
}

// Nothing stored yet: the selector offers the summary configuration.
void TestKivraForms::selectorOffersTheSummaryFirst()
{
    QVariantMap options = selectorOptions(m_dir.filePath("none.opt"));
    options.insert(OptionKey::inisummapname, "alles");
    QWidget parent;
    QVariantMap vars;
    buildForm(&parent, kInstallLayout, {}, dialogRecord(options),
              {field(kSettingSelector, QString(), QVariant(), "config")}, &vars, nullptr);
    auto *combo =
        findWidget<QGroupBox>(&vars, "config", kSettingSelector)->findChild<QComboBox *>();
    QCOMPARE(combo->count(), 1);
    QCOMPARE(combo->currentData(), QVariant("alles"));
}

void TestKivraForms::mainWindowHoldsTheFields()
{
    QVariantMap vars;
    buildForm(nullptr, kNewWindow, {}, INFO(kMainWindow, {}, "Haupt"),
              {field(kLineEdit, "A", QString(), "a")}, &vars, nullptr);
    std::unique_ptr<helper::MainWnd> window(builtWindow<helper::MainWnd>("Haupt"));
    QVERIFY(window);
    QVERIFY(window->centralWidget());
    QVERIFY(window->centralWidget()->isAncestorOf(findWidget<QLineEdit>(&vars, "a", kLineEdit)));
}

// A checkable group with kHideUnchecked shows its content only while it is checked.
void TestKivraForms::collapsingGroupFollowsItsSwitch()
{
    QWidget parent;
    QVariantMap vars;
    buildForm(&parent, kInstallLayout, {}, dialogRecord(),
              {INFO(kVBoxLayout, bits({8}), "Schalter", false, "switch"),
               field(kLineEdit, "Innen", QString(), "inner"), endLayout()},
              &vars, nullptr);
    parent.show();
    auto *inner = findWidget<QLineEdit>(&vars, "inner", kLineEdit);
    auto *box = qobject_cast<QGroupBox *>(inner->parentWidget());
    QVERIFY(box && inner->isHidden());
    box->setChecked(true);
    emit box->clicked(true);
    QVERIFY(!inner->isHidden());
    QCOMPARE(vars.value("switch"), QVariant(1));
    box->setChecked(false);
    emit box->clicked(false);
    QVERIFY(inner->isHidden());
}

// Kinds whose widgets nothing else reaches: each sits in the form and shows its caption.
void TestKivraForms::placedKinds()
{
    QWidget parent;
    QVariantMap vars;
    buildForm(&parent, kInstallLayout, {}, dialogRecord(),
              {field(kLabel, "Nur ein Text", QVariant(), "label"),
               field(kDateTimeEdit, "Zeitpunkt:", QDateTime(), "when")},
              &vars, nullptr);
    auto *label = findWidget<QLabel>(&vars, "label", kLabel);
    QVERIFY(label && label->parentWidget() == &parent);
    QCOMPARE(label->text(), QStringLiteral("Nur ein Text"));
    auto *caption = findWidget<QLabel>(&vars, "when", kLabel);
    QVERIFY(caption && caption->parentWidget() == &parent);
    QCOMPARE(caption->text(), QStringLiteral("Zeitpunkt:"));
    QCOMPARE(caption->buddy(), findWidget<QDateTimeEdit>(&vars, "when", kDateTimeEdit));
}

// Only checkable menu entries are kept for the options file; a plain command has no state.
void TestKivraForms::onlyCheckableActionsAreKept()
{
    QMenu menu;
    QAction *checkable = menu.addAction("Ansicht");
    checkable->setCheckable(true);
    checkable->setProperty("menuid", "view");
    menu.addAction("Drucken")->setProperty("menuid", "print");
    QAction single("Einzeln");
    single.setProperty("menuid", "single");
    QSet<QString> kept;
    QWidget parent;
    buildForm(&parent, kInstallLayout, {}, dialogRecord(),
              {field(kCallerMenu, QString(), static_cast<QObject *>(&menu)),
               field(kCallerAction, QString(), static_cast<QObject *>(&single)),
               field(kLineEdit, "Frei", QString(), "free")},
              nullptr, &kept);
    QCOMPARE(kept, QSet<QString> {"view"});
}

QTEST_MAIN(TestKivraForms)
#include "tst_kivraforms.moc"
