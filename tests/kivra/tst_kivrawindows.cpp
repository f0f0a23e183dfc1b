#include "FormFixture.h"

#include <kivra/Callbacks.h>
#include <kivra/DialogHook.h>
#include <kivra/Handlers.h>
#include <kivra/Menus.h>
#include <kivra/Options.h>
#include <kivra/Records.h>
#include <kivra/Validation.h>
#include <kivra/helper/Dialog.h>
#include <kivra/helper/MainWnd.h>
#include <kivra/helper/UserEventFilter.h>
#include <kivra/helper/Validator.h>

#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QFont>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include <stdexcept>

using namespace kivra;

namespace {

enum class Action { None, Ok, Cancel, CloseButton, Escape, EscapeWithoutCancel, Close };

// Counts the Close events of the object it filters.
class CloseCounter : public QObject
{
public:
    using QObject::QObject;

    bool eventFilter(QObject *, QEvent *event) override
    {
        count += event->type() == QEvent::Close;
        return false;
    }

    int count = 0;
};

// A shown framework window with its event filter set up as the form builder does it, closed
// by the action; the window's and the buttons' callbacks record every close moment.
template<class Window>
struct FilteredWindow
{
    CallRecorder recorder;
    QVariantMap vars;
    Window window;
    INFO record;
    CloseSaveInfo closeSave;
    CloseCounter *closeEvents = nullptr;

    FilteredWindow(int answer, FormFlags flags, Action action = Action::None, int buttonAnswer = 1)
        : record(kDialogWindow, {}, QString(), QVariant(), QString(),
                 recorder.callback("window", answer))
    {
        window.init(flags, record, &vars, &window);
        auto *filter = new INFO::UserEventFilter(&window);
        filter->setup(&vars, closeSave, record, &window, action == Action::EscapeWithoutCancel,
                      flags);
        window.installEventFilter(filter);
        // Installed last, so it sees every Close event before the form's filter.
        closeEvents = new CloseCounter(&window);
        window.installEventFilter(closeEvents);
        window.show();
        if (action == Action::Ok || action == Action::Cancel || action == Action::CloseButton) {
            const int code = action == Action::Ok ? kOkButton
                : action == Action::Cancel        ? kCancelButton
                                                  : kCloseButton;
            auto *button = new QPushButton(&window);
            const INFO field(quint32(code), {}, QString(), QVariant(), QString(),
                             recorder.callback("button", buttonAnswer));
            onButtonClicked(makeHandlerContext(field, record, &window, button, &vars));
        } else if (action == Action::Close) {
            window.close();
        } else if (action != Action::None) {
            QTest::keyClick(&window, Qt::Key_Escape);
        }
        // A main window closes once control is back in the event loop.
        QCoreApplication::processEvents();
    }
};

// A shown form whose message boxes are recorded instead of shown.
struct ShownForm : FormFixture
{
    ShownForm()
    {
        DialogHook::setHandler([this](const DialogHook::Request &request) {
            messages << request.title + ' ' + request.text;
            return QVariant(true);
        });
        window.show();
    }
    ~ShownForm() { DialogHook::setHandler({}); }

    template<class W>
    W *field(const QString &name, int subKind, QVariantMap options)
    {
        W *widget = add<W>(name, isSubKindCode(subKind) ? int(kLineEdit) : subKind, subKind);
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

using Kind = DialogHook::Kind;

// Asks the hook for one step of the kind with fixed arguments; the typed answer as a variant,
// invalid where the function answers nothing.
QVariant askHook(Kind kind, QWidget *parent)
{
    switch (kind) {
    case Kind::Information:
        DialogHook::information(parent, "Info:", "Gespeichert.");
        return {};
    case Kind::Question:
        return DialogHook::question(parent, "Frage:", "Wirklich?");
    case Kind::Text: {
        const std::optional<QString> text =
            DialogHook::getText(parent, "Neue Einstellung:", "Name der Einstellung:", "alt");
        return text ? QVariant(*text) : QVariant();
    }
    case Kind::Directory:
        return DialogHook::getExistingDirectory(parent, "Ordner", "/daten");
    case Kind::OpenFile:
        return DialogHook::getOpenFileName(parent, "Datei", "/daten/a.csv", "CSV (*.csv)");
    case Kind::SaveFile:
        return DialogHook::getSaveFileName(parent, "Ausgabe", "/daten/b.csv", "CSV (*.csv)");
    case Kind::Color:
        return DialogHook::getColor(parent, Qt::blue);
    case Kind::Font: {
        const std::optional<QFont> font = DialogHook::getFont(parent, QFont("Serif", 9));
        return font ? QVariant(*font) : QVariant();
    }
    case Kind::Url:
        return DialogHook::openUrl(QUrl("https://example.invalid/hilfe.html"));
    }
    return {};
}

} // namespace

class TestKivraWindows : public QObject
{
    Q_OBJECT

private slots:
    void init() { mainWindowExitCode = -1; }
    void emptyOrThrowingCallableCountsAsNone();
    void askOrder_data();
    void askOrder();
    void callbacksSkipped();
    void closeSequence_data();
    void closeSequence();
    void statusTipsReachRegisteredStatusBars();
    void rules_data();
    void rules();
    void onlyTheFirstShownFieldCounts();
    void validatorAsksCallbacks();
    void dialogHookRequests_data();
    void dialogHookRequests();
    void realDialogsWithoutHandler_data();
    void realDialogsWithoutHandler();

private:
    QTemporaryDir m_dir;
};

void TestKivraWindows::emptyOrThrowingCallableCountsAsNone()
{
    const INFO field;
    const CallbackVariant emptyLegacy = LegacyCallback();
    QVERIFY(!hasCallback(emptyLegacy));
    QVERIFY(!hasCallback(ContextCallback()));
    QCOMPARE(invokeCallback(emptyLegacy, nullptr, nullptr, {}, kAccept, field, nullptr, nullptr,
                            nullptr),
             1);

    const CallbackVariant throwing =
        ContextCallback([](const CallbackContext &) -> int { throw std::runtime_error("boom"); });
    QTest::ignoreMessage(QtWarningMsg, "Callback kAccept of field \"\" threw: boom");
    QCOMPARE(
        invokeCallback(throwing, nullptr, nullptr, {}, kAccept, field, nullptr, nullptr, nullptr),
        1);

    // An empty callable must not stop the window's callback from being asked.
    CallRecorder recorder;
    INFO fieldWithEmpty;
    fieldWithEmpty.callback = emptyLegacy;
    const INFO window(kDialogWindow, {}, QString(), QVariant(), QString(),
                      recorder.callback("window", 0));
    QVERIFY(!askCallbacks(fieldWithEmpty, window, nullptr, nullptr, {}, kBeforeDataChanged, nullptr,
                          nullptr, nullptr));
    QCOMPARE(recorder.calls, QStringList({"window kBeforeDataChanged"}));
}

void TestKivraWindows::askOrder_data()
{
    QTest::addColumn<int>("fieldAnswer"); // -1: no callback
    QTest::addColumn<int>("windowAnswer");
    QTest::addColumn<bool>("allowed");
    QTest::addColumn<QStringList>("asked");

    const QString field = "field kKillActive";
    const QString window = "window kKillActive";
    QTest::newRow("field refuses, window not asked") << 0 << 1 << false << QStringList {field};
    QTest::newRow("field allows, window refuses") << 1 << 0 << false << QStringList {field, window};
    QTest::newRow("both allow") << 2 << 3 << true << QStringList {field, window};
    QTest::newRow("no field callback, window refuses") << -1 << 0 << false << QStringList {window};
    QTest::newRow("neither has a callback") << -1 << -1 << true << QStringList {};
}

void TestKivraWindows::askOrder()
{
    QFETCH(int, fieldAnswer);
    QFETCH(int, windowAnswer);
    QFETCH(bool, allowed);
    QFETCH(QStringList, asked);

    // The field's callback rewrites the value; the window's must see the rewritten one, and
    // tells fields apart by the record it receives: the field's.
    CallRecorder recorder;
    INFO field(kTabWidget, {}, QString(), QVariant(), QStringLiteral("tabs"));
    INFO window(kDialogWindow);
    if (fieldAnswer >= 0)
        field.callback = recorder.callback("field", fieldAnswer, QStringLiteral("rewritten"));
    if (windowAnswer >= 0)
        window.callback = recorder.callback("window", windowAnswer);

    QLineEdit edit;
    QVariant newValue = QStringLiteral("typed");
    const QVariant oldValue = 0;
    QCOMPARE(
        askCallbacks(field, window, nullptr, &edit, {}, kKillActive, nullptr, &newValue, &oldValue),
        allowed);
    QCOMPARE(recorder.calls, asked);
    QCOMPARE(recorder.fields, QStringList(asked.size(), QStringLiteral("tabs")));
    if (asked.size() == 2)
        QCOMPARE(recorder.newValues.last(), QVariant(QStringLiteral("rewritten")));

    recorder.calls.clear();
    fireCallbacks(field, window, nullptr, &edit, {}, kSetActive, nullptr, &newValue, &oldValue);
    QCOMPARE(recorder.calls.size(), int(fieldAnswer >= 0) + int(windowAnswer >= 0));
}

void TestKivraWindows::callbacksSkipped()
{
    CallRecorder recorder;
    const INFO field(kLineEdit, {}, QString(), QVariant(), QString(), recorder.callback("f", 0));
    const INFO window(kDialogWindow, {}, QString(), QVariant(), QString(),
                      recorder.callback("window", 0));
    QLineEdit edit;
    {
        const BlockEventGuard guard(&edit);
        QVERIFY(askCallbacks(field, window, nullptr, &edit, {}, kBeforeDataChanged, nullptr,
                             nullptr, nullptr));
        fireCallbacks(field, window, nullptr, &edit, {}, kAfterDataChanged, nullptr, nullptr,
                      nullptr);
    }
    // A window closed without a value map closes without asking.
    const CloseSaveInfo closeSave;
    QVERIFY(closeWindow(&edit, &edit, kClose, window, field, nullptr, &closeSave));
    QVERIFY(recorder.calls.isEmpty());
    QVERIFY(!askCallbacks(field, window, nullptr, &edit, {}, kBeforeDataChanged, nullptr, nullptr,
                          nullptr));

    auto *doomed = new QLineEdit;
    const BlockEventGuard guard(doomed);
    delete doomed;
}

void TestKivraWindows::closeSequence_data()
{
    QTest::addColumn<bool>("mainWindow");
    QTest::addColumn<Action>("action");
    QTest::addColumn<int>("formFlags");
    QTest::addColumn<int>("buttonAnswer");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<bool>("staysOpen");
    QTest::addColumn<int>("result"); // of a dialog
    QTest::addColumn<int>("exitCode");

    const QStringList accepted = {"window kAccept", "window kCleanup"};
    const QStringList rejected = {"window kReject", "window kCleanup"};
    const QStringList closed = {"window kClose", "window kCleanup"};
    const int accept = QDialog::Accepted;
    const int reject = QDialog::Rejected;
    const int closeAccepts = kCloseAccepts;
    // The buttons run the sequence themselves; QDialog::done() must not run it again.
    QTest::newRow("OK") << false << Action::Ok << 0 << 1 << 1
                        << QStringList {"button kAccept"} + accepted << false << accept << -1;
    QTest::newRow("OK refused by the button")
        << false << Action::Ok << 0 << 0 << 1 << QStringList {"button kAccept"} << true << reject
        << -1;
    QTest::newRow("Cancel") << false << Action::Cancel << 0 << 1 << 1
                            << QStringList {"button kReject"} + rejected << false << reject << -1;
    QTest::newRow("Cancel refused by the window")
        << false << Action::Cancel << 0 << 1 << 0
        << QStringList {"button kReject", "window kReject"} << true << reject << -1;
    QTest::newRow("Escape") << false << Action::Escape << 0 << 1 << 1 << rejected << false << reject
                            << -1;
    QTest::newRow("Escape without Cancel button") << false << Action::EscapeWithoutCancel << 0 << 1
                                                  << 1 << QStringList() << true << reject << -1;
    QTest::newRow("Escape refused") << false << Action::Escape << 0 << 1 << 0
                                    << QStringList {"window kReject"} << true << reject << -1;
    QTest::newRow("close under kCloseAccepts")
        << false << Action::Close << closeAccepts << 1 << 1 << accepted << false << accept << 1;
    QTest::newRow("close") << false << Action::Close << 0 << 1 << 1 << closed << false << reject
                           << 0;
    QTest::newRow("close refused") << false << Action::Close << 0 << 1 << 0
                                   << QStringList {"window kClose"} << true << reject << -1;
    QTest::newRow("main window close")
        << true << Action::Close << 0 << 1 << 1 << closed << false << -1 << 0;
    QTest::newRow("main window close under kCloseAccepts")
        << true << Action::Close << closeAccepts << 1 << 1 << accepted << false << -1 << 1;
    // Escape decides the close; the queued close() then passes without a second round.
    QTest::newRow("main window Escape")
        << true << Action::Escape << closeAccepts << 1 << 1 << rejected << false << -1 << 0;
    QTest::newRow("main window, Beenden")
        << true << Action::CloseButton << 0 << 1 << 1 << QStringList {"button kAccept"} + accepted
        << false << -1 << 1;
    QTest::newRow("main window, Abbrechen")
        << true << Action::Cancel << 0 << 1 << 1 << QStringList {"button kReject"} + rejected
        << false << -1 << 0;
}

void TestKivraWindows::closeSequence()
{
    QFETCH(bool, mainWindow);
    QFETCH(Action, action);
    QFETCH(int, formFlags);
    QFETCH(int, buttonAnswer);
    QFETCH(int, answer);
    QFETCH(QStringList, calls);
    QFETCH(bool, staysOpen);
    QFETCH(int, result);
    QFETCH(int, exitCode);

    if (mainWindow) {
        FilteredWindow<helper::MainWnd> form(answer, FormFlags(formFlags), action, buttonAnswer);
        QCOMPARE(form.recorder.calls, calls);
        QCOMPARE(form.window.isVisible(), staysOpen);
        // The close sequence runs once, also when the window's Close event follows.
        QCOMPARE(form.closeEvents->count, 1);
        if (calls.value(0).startsWith("button"))
            QCOMPARE(form.window.property("mainwindow_exitcode"), QVariant(exitCode));
    } else {
        FilteredWindow<helper::Dialog> form(answer, FormFlags(formFlags), action, buttonAnswer);
        QCOMPARE(form.recorder.calls, calls);
        QCOMPARE(form.window.isVisible(), staysOpen);
        QCOMPARE(form.window.result(), result);
    }
    QCOMPARE(mainWindowExitCode, exitCode);
}

void TestKivraWindows::statusTipsReachRegisteredStatusBars()
{
    FilteredWindow<helper::Dialog> form(1, 0);
    auto *withLabel = new QStatusBar(&form.window);
    auto *label = new QLabel(withLabel);
    withLabel->addWidget(label, 100);
    auto *plain = new QStatusBar(&form.window);
    auto *gone = new QStatusBar;
    for (QStatusBar *bar : {withLabel, plain, gone, plain})
        registerStatusBar(bar, &form.vars);
    QCOMPARE(statusBars(&form.vars).size(), 3);
    delete gone;

    QStatusTipEvent tip(QStringLiteral("Datei wählen"));
    QCoreApplication::sendEvent(&form.window, &tip);
    QCOMPARE(label->text(), QStringLiteral("Datei wählen"));
    QCOMPARE(plain->currentMessage(), QStringLiteral("Datei wählen"));
}

void TestKivraWindows::rules_data()
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
    const QString passes;

    QTest::newRow("required, blanks only") << int(kLineEdit) << required << "  " << empty;
    QTest::newRow("required, filled") << int(kLineEdit) << required << "x" << passes;
    QTest::newRow("required, empty rich text") << int(kTextEdit) << required << "" << empty;
    QTest::newRow("required combo, no item") << int(kComboBox) << required << "" << empty;
    QTest::newRow("required combo, an item") << int(kComboBox) << required << "a" << passes;
    QTest::newRow("required check box") << int(kCheckBox) << required << "" << passes;
    QTest::newRow("min 3, three characters") << int(kLineEdit) << min3 << " abc " << passes;
    QTest::newRow("min 3, typed placeholder")
        << int(kLineEdit) << min3 << "%1"
        << "Feld 'Name': Der Text (%1) muss länger als 3 Zeichen sein.";
    QTest::newRow("max 4, rich text")
        << int(kTextEdit) << QVariantMap {{OptionKey::max, "4"}} << "abcde"
        << "Feld 'Name': Der Text (abcde) muss kürzer als 4 Zeichen sein.";
    QTest::newRow("min on a browse line edit") << int(kOpenLineEdit) << min3 << "a" << passes;
    QTest::newRow("wildcard, upper case") << int(kLineEdit) << csv << "Daten.CSV" << passes;
    QTest::newRow("wildcard, further suffix")
        << int(kLineEdit) << csv << "a.csv.bak" << noMatch.arg("a.csv.bak");
    QTest::newRow("validator, no match") << int(kLineEdit) << digit << "abc" << noMatch.arg("abc");
    QTest::newRow("validator, partial match") << int(kLineEdit) << digit << "a1" << passes;
    QTest::newRow("pattern on a text edit") << int(kTextEdit) << digit << "abc" << passes;
    QTest::newRow("missing file") << int(kOpenFileLineEdit) << mustExist << file + ".x"
                                  << missing.arg(file + ".x");
    QTest::newRow("existing file") << int(kOpenFileLineEdit) << mustExist << file << passes;
    QTest::newRow("existing folder") << int(kDirLineEdit) << mustExist << m_dir.path() << passes;
    QTest::newRow("no folder chosen") << int(kDirLineEdit) << mustExist << "" << missing.arg("");
    QTest::newRow("save-file chooser") << int(kSaveFileLineEdit) << mustExist << "" << passes;
}

void TestKivraWindows::rules()
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

void TestKivraWindows::onlyTheFirstShownFieldCounts()
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

void TestKivraWindows::validatorAsksCallbacks()
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

void TestKivraWindows::dialogHookRequests_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QVariant>("answer"); // invalid: the user cancelled
    QTest::addColumn<QVariant>("result");
    QTest::addColumn<QStringList>("request"); // title, text, start, filter

    const QStringList text {"Neue Einstellung:", "Name der Einstellung:", "alt", ""};
    const QStringList open {"Datei", "", "/daten/a.csv", "CSV (*.csv)"};
    const QStringList save {"Ausgabe", "", "/daten/b.csv", "CSV (*.csv)"};
    const QStringList color {"", "", "#0000ff", ""};
    const QStringList url {"", "https://example.invalid/hilfe.html",
                           "https://example.invalid/hilfe.html", ""};
    const QFont font("Sans", 12);
    QTest::newRow("information") << Kind::Information << QVariant() << QVariant()
                                 << QStringList {"Info:", "Gespeichert.", "", ""};
    QTest::newRow("question, Yes") << Kind::Question << QVariant(true) << QVariant(true)
                                   << QStringList {"Frage:", "Wirklich?", "", ""};
    QTest::newRow("question, cancelled") << Kind::Question << QVariant() << QVariant(false)
                                         << QStringList {"Frage:", "Wirklich?", "", ""};
    QTest::newRow("text") << Kind::Text << QVariant("Neu") << QVariant("Neu") << text;
    QTest::newRow("empty text is an answer") << Kind::Text << QVariant("") << QVariant("") << text;
    QTest::newRow("text cancelled") << Kind::Text << QVariant() << QVariant() << text;
    QTest::newRow("directory") << Kind::Directory << QVariant("/x") << QVariant("/x")
                               << QStringList {"Ordner", "", "/daten", ""};
    QTest::newRow("open file") << Kind::OpenFile << QVariant("/x.csv") << QVariant("/x.csv")
                               << open;
    QTest::newRow("save cancelled") << Kind::SaveFile << QVariant() << QVariant("") << save;
    QTest::newRow("colour") << Kind::Color << QVariant(QColor(Qt::red)) << QVariant(QColor(Qt::red))
                            << color;
    QTest::newRow("colour cancelled") << Kind::Color << QVariant() << QVariant(QColor()) << color;
    QTest::newRow("font") << Kind::Font << QVariant(font) << QVariant(font)
                          << QStringList {"", "", QFont("Serif", 9).toString(), ""};
    QTest::newRow("font cancelled") << Kind::Font << QVariant() << QVariant()
                                    << QStringList {"", "", QFont("Serif", 9).toString(), ""};
    QTest::newRow("URL") << Kind::Url << QVariant(true) << QVariant(true) << url;
    QTest::newRow("URL not opened") << Kind::Url << QVariant() << QVariant(false) << url;
}

void TestKivraWindows::dialogHookRequests()
{
    QFETCH(Kind, kind);
    QFETCH(QVariant, answer);
    QFETCH(QVariant, result);
    QFETCH(QStringList, request);

    QWidget window;
    QList<DialogHook::Request> asked;
    DialogHook::setHandler([&](const DialogHook::Request &r) {
        asked << r;
        return answer;
    });
    const QVariant answered = askHook(kind, &window);
    DialogHook::setHandler({});

    QCOMPARE(answered, result);
    QCOMPARE(asked.size(), 1);
    const DialogHook::Request &r = asked.first();
    QCOMPARE(r.kind, kind);
    QCOMPARE(r.parent, kind == Kind::Url ? nullptr : &window);
    const QString start = r.start.metaType() == QMetaType::fromType<QColor>()
        ? r.start.value<QColor>().name()
        : r.start.toString();
    QCOMPARE(QStringList({r.title, r.text, start, r.filter}), request);
}

void TestKivraWindows::realDialogsWithoutHandler_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<bool>("accept");
    QTest::addColumn<QVariant>("result");

    QTest::newRow("question, Yes") << Kind::Question << true << QVariant(true);
    QTest::newRow("question, No") << Kind::Question << false << QVariant(false);
    QTest::newRow("text, OK") << Kind::Text << true << QVariant("Neu");
    QTest::newRow("text, Cancel") << Kind::Text << false << QVariant();
    QTest::newRow("directory, Cancel") << Kind::Directory << false << QVariant("");
    QTest::newRow("colour, Cancel") << Kind::Color << false << QVariant(QColor());
}

// Without a handler the real dialogs run; a timer answers them as a user would.
void TestKivraWindows::realDialogsWithoutHandler()
{
    QFETCH(Kind, kind);
    QFETCH(bool, accept);
    QFETCH(QVariant, result);

    QWidget window;
    bool answered = false;
    // Polls until the dialog is up: its modal loop runs the timer.
    QTimer user;
    connect(&user, &QTimer::timeout, this, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            box->button(accept ? QMessageBox::Yes : QMessageBox::No)->click();
        } else if (auto *input = qobject_cast<QInputDialog *>(modal)) {
            input->setTextValue("Neu");
            accept ? input->accept() : input->reject();
        } else if (auto *dialog = qobject_cast<QDialog *>(modal)) {
            dialog->reject();
        } else {
            return;
        }
        answered = true;
        user.stop();
    });
    user.start(10);
    QCOMPARE(askHook(kind, &window), result);
    QVERIFY(answered);
}

QTEST_MAIN(TestKivraWindows)
#include "tst_kivrawindows.moc"
