#include "ApplySelectionToListData.h"
#include "CloseWindow.h"
#include "FormFixture.h"
#include "IniTestFiles.h"
#include "IniValues.h"
#include "InitFormFromOptions.h"
#include "ListDataValues.h"
#include "ListFill.h"
#include "MessageBoxHook.h"
#include "OptionKeys.h"
#include "SetWidgetData.h"
#include "WidgetType.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QListWidget>
#include <QSpinBox>
#include <QTest>

using namespace kivra;

namespace {

T_LISTDATA items(const QVariantList &data, const QList<bool> &checked = {})
{
    T_LISTDATA list;
    for (qsizetype i = 0; i < data.size(); ++i)
        list.push_back({QString::number(i), checked.value(i), data.at(i), {}});
    return list;
}

QList<bool> checks(const T_LISTDATA &list)
{
    QList<bool> result;
    for (const auto &item : list)
        result << std::get<1>(item);
    return result;
}

} // namespace

class TestKivraIniForm : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void startUpRestoresValuesAndWindow();
    void startUpWithNamedConfigurations();
    void closeSavesOnAccept_data();
    void closeSavesOnAccept();
    void restoredSelection_data();
    void restoredSelection();
    void restoredSelectionInPlace();
    void driftedValuesFillWidgets();

private:
    INFO windowRecord(const QVariantMap &extra = {}) const;

    IniTestFiles m_files;
    QString m_file;
};

INFO TestKivraIniForm::windowRecord(const QVariantMap &extra) const
{
    QVariantMap options {{OptionKey::title, "Pseudonymisieren"},
                         {OptionKey::inifileName, m_file},
                         {OptionKey::inigroupname, "main"},
                         {"minwidth0", 321}};
    options.insert(extra);
    return INFO(kDialogWindow, {}, options);
}

void TestKivraIniForm::cleanup()
{
    MessageBoxHook::setHandler({});
}

void TestKivraIniForm::startUpRestoresValuesAndWindow()
{
    m_file = m_files.path("start.opt");
    QWidget window;
    QVariantMap values {{"input_row_offset", 1}};

    // First start: nothing to restore, and nothing written.
    initFormFromOptions(&window, windowRecord(), &values, true);
    QCOMPARE(window.windowTitle(), QString("Pseudonymisieren"));
    QCOMPARE(window.minimumWidth(), 321);
    QCOMPARE(values, QVariantMap({{"input_row_offset", 1}}));
    QVERIFY(!QFileInfo::exists(m_file));

    const QVariantMap stored {{"input_row_offset", 4}, {"pseudo_key", QByteArray(16, 'k')}};
    QVERIFY(saveValuesToIni(&stored, m_file, "main", false, nullptr, QString()));
    QWidget other;
    initFormFromOptions(&other, windowRecord(), &values, false);
    QCOMPARE(values, stored);
    QVERIFY(other.windowTitle().isEmpty());

    // A window record whose options are only its caption keeps no values.
    QWidget captioned;
    initFormFromOptions(&captioned, INFO(kDialogWindow, {}, "Nur Titel"), &values, true);
    QCOMPARE(captioned.windowTitle(), QString("Nur Titel"));
}

void TestKivraIniForm::startUpWithNamedConfigurations()
{
    m_file = m_files.path("multi.opt");
    const INFO record = windowRecord({{OptionKey::iniusemulticonf, true}});
    const QVariantMap alpha {{"a", 1}};
    QVERIFY(saveValuesToIni(&alpha, m_file, "main", false, nullptr, "alpha"));
    QSettings(m_file, QSettings::IniFormat).setValue("default_conf/name", "alpha");

    QVariantMap values;
    initFormFromOptions(nullptr, record, &values, true);
    QCOMPARE(values, alpha);

    // The remembered configuration is gone: the summary name becomes the current one.
    QSettings(m_file, QSettings::IniFormat).setValue("default_conf/name", "gone");
    values = {{"b", 2}};
    initFormFromOptions(nullptr, record, &values, true);
    QCOMPARE(values, QVariantMap({{"b", 2}}));
    QCOMPARE(m_files.storedValue(m_file, "default_conf/name"), QVariant("vmap"));
}

void TestKivraIniForm::closeSavesOnAccept_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("autoSave");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<bool>("filterKeys");
    QTest::addColumn<QStringList>("keptNames");
    QTest::addColumn<QVariant>("saved");

    const QVariantMap all {{"kept", 1}, {"other", "x"}};
    QTest::newRow("accept saves every entry")
        << int(kAccept) << true << false << false << QStringList() << QVariant(all);
    QTest::newRow("reject saves nothing")
        << int(kReject) << true << true << false << QStringList() << QVariant();
    QTest::newRow("plain close saves nothing")
        << int(kClose) << true << true << false << QStringList() << QVariant();
    QTest::newRow("asked, answered No")
        << int(kAccept) << false << false << false << QStringList() << QVariant();
    QTest::newRow("asked, answered Yes")
        << int(kAccept) << false << true << false << QStringList() << QVariant(all);
    QTest::newRow("only kept names") << int(kAccept) << true << false << true
                                     << QStringList {"kept"} << QVariant(QVariantMap {{"kept", 1}});
    QTest::newRow("no kept names: an empty map")
        << int(kAccept) << true << false << true << QStringList() << QVariant(QVariantMap());
}

void TestKivraIniForm::closeSavesOnAccept()
{
    QFETCH(int, code);
    QFETCH(bool, autoSave);
    QFETCH(bool, answer);
    QFETCH(bool, filterKeys);
    QFETCH(QStringList, keptNames);
    QFETCH(QVariant, saved);

    m_file = m_files.path(QStringLiteral("close-%1.opt").arg(QTest::currentDataTag()));
    int questions = 0;
    MessageBoxHook::setHandler(
        [&](MessageBoxHook::Kind, QWidget *, const QString &title, const QString &) {
            ++questions;
            return title == "Einstellungen speichern:" && answer;
        });
    QWidget window;
    QVariantMap values {{"kept", 1}, {"other", "x"}, {widgetDataKey("kept"), 0}};
    const CloseSaveInfo closeSave {filterKeys, QSet<QString>(keptNames.cbegin(), keptNames.cend())};
    const INFO record = windowRecord({{OptionKey::iniautosave, autoSave}});

    QVERIFY(closeWindow(&window, &window, CallbackType(code), record, INFO(), &values, &closeSave));
    QCOMPARE(m_files.storedValue(m_file, "main/vmap"), saved);
    QCOMPARE(questions, code == kAccept && !autoSave ? 1 : 0);
    QCOMPARE(values, QVariantMap({{"kept", 1}, {"other", "x"}}));
}

void TestKivraIniForm::restoredSelection_data()
{
    QTest::addColumn<QVariant>("restored");
    QTest::addColumn<QVariantList>("itemData");
    QTest::addColumn<bool>("single");
    QTest::addColumn<QList<bool>>("checked");

    const QVariantList numbers {1, 2, 3};
    QTest::newRow("one-element list")
        << QVariant(QVariantList {2}) << numbers << true << QList<bool> {false, true, false};
    QTest::newRow("numbers read back as text")
        << QVariant(QStringList {"1", "3"}) << numbers << false << QList<bool> {true, false, true};
    QTest::newRow("single keeps the first of two")
        << QVariant(QStringList {"3", "1"}) << numbers << true << QList<bool> {true, false, false};
    QTest::newRow("equal user data, single")
        << QVariant(7) << QVariantList {7, 7} << true << QList<bool> {true, false};
    QTest::newRow("nothing selected clears the defaults")
        << QVariant() << numbers << true << QList<bool> {false, false, false};
    QTest::newRow("items carrying lists take the whole value")
        << QVariant(QVariantList {1, 2}) << QVariantList {QVariantList {1, 2}, 1} << false
        << QList<bool> {true, false};
}

void TestKivraIniForm::restoredSelection()
{
    QFETCH(QVariant, restored);
    QFETCH(QVariantList, itemData);
    QFETCH(bool, single);
    QFETCH(QList<bool>, checked);

    QVariant listData = QVariant::fromValue(items(itemData, QList<bool>(itemData.size(), true)));
    QVERIFY(applySelectionToListData(restored, &listData, single));
    QVERIFY(isListData(listData));
    QCOMPARE(checks(listData.value<T_LISTDATA>()), checked);
}

void TestKivraIniForm::restoredSelectionInPlace()
{
    T_LISTDATA callers = items({"a", "b"}, {true, false});
    QVariant listData = QVariant::fromValue(&callers);
    QVERIFY(applySelectionToListData(QVariantList {"b"}, &listData, true));
    QCOMPARE(listData.value<T_LISTDATA_PTR>(), &callers);
    QCOMPARE(checks(callers), QList<bool>({false, true}));

    QVariant notAList = 3;
    QVERIFY(!applySelectionToListData(QVariantList {"b"}, &notAList, true));
    QVariant nullList = QVariant::fromValue(T_LISTDATA_PTR(nullptr));
    QVERIFY(!applySelectionToListData(QVariantList {"b"}, &nullList, true));
}

void TestKivraIniForm::driftedValuesFillWidgets()
{
    FormFixture form;
    auto *relaxed = form.add<QCheckBox>("relaxed", kCheckBox, kCheckBox);
    auto *title = form.add<QCheckBox>("title", kCheckBox, kCheckBox);
    auto *offset = form.add<QSpinBox>("offset", kNumberSpinBox, kNumberSpinBox);
    auto *factor = form.add<QDoubleSpinBox>("factor", kNumberSpinBox, kNumberSpinBox);
    auto *separator = form.add<QComboBox>("separator", kComboBox, kComboBox);
    auto *columns =
        form.add<QListWidget>("columns", kListWidget, kListWidget, kCheckList | kMultiSelect);
    T_LISTDATA separators = items({1, 2, 3}, {false, false, true});
    T_LISTDATA columnItems = items({1, 2, 3});
    fillComboBox(separators, separator, kComboNeverSignal, false, false);
    fillListWidget(columnItems, columns, false, true, true, false);
    title->setChecked(true);
    form.vars.insert({{"relaxed", 0},
                      {"title", 1},
                      {"offset", 1},
                      {"factor", 1.0},
                      {"separator", QVariant::fromValue(separators)},
                      {"columns", QVariant::fromValue(columnItems)}});

    m_file = m_files.path("drift.opt");
    const QVariantMap stored {{"relaxed", true}, {"title", 0},
                              {"offset", 7},     {"factor", 2.5},
                              {"separator", 2},  {"columns", QVariantList {1, 3}}};
    QVERIFY(saveValuesToIni(&stored, m_file, "main", true, nullptr, QString()));
    QVariantMap restored;
    QVERIFY(readIniValues(&restored, m_files.freshCopy(m_file), "main", true, QString()));
    QCOMPARE(restored.value("separator").metaType(), QMetaType::fromType<QString>());

    QVERIFY(setWidgetData(&form.vars, restored, false));
    QVERIFY(relaxed->isChecked());
    QVERIFY(!title->isChecked());
    QCOMPARE(offset->value(), 7);
    QCOMPARE(factor->value(), 2.5);
    QCOMPARE(separator->currentData(), QVariant(2));
    QCOMPARE(selectedValues(&form.vars, "columns"), QVariantList({1, 3}));
    QCOMPARE(columns->item(0)->checkState(), Qt::Checked);
    QCOMPARE(columns->item(1)->checkState(), Qt::Unchecked);
}

QTEST_MAIN(TestKivraIniForm)
#include "tst_kivrainiform.moc"
