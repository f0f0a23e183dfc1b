#include "FormFixture.h"

#include <kivra/Callbacks.h>
#include <kivra/DialogHook.h>
#include <kivra/Handlers.h>
#include <kivra/IniStore.h>
#include <kivra/ListData.h>
#include <kivra/Menus.h>
#include <kivra/NamedSettings.h>
#include <kivra/Options.h>

#include <QActionGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QLockFile>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>

using namespace kivra;

namespace {

using Kind = DialogHook::Kind;

// A form whose handlers are called as the builder's connections call them. Every modal step is
// recorded and answered at once with the next prepared answer (none: cancelled).
struct HandlerForm : FormFixture
{
    HandlerForm()
    {
        DialogHook::setHandler([this](const DialogHook::Request &request) {
            asked << request;
            return answers.isEmpty() ? QVariant() : answers.takeFirst();
        });
    }
    ~HandlerForm() { DialogHook::setHandler({}); }

    // The field's callback answers every moment with answer, after putting replacement (when
    // valid) in place of the new value.
    HandlerContext context(QWidget *widget, const QString &name, int type,
                           const FieldFlags &flags = {}, int answer = 1,
                           const QVariant &replacement = {})
    {
        const INFO field(quint32(type), flags, QString(), QVariant(), name,
                         recorder.callback("field", answer, replacement));
        return makeHandlerContext(field, windowRecord, &window, widget, &vars);
    }

    CallRecorder recorder;
    INFO windowRecord {kDialogWindow, {},        QString(),
                       QVariant(),    QString(), recorder.callback("window")};
    QList<DialogHook::Request> asked;
    QVariantList answers;
};

QStringList calls(std::initializer_list<const char *> types)
{
    QStringList result;
    for (const char *type : types)
        result << QStringLiteral("field %1").arg(type) << QStringLiteral("window %1").arg(type);
    return result;
}

const QStringList kVetoed {"field kBeforeDataChanged"};

QVariantList shownItems(const QListWidget *list, bool checkList)
{
    QVariantList shown;
    for (int i = 0; i < list->count(); ++i)
        if (checkList ? list->item(i)->checkState() == Qt::Checked : list->item(i)->isSelected())
            shown << list->item(i)->data(Qt::UserRole);
    return shown;
}

QList<bool> storedFlags(const QVariantMap &vars, const QString &name)
{
    return selectedFlags(vars.value(name).value<T_LISTDATA>());
}

} // namespace

class TestKivraHandlers : public QObject
{
    Q_OBJECT

private slots:
    void groupBox_data();
    void groupBox();
    void tabs();
    void comboBox_data();
    void comboBox();
    void lists_data();
    void lists();
    void actions_data();
    void actions();
    void buttonMenu_data();
    void buttonMenu();
    void choosers_data();
    void choosers();
    void pathButtons_data();
    void pathButtons();
    void newSetting_data();
    void newSetting();
    void switchSetting_data();
    void switchSetting();
    void deleteSetting_data();
    void deleteSetting();

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
};

void TestKivraHandlers::groupBox_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QStringList>("seen");

    QTest::newRow("accepted") << 1 << false << QVariant(0)
                              << QStringList {calls({"kBeforeDataChanged", "kAfterDataChanged"})};
    QTest::newRow("refused") << 0 << true << QVariant(1) << kVetoed;
}

void TestKivraHandlers::groupBox()
{
    QFETCH(int, answer);
    QFETCH(bool, shown);
    QFETCH(QVariant, stored);
    QFETCH(QStringList, seen);

    HandlerForm form;
    auto *box = new QGroupBox(&form.window);
    box->setCheckable(true);
    auto *inner = new QVBoxLayout(box);
    auto *content = new QLineEdit(box);
    inner->addWidget(content);
    form.window.show();
    form.vars.insert("box", 1);
    HandlerContext context =
        form.context(box, "box", kVBoxLayout, kAskBefore | kHideUnchecked, answer);
    context.innerLayout = inner;
    connect(box, &QGroupBox::clicked, box, [context](bool on) { onGroupBoxClicked(context, on); });

    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(10, 8));
    QCOMPARE(box->isChecked(), shown);
    QVERIFY(!box->signalsBlocked());
    QCOMPARE(form.vars.value("box").metaType(), QMetaType::fromType<int>());
    QCOMPARE(form.vars.value("box"), stored);
    QCOMPARE(content->isVisible(), shown);
    QCOMPARE(form.recorder.calls, seen);
}

// The first change of a named tab widget reports -1 as former index; later changes the stored
// one, which a refusal shows again.
void TestKivraHandlers::tabs()
{
    HandlerForm form;
    auto *tabs = new QTabWidget(&form.window);
    for (const char *title : {"Eins", "Zwei", "Drei"})
        tabs->addTab(new QWidget, title);
    form.vars.insert("tabs", QVariant());
    const HandlerContext context = form.context(tabs, "tabs", kTabWidget, kAskBefore);
    connect(tabs, &QTabWidget::currentChanged, tabs,
            [context](int index) { onTabChanged(context, index); });

    tabs->setCurrentIndex(1);
    QCOMPARE(form.vars.value("tabs"), QVariant(1));
    QCOMPARE(form.recorder.calls, calls({"kKillActive", "kSetActive"}));
    QCOMPARE(form.recorder.oldValues.first(), QVariant(-1));

    form.recorder = {};
    form.recorder.calls.clear();
    const HandlerContext refusing = form.context(tabs, "tabs", kTabWidget, kAskBefore, 0);
    QObject::disconnect(tabs, &QTabWidget::currentChanged, tabs, nullptr);
    connect(tabs, &QTabWidget::currentChanged, tabs,
            [refusing](int index) { onTabChanged(refusing, index); });
    tabs->setCurrentIndex(2);
    QCOMPARE(tabs->currentIndex(), 1);
    QCOMPARE(form.vars.value("tabs"), QVariant(1));
    QCOMPARE(form.recorder.calls, QStringList {"field kKillActive"});
    QCOMPARE(form.recorder.oldValues, QVariantList {1});
}

void TestKivraHandlers::comboBox_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<QVariant>("replacement");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QStringList>("seen");

    const QStringList asked = calls({"kBeforeDataChanged", "kAfterDataChanged"});
    QTest::newRow("accepted") << 1 << QVariant() << "C" << asked;
    QTest::newRow("replaced by the callback") << 1 << QVariant("A") << "A" << asked;
    QTest::newRow("refused") << 0 << QVariant() << "B" << kVetoed;
}

void TestKivraHandlers::comboBox()
{
    QFETCH(int, answer);
    QFETCH(QVariant, replacement);
    QFETCH(QString, shown);
    QFETCH(QStringList, seen);

    HandlerForm form;
    auto *combo = form.add<QComboBox>("sep", kComboBox, kComboBox);
    T_LISTDATA items = listData({"A", "B", "C"}, {false, true, false});
    fillComboBox(items, combo, kComboNeverSignal, false, false);
    form.vars.insert("sep", QVariant::fromValue(items));
    const HandlerContext context =
        form.context(combo, "sep", kComboBox, kAskBefore, answer, replacement);
    connect(combo, &QComboBox::currentIndexChanged, combo,
            [context] { onComboIndexChanged(context); });

    combo->setCurrentIndex(2);
    QCOMPARE(combo->currentData().toString(), shown);
    QVERIFY(!combo->signalsBlocked());
    QCOMPARE(firstSelectedValue(&form.vars, "sep").toString(), shown);
    QCOMPARE(form.recorder.calls, seen);
    QCOMPARE(form.recorder.oldValues.last(), QVariant("B"));
}

void TestKivraHandlers::lists_data()
{
    QTest::addColumn<bool>("checkList");
    QTest::addColumn<FieldFlags>("flags");
    QTest::addColumn<int>("item");
    QTest::addColumn<bool>("on");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QVariantList>("shown");
    QTest::addColumn<QStringList>("seen");

    // Every list starts with A chosen of A, B, C.
    const QStringList after = calls({"kAfterDataChanged"});
    const QStringList asked = calls({"kBeforeDataChanged", "kAfterDataChanged"});
    QTest::newRow("check list, multiple, tick") << true << (kMultiSelect | kAskBefore) << 2 << true
                                                << 1 << QVariantList {"A", "C"} << asked;
    QTest::newRow("check list, single, tick unticks the others")
        << true << FieldFlags() << 2 << true << 1 << QVariantList {"C"} << after;
    QTest::newRow("check list, nothing ticked")
        << true << kMultiSelect << 0 << false << 1 << QVariantList {} << after;
    QTest::newRow("check list, single, re-emitted unticked item")
        << true << FieldFlags() << 1 << false << 1 << QVariantList {"A"} << after;
    QTest::newRow("check list, refused")
        << true << kAskBefore << 2 << true << 0 << QVariantList {"A"} << kVetoed;
    QTest::newRow("check list, refusal needs kAskBefore")
        << true << FieldFlags() << 2 << true << 0 << QVariantList {"C"} << after;
    QTest::newRow("selection list, select")
        << false << kMultiSelect << 2 << true << 1 << QVariantList {"A", "C"} << after;
    QTest::newRow("selection list, nothing selected")
        << false << kMultiSelect << 0 << false << 1 << QVariantList {} << after;
    QTest::newRow("selection list, refused")
        << false << (kMultiSelect | kAskBefore) << 2 << true << 0 << QVariantList {"A"} << kVetoed;
}

void TestKivraHandlers::lists()
{
    QFETCH(bool, checkList);
    QFETCH(FieldFlags, flags);
    QFETCH(int, item);
    QFETCH(bool, on);
    QFETCH(int, answer);
    QFETCH(QVariantList, shown);
    QFETCH(QStringList, seen);

    HandlerForm form;
    auto *list = form.add<QListWidget>("cols", kListWidget, kListWidget, flags);
    T_LISTDATA items = listData({"A", "B", "C"}, {true, false, false});
    fillListWidget(items, list, false, checkList, hasFlags(flags, kMultiSelect), false);
    form.vars.insert("cols", QVariant::fromValue(items));
    const HandlerContext context = form.context(list, "cols", kListWidget, flags, answer);
    if (checkList)
        connect(list, &QListWidget::itemChanged, list,
                [context](QListWidgetItem *changed) { onListItemChanged(context, changed); });
    else
        connect(list, &QListWidget::itemSelectionChanged, list,
                [context] { onListSelectionChanged(context); });

    // The user's change, reported once.
    QListWidgetItem *changed = list->item(item);
    {
        const QSignalBlocker blocker(list);
        if (checkList)
            changed->setCheckState(on ? Qt::Checked : Qt::Unchecked);
        else
            changed->setSelected(on);
    }
    if (checkList)
        emit list->itemChanged(changed);
    else
        emit list->itemSelectionChanged();

    QCOMPARE(shownItems(list, checkList), shown);
    QVERIFY(!list->signalsBlocked());
    QList<bool> marks;
    for (const char *data : {"A", "B", "C"})
        marks << shown.contains(QString(data));
    QCOMPARE(storedFlags(form.vars, "cols"), marks);
    QCOMPARE(form.recorder.calls, seen);
    QCOMPARE(form.recorder.oldValues.first(), QVariant(QVariantList {"A"}));
    if (seen != kVetoed)
        QCOMPARE(form.recorder.newValues.last(), QVariant(shown));
}

void TestKivraHandlers::actions_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<QList<bool>>("checked");
    QTest::addColumn<QStringList>("seen");

    QTest::newRow("accepted") << 1 << QList<bool> {false, true}
                              << QStringList {calls({"kBeforeAction", "kAfterAction"})};
    QTest::newRow("refused") << 0 << QList<bool> {true, false}
                             << QStringList {"field kBeforeAction"};
}

// Two radio actions of one group: their entries stay exclusive, a refusal leaves the group as
// it was, and the callbacks get the host menu and the action.
void TestKivraHandlers::actions()
{
    QFETCH(int, answer);
    QFETCH(QList<bool>, checked);
    QFETCH(QStringList, seen);

    HandlerForm form;
    QMenu menu;
    QActionGroup group(&menu);
    QList<QAction *> radios;
    for (const char *id : {"mode_a", "mode_b"}) {
        QAction *action = menu.addAction(id);
        action->setCheckable(true);
        action->setProperty(OptionKey::menuid.latin1(), QString(id));
        group.addAction(action);
        radios << action;
        HandlerContext context = form.context(&menu, id, 0, kAskBefore, answer);
        context.action = action;
        connect(action, &QAction::triggered, action,
                [context](bool on) { onActionTriggered(context, on); });
    }
    radios[0]->setChecked(true);
    form.vars.insert("mode_a", true);
    form.vars.insert("mode_b", false);

    radios[1]->trigger();
    QCOMPARE(QList<bool>({radios[0]->isChecked(), radios[1]->isChecked()}), checked);
    QCOMPARE(QList<bool>({form.vars.value("mode_a").toBool(), form.vars.value("mode_b").toBool()}),
             checked);
    QCOMPARE(form.recorder.calls, seen);
    QCOMPARE(form.recorder.oldValues.first(), QVariant(false));

    // A menu action without a name only reports that it was triggered.
    form.recorder.calls.clear();
    HandlerContext unnamed = form.context(&menu, QString(), 0, kAskBefore, 0);
    unnamed.action = radios[0];
    onActionTriggered(unnamed, true);
    QCOMPARE(form.recorder.calls, calls({"kAfterAction"}));
}

void TestKivraHandlers::buttonMenu_data()
{
    QTest::addColumn<FieldFlags>("flags");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QList<bool>>("marks");

    // The menu starts with B checked; the user triggers C.
    QTest::newRow("single") << FieldFlags() << 1 << QList<bool> {false, false, true};
    QTest::newRow("multiple") << kMultiSelect << 1 << QList<bool> {false, true, true};
    QTest::newRow("refused") << kAskBefore << 0 << QList<bool> {false, true, false};
}

void TestKivraHandlers::buttonMenu()
{
    QFETCH(FieldFlags, flags);
    QFETCH(int, answer);
    QFETCH(QList<bool>, marks);

    HandlerForm form;
    auto *button = form.add<QPushButton>("pick", kPushButton, kMenuButton, flags);
    auto *menu = new QMenu(button);
    button->setMenu(menu);
    T_LISTDATA items = listData({"A", "B", "C"}, {false, true, false});
    std::vector<QPointer<QAction>> created;
    fillMenuFromListData(items, menu, hasFlags(flags, kMultiSelect), false, &created);
    form.vars.insert("pick", QVariant::fromValue(items));
    for (const QPointer<QAction> &action : created) {
        HandlerContext context = form.context(button, "pick", kMenuButton, flags, answer);
        context.action = action;
        context.menuActions = QList<QPointer<QAction>>(created.begin(), created.end());
        connect(action, &QAction::triggered, action,
                [context](bool on) { onButtonMenuActionTriggered(context, on); });
    }

    created[2]->trigger();
    QCOMPARE(storedFlags(form.vars, "pick"), marks);
    QList<bool> shown;
    for (const QPointer<QAction> &action : created)
        shown << action->isChecked();
    QCOMPARE(shown, marks);
    QCOMPARE(form.recorder.calls.contains("field kAfterAction"), answer != 0);
}

void TestKivraHandlers::choosers_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QVariant>("before");
    QTest::addColumn<QVariant>("answer");
    QTest::addColumn<QString>("text");

    const QFont font("Serif", 14);
    QTest::newRow("colour") << int(kColorButton) << QVariant(QColor(Qt::red))
                            << QVariant(QColor(Qt::blue)) << "Farbe";
    QTest::newRow("colour cancelled")
        << int(kColorButton) << QVariant(QColor(Qt::red)) << QVariant() << "Farbe";
    QTest::newRow("same colour") << int(kColorButton) << QVariant(QColor(Qt::red))
                                 << QVariant(QColor(Qt::red)) << "Farbe";
    QTest::newRow("font") << int(kFontButton) << QVariant(QFont("Sans", 9)) << QVariant(font)
                          << "Serif, 14pt";
    QTest::newRow("first font")
        << int(kFontButton) << QVariant() << QVariant(QFont())
        << QStringLiteral("%1, %2pt").arg(QFont().family()).arg(QFont().pointSize());
    QTest::newRow("font cancelled") << int(kFontButton) << QVariant(font) << QVariant() << "Farbe";
}

// A chooser stores and shows a new choice; a cancelled dialog or the same choice fires nothing.
void TestKivraHandlers::choosers()
{
    QFETCH(int, code);
    QFETCH(QVariant, before);
    QFETCH(QVariant, answer);
    QFETCH(QString, text);

    HandlerForm form;
    auto *button = form.add<QPushButton>("look", kPushButton, code);
    button->setText("Farbe");
    form.vars.insert("look", before);
    form.answers << answer;
    const HandlerContext context = form.context(button, "look", code);
    code == kColorButton ? chooseColor(context) : chooseFont(context);

    QCOMPARE(form.asked.size(), 1);
    QCOMPARE(form.asked.first().start,
             code == kColorButton ? before : QVariant(before.value<QFont>()));
    const bool changed = answer.isValid() && answer != before;
    QCOMPARE(form.vars.value("look"), changed ? answer : before);
    QCOMPARE(form.recorder.calls, changed ? calls({"kAfterDataChanged"}) : QStringList());
    QCOMPARE(button->text(), text);
    QCOMPARE(button->icon().isNull(), !(changed && code == kColorButton));
}

void TestKivraHandlers::pathButtons_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QVariant>("answer");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QStringList>("request");
    QTest::addColumn<QStringList>("seen");

    const QStringList action = calls({"kAfterAction"});
    const QStringList data = calls({"kAfterDataChanged", "kAfterAction"});
    const QStringList openFile {"Eingabedatei:", "/start", "CSV (*.csv)"};
    QTest::newRow("browse, empty text starts in currentdir")
        << int(kOpenFileLineEdit) << "" << QVariant("/d/in.csv") << "/d/in.csv" << openFile
        << action;
    QTest::newRow("browse, cancelled")
        << int(kOpenFileLineEdit) << "/d/alt.csv" << QVariant() << "/d/alt.csv"
        << QStringList {"Eingabedatei:", "/d/alt.csv", "CSV (*.csv)"} << action;
    QTest::newRow("browse, directory") << int(kDirLineEdit) << "/d" << QVariant("/e") << "/e"
                                       << QStringList {"Eingabedatei:", "/d", ""} << action;
    QTest::newRow("browse, open") << int(kOpenLineEdit) << "/d/hilfe.html" << QVariant(true)
                                  << "/d/hilfe.html" << QStringList {"", "file:///d/hilfe.html", ""}
                                  << action;
    QTest::newRow("button, save file")
        << int(kSaveFileButton) << "/d/out.csv" << QVariant("/d/neu.csv") << "/d/neu.csv"
        << QStringList {"Ändern...", "/d/out.csv", "CSV (*.csv)"} << data;
    QTest::newRow("button, cancelled")
        << int(kOpenFileButton) << "" << QVariant() << ""
        << QStringList {"Ändern...", "/start", "CSV (*.csv)"} << QStringList();
    QTest::newRow("help button") << int(kHelpUrlButton) << "https://example.invalid/a b"
                                 << QVariant(true) << "https://example.invalid/a b"
                                 << QStringList {"", "https://example.invalid/a%20b", ""} << action;
    QTest::newRow("plain button") << int(kPushButton) << "x" << QVariant() << "x" << QStringList()
                                  << action;
}

void TestKivraHandlers::pathButtons()
{
    QFETCH(int, code);
    QFETCH(QString, text);
    QFETCH(QVariant, answer);
    QFETCH(QString, stored);
    QFETCH(QStringList, request);
    QFETCH(QStringList, seen);

    HandlerForm form;
    const bool browse = code == kOpenFileLineEdit || code == kDirLineEdit || code == kOpenLineEdit;
    auto *edit = form.add<QLineEdit>("file", kLineEdit, code);
    auto *button = form.add<QPushButton>("file", kPushButton, code);
    button->setText("Ändern...");
    edit->setText(text);
    form.vars.insert("file", text);
    const INFO editField(kLineEdit, {}, QString(), QVariant(), "file");
    form.wire(edit, &QLineEdit::textChanged, editField, INFO());
    form.answers << answer;
    HandlerContext context = form.context(button, "file", code);
    context.options = {{OptionKey::currentdir, "/start"}, {OptionKey::filefilter, "CSV (*.csv)"}};
    context.caption = "Eingabedatei:";
    context.lineEdit = edit;
    browse ? onBrowseClicked(context) : onButtonClicked(context);

    QCOMPARE(form.vars.value("file").toString(), stored);
    if (browse)
        QCOMPARE(edit->text(), stored);
    QStringList asked;
    for (const DialogHook::Request &r : std::as_const(form.asked))
        asked << r.title
              << (r.kind == Kind::Url ? QString::fromUtf8(r.start.toUrl().toEncoded())
                                      : r.start.toString())
              << r.filter;
    QCOMPARE(asked, request);
    QCOMPARE(form.recorder.calls, seen);
}

namespace {

struct Selector
{
    QString file;
    QComboBox *combo = nullptr;
    QLineEdit *city = nullptr;
    SettingSelectorContext context;
};

QStringList entries(const QComboBox *combo)
{
    QStringList names;
    for (int i = 0; i < combo->count(); ++i)
        names << combo->itemData(i).toString();
    return names;
}

QList<Kind> kinds(const QList<DialogHook::Request> &asked)
{
    QList<Kind> result;
    for (const DialogHook::Request &request : asked)
        result << request.kind;
    return result;
}

} // namespace

Q_DECLARE_METATYPE(QList<Kind>)

// An options file with the configurations "eins", "zwei" and "drei" (cities A, B, C) and the
// form's selector listing the first count of them, the one at current selected.
static Selector makeSelector(HandlerForm &form, const QString &file, int count, int current,
                             bool autoSave)
{
    const QStringList names {"eins", "zwei", "drei"};
    {
        QSettings settings(file, QSettings::IniFormat);
        for (int i = 0; i < count; ++i)
            settings.setValue("grp/" + names[i], QVariantMap {{"city", QString(QChar('A' + i))}});
        settings.setValue("default_conf/name", names[current]);
    }
    Selector selector;
    selector.file = file;
    selector.city = form.add<QLineEdit>("city", kLineEdit, kLineEdit);
    selector.city->setText("A-bearbeitet");
    form.vars.insert("city", "A-bearbeitet");
    form.vars.insert("note", "frei");
    selector.combo = new QComboBox(&form.window);
    for (int i = 0; i < count; ++i)
        selector.combo->addItem(names[i], names[i]);
    selector.combo->setCurrentIndex(current);
    selector.context = {&form.window,
                        selector.combo,
                        {{OptionKey::inifileName, file},
                         {OptionKey::inigroupname, "grp"},
                         {OptionKey::iniusemulticonf, true},
                         {OptionKey::iniautosave, autoSave}},
                        &form.vars,
                        {},
                        {true, {"city"}}};
    const SettingSelectorContext context = selector.context;
    QObject::connect(selector.combo, &QComboBox::currentIndexChanged, selector.combo,
                     [context](int index) { onSettingSelected(context, index); });
    return selector;
}

void TestKivraHandlers::newSetting_data()
{
    QTest::addColumn<QVariant>("typed");
    QTest::addColumn<bool>("filterKeys");
    QTest::addColumn<QString>("created");
    QTest::addColumn<QStringList>("savedKeys");

    QTest::newRow("letters and digits, lower case")
        << QVariant("Mein Profil_2!") << true << "meinprofil2" << QStringList {"city"};
    QTest::newRow("any script, every entry without the filter")
        << QVariant("Ärger Ω") << false << "ärgerω" << QStringList {"city", "note"};
    QTest::newRow("existing name") << QVariant("EINS!") << true << "" << QStringList();
    QTest::newRow("nothing left") << QVariant("_ -!") << true << "" << QStringList();
    QTest::newRow("cancelled") << QVariant() << true << "" << QStringList();
}

void TestKivraHandlers::newSetting()
{
    QFETCH(QVariant, typed);
    QFETCH(bool, filterKeys);
    QFETCH(QString, created);
    QFETCH(QStringList, savedKeys);

    HandlerForm form;
    Selector selector = makeSelector(form, path(QTest::currentDataTag()), 2, 0, true);
    selector.context.closeSave.filterKeys = filterKeys;
    form.answers << typed;
    onNewSetting(selector.context);

    // The current configuration was saved first, without asking.
    QCOMPARE(kinds(form.asked), QList<Kind> {Kind::Text});
    QCOMPARE(storedIniValue(selector.file, "grp/eins").toMap().value("city"),
             QVariant("A-bearbeitet"));
    const QStringList before {"eins", "zwei"};
    QCOMPARE(entries(selector.combo), created.isEmpty() ? before : before + QStringList {created});
    QCOMPARE(selector.combo->currentData().toString(), created.isEmpty() ? "eins" : created);
    QCOMPARE(storedIniValue(selector.file, "default_conf/name").toString(),
             created.isEmpty() ? "eins" : created);
    if (!created.isEmpty())
        QCOMPARE(storedIniValue(selector.file, "grp/" + created).toMap().keys(), savedKeys);
    QCOMPARE(selector.city->text(), "A-bearbeitet");
}

void TestKivraHandlers::switchSetting_data()
{
    QTest::addColumn<bool>("autoSave");
    QTest::addColumn<QVariant>("answer");
    QTest::addColumn<QString>("formerCity");

    QTest::newRow("saved without asking") << true << QVariant() << "A-bearbeitet";
    QTest::newRow("asked, Yes") << false << QVariant(true) << "A-bearbeitet";
    QTest::newRow("asked, No") << false << QVariant(false) << "A";
}

void TestKivraHandlers::switchSetting()
{
    QFETCH(bool, autoSave);
    QFETCH(QVariant, answer);
    QFETCH(QString, formerCity);

    HandlerForm form;
    const Selector selector = makeSelector(form, path(QTest::currentDataTag()), 3, 0, autoSave);
    form.answers << answer;
    selector.combo->setCurrentIndex(1);

    QCOMPARE(kinds(form.asked), autoSave ? QList<Kind>() : QList<Kind> {Kind::Question});
    QCOMPARE(storedIniValue(selector.file, "grp/eins").toMap().value("city").toString(),
             formerCity);
    QCOMPARE(storedIniValue(selector.file, "default_conf/name"), QVariant("zwei"));
    QCOMPARE(selector.city->text(), "B");
    QCOMPARE(form.vars.value("city"), QVariant("B"));
}

void TestKivraHandlers::deleteSetting_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("current");
    QTest::addColumn<QVariant>("answer");
    QTest::addColumn<bool>("locked");
    QTest::addColumn<QStringList>("left");
    QTest::addColumn<QString>("city");
    QTest::addColumn<QList<Kind>>("asked");

    const QList<Kind> question {Kind::Question};
    QTest::newRow("first entry") << 3 << 0 << QVariant(true) << false
                                 << QStringList {"zwei", "drei"} << "B" << question;
    QTest::newRow("later entry") << 3 << 2 << QVariant(true) << false
                                 << QStringList {"eins", "zwei"} << "B" << question;
    QTest::newRow("answered No") << 3 << 1 << QVariant(false) << false
                                 << QStringList {"eins", "zwei", "drei"} << "A-bearbeitet"
                                 << question;
    QTest::newRow("only entry") << 1 << 0 << QVariant() << false << QStringList {"eins"}
                                << "A-bearbeitet" << QList<Kind> {Kind::Information};
    QTest::newRow("file cannot be written")
        << 3 << 1 << QVariant(true) << true << QStringList {"eins", "zwei", "drei"}
        << "A-bearbeitet" << question;
}

// Deleting switches to the neighbour and loads it, without offering to save what was deleted.
void TestKivraHandlers::deleteSetting()
{
    QFETCH(int, count);
    QFETCH(int, current);
    QFETCH(QVariant, answer);
    QFETCH(bool, locked);
    QFETCH(QStringList, left);
    QFETCH(QString, city);
    QFETCH(QList<Kind>, asked);

    HandlerForm form;
    const Selector selector =
        makeSelector(form, path(QTest::currentDataTag()), count, current, false);
    const QString name = selector.combo->currentData().toString();
    form.answers << answer;
    QLockFile otherWriter(selector.file + ".lock");
    if (locked)
        QVERIFY(otherWriter.lock());
    onDeleteSetting(selector.context);
    otherWriter.unlock();

    QCOMPARE(kinds(form.asked), asked);
    QCOMPARE(entries(selector.combo), left);
    QCOMPARE(storedIniValue(selector.file, "grp/" + name).isValid(), left.contains(name));
    if (!left.contains(name))
        QCOMPARE(storedIniValue(selector.file, "default_conf/name").toString(),
                 selector.combo->currentData().toString());
    QCOMPARE(selector.city->text(), city);
}

QTEST_MAIN(TestKivraHandlers)
#include "tst_kivrahandlers.moc"
