#include "FormFixture.h"
#include "ListDataValues.h"
#include "ListFill.h"
#include "SetWidgetData.h"
#include "WidgetRegistry.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>

using namespace kivra;

// A form with one widget of each kind the value writer serves, every value widget wired to
// the change handler with a callback that records what reaches the application.
class Form : public FormFixture
{
public:
    Form()
    {
        name = add<QLineEdit>("name", 20000, 20000);
        flag = add<QCheckBox>("flag", 20004, 20004);
        count = add<QSpinBox>("count", 50006, 50006, kImmediateUpdate);
        count->setRange(0, 1000);
        wire(name, &QLineEdit::textChanged, field("name", kAskBefore), INFO(30000));
        wire(flag, &QCheckBox::stateChanged, field("flag"), INFO(30000));
        wire(count, &QSpinBox::valueChanged, field("count"), INFO(30000));
        path = add<QLineEdit>("path", 20000, 50009);
        browse = add<QPushButton>("path", 20002, 50009);
        sep = add<QComboBox>("sep", 20006, 20006);
        T_LISTDATA separators {
            {"Tab", false, 1, {}}, {"Komma", false, 2, {}}, {"Semikolon", true, 3, {}}};
        fillComboBox(separators, sep, kComboNeverSignal, false, false);
        color = add<QPushButton>("color", 20002, 50004);
        add<QLabel>("caption", 20003, 20003);
        add<QTabWidget>("tabs", 20015, 20015);

        vars.insert("name", "old");
        vars.insert("flag", 0);
        vars.insert("count", 1);
        vars.insert("path", QVariant::fromValue(&boundPath));
        vars.insert("sep", QVariant::fromValue(separators));
        vars.insert("color", QVariant());
        vars.insert("tabs", 0);
    }

    INFO field(const QString &fieldName, const FieldFlags &flags = {})
    {
        return INFO(0, flags, QString(), QVariant(), fieldName, recorder.callback(fieldName));
    }

    CallRecorder recorder;
    QVariant boundPath = QStringLiteral("in.csv");
    QLineEdit *name;
    QCheckBox *flag;
    QSpinBox *count;
    QLineEdit *path;
    QPushButton *browse;
    QComboBox *sep;
    QPushButton *color;
};

class TestKivraSetWidgetData : public QObject
{
    Q_OBJECT

private slots:
    void appliesValuesWithoutCallbacks();
    void reservedAndUnknownKeys();
    void reemitReportsFilledWidgets();
    void sameMapIsLeftAlone();
};

void TestKivraSetWidgetData::appliesValuesWithoutCallbacks()
{
    Form form;
    QVariant external = 250;
    const QVariantMap values {
        {"name", "new"},        {"flag", true}, {"count", QVariant::fromValue(&external)},
        {"path", "out.csv"},    {"sep", "2"},   {"color", "#ff0000"},
        {"caption", "ignored"}, {"tabs", 3}};
    QVERIFY(setWidgetData(&form.vars, values, false));

    QCOMPARE(form.name->text(), QStringLiteral("new"));
    QVERIFY(form.flag->isChecked());
    QCOMPARE(form.count->value(), 250);
    QCOMPARE(form.path->text(), QStringLiteral("out.csv"));
    QCOMPARE(form.sep->currentIndex(), 1);
    QCOMPARE(form.browse->text(), QString());

    QCOMPARE(form.vars.value("name"), QVariant("new"));
    QCOMPARE(form.vars.value("flag"), QVariant(true));
    QCOMPARE(form.vars.value("count"), QVariant(250));
    // A bound variable takes the value; the map keeps pointing at it.
    QCOMPARE(form.boundPath, QVariant("out.csv"));
    QCOMPARE(form.vars.value("path").value<T_VARIANT_PTR>(), &form.boundPath);
    QCOMPARE(selectedValues(&form.vars, "sep"), QVariantList({2}));
    QCOMPARE(form.vars.value("color"), QVariant("#ff0000"));
    QVERIFY(!form.vars.contains("caption"));
    QCOMPARE(form.vars.value("tabs"), QVariant(0));
    QVERIFY(form.recorder.calls.isEmpty());
}

void TestKivraSetWidgetData::reservedAndUnknownKeys()
{
    Form form;
    auto *hidden = form.add<QLineEdit>(autoVarKey("1"), 20000, 20000);
    QVariantMap values {{autoVarKey("1"), "x"}, {widgetDataKey("name"), QVariant()}};
    QVERIFY(setWidgetData(&form.vars, values, false));
    QCOMPARE(hidden->text(), QString());
    QCOMPARE(form.name->text(), QString());
    QVERIFY(!widgetsByName(&form.vars, "name").isEmpty());

    // A name without any widget is not a value of this form.
    QVERIFY(!setWidgetData(&form.vars, {{"unknown", 1}}, false));
    QVERIFY(!form.vars.contains("unknown"));

    // A value that names no combo item leaves both the combo box and its list data.
    QVERIFY(setWidgetData(&form.vars, {{"sep", 9}}, false));
    QCOMPARE(form.sep->currentIndex(), 2);
    QCOMPARE(selectedValues(&form.vars, "sep"), QVariantList({3}));

    // A widget whose key the map lacks gets the value; the map gains no entry.
    form.vars.remove("name");
    QVERIFY(setWidgetData(&form.vars, {{"name", "shown"}}, false));
    QCOMPARE(form.name->text(), QStringLiteral("shown"));
    QVERIFY(!form.vars.contains("name"));
}

void TestKivraSetWidgetData::reemitReportsFilledWidgets()
{
    Form form;
    form.flag->setProperty("kivra_flags", flagsToBitArray(kEmitInitialChangeIfSet));
    QSignalSpy clicked(form.color, &QPushButton::clicked);
    QSignalSpy sepChanged(form.sep, &QComboBox::currentIndexChanged);

    // The name keeps its stored value: only the forced re-emit can report it.
    QVERIFY(setWidgetData(&form.vars,
                          {{"name", "old"}, {"count", 5}, {"color", "#00ff00"}, {"sep", 1}}, true));
    QCOMPARE(form.recorder.calls,
             QStringList(
                 {"count kAfterDataChanged", "name kBeforeDataChanged", "name kAfterDataChanged"}));
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(clicked.first().first(), QVariant(true));
    QCOMPARE(sepChanged.count(), 1);
    QCOMPARE(sepChanged.first().first(), QVariant(0));
}

void TestKivraSetWidgetData::sameMapIsLeftAlone()
{
    Form form;
    form.vars.insert("name", "changed in the map only");
    QVERIFY(setWidgetData(&form.vars, form.vars, true));
    QCOMPARE(form.name->text(), QString());
    QVERIFY(form.recorder.calls.isEmpty());
    QVERIFY(!setWidgetData(nullptr, {{"name", 1}}, false));
}

QTEST_MAIN(TestKivraSetWidgetData)
#include "tst_kivrasetwidgetdata.moc"
