#include "CloseWindow.h"
#include "FormFixture.h"
#include "MessageBoxHook.h"
#include "OptionKeys.h"
#include "ValidateForm.h"
#include "WidgetType.h"
#include "helper/Validator.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

using namespace kivra;

namespace {

// A shown form whose message boxes are recorded instead of shown.
struct ShownForm : FormFixture
{
    ShownForm()
    {
        MessageBoxHook::setHandler(
            [this](MessageBoxHook::Kind, QWidget *, const QString &title, const QString &text) {
                messages << title + ' ' + text;
                return true;
            });
    }
    ~ShownForm() { MessageBoxHook::setHandler({}); }

    template<class W>
    W *field(const QString &name, int kind, int subKind, const QVariantMap &options)
    {
        W *widget = add<W>(name, kind, subKind);
        QVariantMap withCaption = options;
        withCaption.insert(OptionKey::plaintitle, "Name");
        widget->setProperty(WidgetProperty::options, withCaption);
        return widget;
    }

    bool validate()
    {
        window.show();
        return validateForm(&window, &vars);
    }

    QStringList messages;
};

} // namespace

class TestKivraValidation : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void rules_data();
    void rules();
    void skippedWidgets();
    void firstFailureInFormOrder();
    void failedValidationKeepsFormOpen();
    void validatorAsksCallbacks();

private:
    QTemporaryDir m_dir;
};

void TestKivraValidation::initTestCase()
{
    QVERIFY(QDir().mkpath(m_dir.filePath("ordner")));
    QFile file(m_dir.filePath("daten.csv"));
    QVERIFY(file.open(QIODevice::WriteOnly));
}

void TestKivraValidation::rules_data()
{
    QTest::addColumn<int>("subKind");
    QTest::addColumn<QVariantMap>("options");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message"); // empty: the field passes

    const QVariantMap required {{OptionKey::required, true}};
    const QVariantMap min3 {{OptionKey::min, 3}};
    const QVariantMap max4 {{OptionKey::max, "4"}};
    const QVariantMap csv {{OptionKey::regexPattern, "*.csv"},
                           {OptionKey::regexPatternWildcard, true}};
    const QVariantMap digits {{OptionKey::regexPattern, "\\d"}};
    const QVariantMap mustExist {{OptionKey::fileMustExist, true}};
    const QString empty = "Feld 'Name': Es muss ein Wert eingetragen oder ausgewählt werden.";
    const QString missing = "Feld 'Name': Die Datei oder Ordner existieren nicht (%1).";
    const QString folder = m_dir.filePath("ordner");
    const QString file = m_dir.filePath("daten.csv");

    QTest::newRow("required, empty") << int(kLineEdit) << required << "" << empty;
    QTest::newRow("required, blanks only") << int(kLineEdit) << required << "  " << empty;
    QTest::newRow("required, filled") << int(kLineEdit) << required << "x"
                                      << "";
    QTest::newRow("required, empty rich text edit") << int(kTextEdit) << required << "" << empty;
    QTest::newRow("required, empty plain text edit")
        << int(kPlainTextEdit) << required << "" << empty;
    QTest::newRow("required combo without item") << int(kComboBox) << required << "" << empty;
    QTest::newRow("required combo with item") << int(kComboBox) << required << "a"
                                              << "";
    QTest::newRow("required check box") << int(kCheckBox) << required << ""
                                        << "";
    QTest::newRow("required spin box") << int(kNumberSpinBox) << required << ""
                                       << "";
    QTest::newRow("min 3, three characters") << int(kLineEdit) << min3 << " abc "
                                             << "";
    QTest::newRow("min 3, two characters")
        << int(kLineEdit) << min3 << "ab"
        << "Feld 'Name': Der Text (ab) muss länger als 3 Zeichen sein.";
    QTest::newRow("max 4, five characters")
        << int(kTextEdit) << max4 << "abcde"
        << "Feld 'Name': Der Text (abcde) muss kürzer als 4 Zeichen sein.";
    QTest::newRow("max on a browse line edit") << int(kOpenLineEdit) << max4 << "abcde"
                                               << "";
    QTest::newRow("placeholders typed by the user")
        << int(kLineEdit) << min3 << "%1"
        << "Feld 'Name': Der Text (%1) muss länger als 3 Zeichen sein.";
    QTest::newRow("wildcard, upper-case suffix") << int(kLineEdit) << csv << "Daten.CSV"
                                                 << "";
    QTest::newRow("wildcard, further suffix")
        << int(kLineEdit) << csv << "daten.csv.bak"
        << "Feld 'Name': Der Wert (daten.csv.bak) entspricht nicht dem Abfragemuster.";
    QTest::newRow("validator pattern, no match")
        << int(kLineEdit) << digits << "abc"
        << "Feld 'Name': Der Wert (abc) entspricht nicht dem Abfragemuster.";
    QTest::newRow("validator pattern, partial match") << int(kLineEdit) << digits << "a1"
                                                      << "";
    QTest::newRow("pattern on a text edit is not checked") << int(kTextEdit) << digits << "abc"
                                                           << "";
    QTest::newRow("missing file") << int(kOpenFileLineEdit) << mustExist << file + ".x"
                                  << missing.arg(file + ".x");
    QTest::newRow("existing file") << int(kOpenFileLineEdit) << mustExist << file << "";
    QTest::newRow("existing folder") << int(kDirLineEdit) << mustExist << folder << "";
    QTest::newRow("no folder chosen") << int(kDirLineEdit) << mustExist << "" << missing.arg("");
    QTest::newRow("save-file chooser") << int(kSaveFileLineEdit) << mustExist << file + ".x"
                                       << "";
}

void TestKivraValidation::rules()
{
    QFETCH(int, subKind);
    QFETCH(QVariantMap, options);
    QFETCH(QString, text);
    QFETCH(QString, message);

    ShownForm form;
    QWidget *widget = nullptr;
    switch (subKind) {
    case kTextEdit: {
        auto *edit = form.field<QTextEdit>("f", kTextEdit, subKind, options);
        edit->setAcceptRichText(true);
        edit->setPlainText(text);
        widget = edit;
        break;
    }
    case kPlainTextEdit:
        widget = form.field<QPlainTextEdit>("f", kPlainTextEdit, subKind, options);
        break;
    case kComboBox: {
        auto *combo = form.field<QComboBox>("f", kComboBox, subKind, options);
        if (!text.isEmpty())
            combo->addItem(text);
        widget = combo;
        break;
    }
    case kCheckBox:
        widget = form.field<QCheckBox>("f", kCheckBox, subKind, options);
        break;
    case kNumberSpinBox:
        widget = form.field<QSpinBox>("f", kNumberSpinBox, subKind, options);
        break;
    default: {
        auto *edit = form.field<QLineEdit>("f", kLineEdit, subKind, options);
        edit->setText(text);
        const QString pattern = options.value(OptionKey::regexPattern).toString();
        if (!options.value(OptionKey::regexPatternWildcard).toBool() && !pattern.isEmpty())
            edit->setValidator(new QRegularExpressionValidator(QRegularExpression(pattern), edit));
        form.vars.insert("f", text);
        widget = edit;
    }
    }

    QCOMPARE(form.validate(), message.isEmpty());
    QCOMPARE(form.messages, message.isEmpty() ? QStringList() : QStringList {"Fehler: " + message});
    QCOMPARE(form.window.focusWidget() == widget, !message.isEmpty());
}

void TestKivraValidation::skippedWidgets()
{
    ShownForm form;
    const QVariantMap required {{OptionKey::required, true}};
    form.field<QLineEdit>("hidden", kLineEdit, kLineEdit, required)->hide();
    form.field<QLineEdit>("disabled", kLineEdit, kLineEdit, required)->setEnabled(false);
    form.field<QLineEdit>("readonly", kLineEdit, kLineEdit, required)->setReadOnly(true);
    delete form.field<QLineEdit>("deleted", kLineEdit, kLineEdit, required);
    QVERIFY(form.validate());
    QVERIFY(validateForm(&form.window, nullptr));
}

void TestKivraValidation::firstFailureInFormOrder()
{
    ShownForm form;
    const QVariantMap required {{OptionKey::required, true}};
    auto *first = form.field<QLineEdit>("zeta", kLineEdit, kLineEdit, required);
    form.field<QLineEdit>("alpha", kLineEdit, kLineEdit, {{OptionKey::min, 2}});
    QVERIFY(!form.validate());
    QCOMPARE(form.messages.size(), 1);
    QVERIFY(form.messages.first().contains("Es muss ein Wert"));
    QCOMPARE(form.window.focusWidget(), first);
}

void TestKivraValidation::failedValidationKeepsFormOpen()
{
    ShownForm form;
    form.field<QLineEdit>("name", kLineEdit, kLineEdit, {{OptionKey::required, true}});
    form.window.show();
    CallRecorder recorder;
    const INFO window(kDialogWindow, {}, QString(), QVariant(), QString(),
                      recorder.callback("window"));
    const CloseSaveInfo closeSave;
    QVERIFY(
        !closeWindow(&form.window, &form.window, kAccept, window, INFO(), &form.vars, &closeSave));
    QVERIFY(recorder.calls.isEmpty());
    QCOMPARE(form.messages.size(), 1);
    QVERIFY(
        closeWindow(&form.window, &form.window, kReject, window, INFO(), &form.vars, &closeSave));
}

void TestKivraValidation::validatorAsksCallbacks()
{
    QWidget window;
    QVariantMap vars;
    QPointer<QLineEdit> edit = new QLineEdit(&window);
    int windowCalls = 0;
    const INFO windowRecord(kDialogWindow, {}, QString(), QVariant(), QString(),
                            ContextCallback([&](const CallbackContext &context) {
                                ++windowCalls;
                                QString text = context.newValue->toString();
                                *context.newValue = text.replace("ae", "ä");
                                return 1;
                            }));
    const INFO field(kLineEdit, kValidateCallback, QString(), QVariant(), "name",
                     ContextCallback([&](const CallbackContext &context) {
                         return context.type == kValidate && context.field.name == "name" &&
                                 context.widget == edit.data() && context.vars == &vars &&
                                 !context.newValue->toString().contains('x')
                             ? 1
                             : 0;
                     }));
    QPointer<QValidator> validator =
        new helper::Validator(&window, edit, windowRecord, field, &vars);
    edit->setValidator(validator);

    // The field's callback refuses the "x"; the window's rewrites the whole text.
    QTest::keyClicks(edit, "Baxer");
    QCOMPARE(edit->text(), QString("Bär"));
    QVERIFY(windowCalls > 0);

    delete edit;
    QVERIFY(validator.isNull());
}

QTEST_MAIN(TestKivraValidation)
#include "tst_kivravalidation.moc"
