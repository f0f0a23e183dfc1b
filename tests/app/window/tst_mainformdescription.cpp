#include <window/MainFormDescription.h>

#include <kivra/FieldFlags.h>
#include <kivra/Records.h>

#include <QComboBox>
#include <QPushButton>
#include <QTest>

namespace {

// What a record's value must be.
enum class Value { None, EmptyText, Bound, Items, Caller, Text };

struct Expected
{
    int type;
    const char *name;
    QList<int> bits;
    Value value;
};

// The application's main window, record by record: a changed type, name, flag or binding is a
// changed window, and the options file and configuration files depend on the names.
const QList<Expected> &expectedRecords()
{
    static const QList<Expected> records {
        {10002, "", {1}, Value::None},
        {10001, "", {60}, Value::None},
        {50009, "input_filename", {}, Value::Bound},
        {20002, "tmp_update_input_filename", {}, Value::EmptyText},
        {20002, "tmp_laden", {}, Value::EmptyText},
        {50006, "input_row_offset", {25}, Value::Bound},
        {20004, "csv_input_relaxed", {}, Value::Bound},
        {20004, "input_has_title", {}, Value::Bound},
        {20004, "input_editable", {}, Value::Bound},
        {40003, "", {}, Value::None},
        {19999, "", {}, Value::None},
        {11001, "", {}, Value::None},
        {10001, "", {60}, Value::None},
        {20006, "text_encoding", {}, Value::Items},
        {20006, "sep_data_field", {}, Value::Items},
        {20006, "sep_data_string", {}, Value::Items},
        {20006, "sep_data_string_esc", {}, Value::Items},
        {40003, "", {}, Value::None},
        {19999, "", {}, Value::None},
        {11001, "", {}, Value::None},
        {40004, "", {60}, Value::None},
        {11001, "", {}, Value::None},
        {20005, "empty_data_fields", {6, 7, 94}, Value::Bound},
        {10000, "", {60, 84}, Value::None},
        {10001, "", {}, Value::None},
        {20003, "", {}, Value::None},
        {20002, "tmp_empty_select_all", {}, Value::EmptyText},
        {20002, "tmp_empty_select_none", {}, Value::EmptyText},
        {40003, "", {}, Value::None},
        {19999, "", {}, Value::None},
        {40004, "", {}, Value::None},
        {19999, "", {}, Value::None},
        {11001, "", {}, Value::None},
        {20008, "", {}, Value::Caller},
        {10001, "", {60}, Value::None},
        {20008, "", {}, Value::Caller},
        {20008, "", {}, Value::Caller},
        {20002, "config_replacements", {}, Value::EmptyText},
        {19999, "", {}, Value::None},
        {11001, "", {}, Value::None},
        {40004, "", {60}, Value::None},
        {11001, "", {}, Value::None},
        {50013, "export_filename", {}, Value::Bound},
        {20004, "create_export_map_file", {}, Value::Bound},
        {20004, "script_use", {}, Value::Bound},
        {50009, "script_filename", {}, Value::Bound},
        {19999, "", {}, Value::None},
        {10001, "", {}, Value::None},
        {20002, "tmp_testen", {}, Value::EmptyText},
        {20002, "tmp_sichern", {}, Value::EmptyText},
        {50000, "", {}, Value::None},
        {20002, "", {}, Value::EmptyText},
        {50002, "", {}, Value::Text},
        {20002, "", {}, Value::EmptyText},
        {19999, "", {}, Value::None},
    };
    return records;
}

} // namespace

class TestMainFormDescription : public QObject
{
    Q_OBJECT

private slots:
    void records();
};

void TestMainFormDescription::records()
{
    // Every binding its own object, so that a field bound to the wrong one is seen.
    QVariant values[11];
    kivra::T_LISTDATA items;
    QComboBox columnCombo;
    QComboBox typeCombo;
    QPushButton assignButton;
    MainFormBindings bindings;
    bindings.inputFilename = &values[0];
    bindings.inputRowOffset = &values[1];
    bindings.csvInputRelaxed = &values[2];
    bindings.inputHasTitle = &values[3];
    bindings.inputEditable = &values[4];
    bindings.emptyFieldItems = &items;
    bindings.columnCombo = &columnCombo;
    bindings.typeCombo = &typeCombo;
    bindings.assignButton = &assignButton;
    bindings.exportFilename = &values[5];
    bindings.createExportMapFile = &values[6];
    bindings.scriptUse = &values[7];
    bindings.scriptFilename = &values[8];
    const QMap<QString, const void *> boundTo {
        {"input_filename", &values[0]},    {"input_row_offset", &values[1]},
        {"csv_input_relaxed", &values[2]}, {"input_has_title", &values[3]},
        {"input_editable", &values[4]},    {"empty_data_fields", &items},
        {"export_filename", &values[5]},   {"create_export_map_file", &values[6]},
        {"script_use", &values[7]},        {"script_filename", &values[8]},
    };
    const QList<const QObject *> callerWidgets {&columnCombo, &typeCombo, &assignButton};

    const QList<kivra::INFO> fields = mainFormFields(bindings);
    const QList<Expected> &expected = expectedRecords();
    QCOMPARE(fields.size(), 55);
    int caller = 0;
    for (int i = 0; i < fields.size(); ++i) {
        const kivra::INFO &field = fields.at(i);
        const Expected &want = expected.at(i);
        const QByteArray where = "record " + QByteArray::number(i + 1);
        QVERIFY2(int(field.type) == want.type, where);
        QVERIFY2(field.name == QLatin1String(want.name), where);
        kivra::FieldFlags flags;
        for (const int bit : want.bits)
            flags.setBit(bit);
        QVERIFY2(field.flags == flags, where);
        switch (want.value) {
        case Value::None:
            QVERIFY2(!field.value.isValid(), where);
            break;
        case Value::EmptyText:
            QVERIFY2(field.value.typeId() == QMetaType::QString, where);
            QVERIFY2(field.value.toString().isEmpty(), where);
            break;
        case Value::Bound: {
            const void *target = field.value.canConvert<kivra::T_LISTDATA_PTR>()
                ? static_cast<const void *>(field.value.value<kivra::T_LISTDATA_PTR>())
                : static_cast<const void *>(field.value.value<kivra::T_VARIANT_PTR>());
            QVERIFY2(target && target == boundTo.value(field.name), where);
            break;
        }
        case Value::Items:
            QVERIFY2(!field.value.value<kivra::T_LISTDATA>().empty(), where);
            break;
        case Value::Caller: {
            const QObject *widget = field.value.canConvert<QComboBox *>()
                ? static_cast<QObject *>(field.value.value<QComboBox *>())
                : static_cast<QObject *>(field.value.value<QPushButton *>());
            QVERIFY2(widget == callerWidgets.at(caller++), where);
            break;
        }
        case Value::Text:
            QVERIFY2(!field.value.toString().isEmpty(), where);
            break;
        }
    }
    QCOMPARE(caller, callerWidgets.size());
}

QTEST_MAIN(TestMainFormDescription)
#include "tst_mainformdescription.moc"
