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
#include <QRegularExpressionValidator>
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
        window.show();
    }
    ~ShownForm() { MessageBoxHook::setHandler({}); }

    template<class W>
    W *field(const QString &name, int subKind, QVariantMap options)
    {
        W *widget = add<W>(name, subKind < 50000 ? subKind : int(kLineEdit), subKind);
        options.insert(OptionKey::plaintitle, "Name");
        widget->setProperty(WidgetProperty::options, options);
        // Every named field of a built form has its entry in the value map.
        if (!vars.contains(name))
            vars.insert(name, QVariant());
        widget->show();
        return widget;
    }

    QStringList messages;
};

} // namespace

class TestKivraValidation : public QObject
{
    Q_OBJECT

private slots:
    void rules_data();
    void rules();
    void onlyTheFirstShownFieldCounts();
    void validatorAsksCallbacks();

private:
    QTemporaryDir m_dir;
};

void TestKivraValidation::rules_data()
{
    QTest::addColumn<int>("subKind");
    QTest::addColumn<QVariantMap>("options");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message"); // empty: the field passes

    const QVariantMap required {{OptionKey::required, true}};
    const QVariantMap min3 {{OptionKey::min, 3}};
    const QVariantMap csv {{OptionKey::regexPattern, "*.csv"},
                           {OptionKey::regexPatternWildcard, true}};
    const QVariantMap digit {{OptionKey::regexPattern, "\\d"}};
    const QVariantMap mustExist {{OptionKey::fileMustExist, true}};
    const QString empty = "Feld 'Name': Es muss ein Wert eingetragen oder ausgewählt werden.";
    const QString noMatch = "Feld 'Name': Der Wert (%1) entspricht nicht dem Abfragemuster.";
    const QString missing = "Feld 'Name': Die Datei oder Ordner existieren nicht (%1).";
    const QString file = m_dir.filePath("daten.csv");

    QTest::newRow("required, blanks only") << int(kLineEdit) << required << "  " << empty;
    QTest::newRow("required, filled") << int(kLineEdit) << required << "x"
                                      << "";
    QTest::newRow("required, empty rich text") << int(kTextEdit) << required << "" << empty;
    QTest::newRow("required combo, no item") << int(kComboBox) << required << "" << empty;
    QTest::newRow("required combo, an item") << int(kComboBox) << required << "a"
                                             << "";
    QTest::newRow("required check box") << int(kCheckBox) << required << ""
                                        << "";
    QTest::newRow("min 3, three characters") << int(kLineEdit) << min3 << " abc "
                                             << "";
    QTest::newRow("min 3, typed placeholder")
        << int(kLineEdit) << min3 << "%1"
        << "Feld 'Name': Der Text (%1) muss länger als 3 Zeichen sein.";
    QTest::newRow("max 4, rich text")
        << int(kTextEdit) << QVariantMap {{OptionKey::max, "4"}} << "abcde"
        << "Feld 'Name': Der Text (abcde) muss kürzer als 4 Zeichen sein.";
    QTest::newRow("min on a browse line edit") << int(kOpenLineEdit) << min3 << "a"
                                               << "";
    QTest::newRow("wildcard, upper case") << int(kLineEdit) << csv << "Daten.CSV"
                                          << "";
    QTest::newRow("wildcard, further suffix")
        << int(kLineEdit) << csv << "a.csv.bak" << noMatch.arg("a.csv.bak");
    QTest::newRow("validator, no match") << int(kLineEdit) << digit << "abc" << noMatch.arg("abc");
    QTest::newRow("validator, partial match") << int(kLineEdit) << digit << "a1"
                                              << "";
    QTest::newRow("pattern on a text edit") << int(kTextEdit) << digit << "abc"
                                            << "";
    QTest::newRow("missing file") << int(kOpenFileLineEdit) << mustExist << file + ".x"
                                  << missing.arg(file + ".x");
    QTest::newRow("existing file") << int(kOpenFileLineEdit) << mustExist << file << "";
    QTest::newRow("existing folder") << int(kDirLineEdit) << mustExist << m_dir.path() << "";
    QTest::newRow("no folder chosen") << int(kDirLineEdit) << mustExist << "" << missing.arg("");
    QTest::newRow("save-file chooser") << int(kSaveFileLineEdit) << mustExist << ""
                                       << "";
}

void TestKivraValidation::rules()
{
    QFETCH(int, subKind);
    QFETCH(QVariantMap, options);
    QFETCH(QString, text);
    QFETCH(QString, message);

    QFile file(m_dir.filePath("daten.csv"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    ShownForm form;
    QWidget *widget = nullptr;
    if (subKind == kTextEdit) {
        auto *edit = form.field<QTextEdit>("f", subKind, options);
        edit->setAcceptRichText(true);
        edit->setPlainText(text);
        widget = edit;
    } else if (subKind == kComboBox) {
        auto *combo = form.field<QComboBox>("f", subKind, options);
        if (!text.isEmpty())
            combo->addItem(text);
        widget = combo;
    } else if (subKind == kCheckBox) {
        widget = form.field<QCheckBox>("f", subKind, options);
    } else {
        auto *edit = form.field<QLineEdit>("f", subKind, options);
        edit->setText(text);
        if (options.contains(OptionKey::regexPattern) &&
            !options.contains(OptionKey::regexPatternWildcard))
            edit->setValidator(new QRegularExpressionValidator(
                QRegularExpression(options.value(OptionKey::regexPattern).toString()), edit));
        form.vars.insert("f", text);
        widget = edit;
    }

    QCOMPARE(validateForm(&form.window, &form.vars), message.isEmpty());
    QCOMPARE(form.messages, message.isEmpty() ? QStringList() : QStringList {"Fehler: " + message});
    QCOMPARE(form.window.focusWidget() == widget, !message.isEmpty());
}

void TestKivraValidation::onlyTheFirstShownFieldCounts()
{
    ShownForm form;
    const QVariantMap required {{OptionKey::required, true}};
    form.field<QLineEdit>("hidden", kLineEdit, required)->hide();
    form.field<QLineEdit>("disabled", kLineEdit, required)->setEnabled(false);
    form.field<QLineEdit>("readonly", kLineEdit, required)->setReadOnly(true);
    delete form.field<QLineEdit>("deleted", kLineEdit, required);
    QVERIFY(validateForm(&form.window, &form.vars));

    // Both fail; the one registered first is reported, although its name sorts last.
    auto *first = form.field<QLineEdit>("zeta", kLineEdit, required);
    form.field<QLineEdit>("alpha", kLineEdit, {{OptionKey::min, 2}});
    CallRecorder recorder;
    const INFO window(kDialogWindow, {}, QString(), QVariant(), QString(),
                      recorder.callback("window"));
    const CloseSaveInfo closeSave;
    QVERIFY(
        !closeWindow(&form.window, &form.window, kAccept, window, INFO(), &form.vars, &closeSave));
    QVERIFY(recorder.calls.isEmpty());
    QCOMPARE(form.messages.size(), 1);
    QVERIFY(form.messages.first().contains("Es muss ein Wert"));
    QCOMPARE(form.window.focusWidget(), first);
}

void TestKivraValidation::validatorAsksCallbacks()
{
    QWidget window;
    QVariantMap vars;
    QPointer<QLineEdit> edit = new QLineEdit(&window);
    const INFO windowRecord(kDialogWindow, {}, QString(), QVariant(), QString(),
                            ContextCallback([](const CallbackContext &context) {
                                *context.newValue = context.newValue->toString().replace("ae", "ä");
                                return 1;
                            }));
    const INFO field(kLineEdit, kValidateCallback, QString(), QVariant(), "name",
                     ContextCallback([&](const CallbackContext &context) {
                         const bool expected = context.type == kValidate &&
                             context.field.name == "name" && context.widget == edit.data() &&
                             context.vars == &vars;
                         return expected && !context.newValue->toString().contains('x') ? 1 : 0;
                     }));
    QPointer<QValidator> validator =
        new helper::Validator(&window, edit, windowRecord, field, &vars);
    edit->setValidator(validator);

    // The field's callback refuses the "x"; the window's rewrites the whole text.
    QTest::keyClicks(edit, "Baxer");
    QCOMPARE(edit->text(), QString("Bär"));

    delete edit;
    QVERIFY(validator.isNull());
}

QTEST_MAIN(TestKivraValidation)
#include "tst_kivravalidation.moc"
