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

QTEST_MAIN(TestKivraForms)
#include "tst_kivraforms.moc"
