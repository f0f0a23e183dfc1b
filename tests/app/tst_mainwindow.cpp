#include "AppIdentity.h"
#include "AppPrompt.h"
#include "Dialog.h"
#include "MainFormDescription.h"

#include <kivra/IniStore.h>
#include <kivra/Registry.h>

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QSettings>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <tuple>

#include <sys/stat.h>

// The main window as a user meets it: its first start, what it keeps between starts, and
// what its form does without any input loaded.
class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void encodingList_data();
    void encodingList();
    void firstStartShowsDefaults();
    void closeSavesOptionsForTheOwnerOnly_data();
    void closeSavesOptionsForTheOwnerOnly();
    void callbackBelongsToItsWindow();
    void reloadTimerEndsWithItsWindow();
    void formWidgetsGoBeforeTheirValues();
    void assignFieldTypes();

private:
    template<class T>
    static T *field(Dialog &dialog, const char *name, int code)
    {
        return kivra::findWidget<T>(&dialog.optionMap(), QLatin1String(name), code);
    }

    std::unique_ptr<QTemporaryDir> m_settingsDir;
    QStringList m_prompts;
};

void TestMainWindow::initTestCase()
{
    setApplicationIdentity();
    // Nothing may wait for a user; every prompt is noted and answered with No or Cancel.
    AppPrompt::setHandler([this](const AppPrompt::Request &request) {
        m_prompts.append(request.title + QLatin1Char(' ') + request.text);
        return QVariant();
    });
}

void TestMainWindow::init()
{
    m_settingsDir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_settingsDir->isValid());
    m_prompts.clear();
}

void TestMainWindow::cleanup()
{
    QVERIFY2(m_prompts.isEmpty(), qPrintable(m_prompts.join(QLatin1Char('\n'))));
}

void TestMainWindow::encodingList_data()
{
    QTest::addColumn<QString>("current");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("offered already")
        << "UTF-16LE" << QStringList {"ISO-8859-1", "System", "UTF-16", "UTF-16BE",
                                      "UTF-16LE",   "UTF-32", "UTF-8"};
    QTest::newRow("another name") << "windows-1252"
                                  << QStringList {"ISO-8859-1", "System", "UTF-16", "UTF-16BE",
                                                  "UTF-16LE",   "UTF-32", "UTF-8",  "windows-1252"};
    QTest::newRow("case differs") << "utf-8"
                                  << QStringList {"ISO-8859-1", "System", "UTF-16", "UTF-16BE",
                                                  "UTF-16LE",   "UTF-32", "UTF-8",  "utf-8"};
}

void TestMainWindow::encodingList()
{
    QFETCH(QString, current);
    QFETCH(QStringList, expected);
    QCOMPARE(fillEncodingList(current), expected);
}

void TestMainWindow::firstStartShowsDefaults()
{
    Dialog dialog(nullptr, m_settingsDir->path());

    const auto combo = [&dialog](const char *name) {
        return field<QComboBox>(dialog, name, kivra::kComboBox);
    };
    const QList<std::tuple<const char *, QString, QVariant>> combos {
        {"text_encoding", QStringLiteral("Automatisch"), QStringLiteral("")},
        {"sep_data_field", QStringLiteral("Semikolon"), 3},
        {"sep_data_string", QStringLiteral("Doppelt (\")"), 2},
        {"sep_data_string_esc", QStringLiteral("TwoQuote"), 4}};
    for (const auto &[name, text, data] : combos) {
        QVERIFY2(combo(name), name);
        QCOMPARE(combo(name)->currentText(), text);
        QCOMPARE(combo(name)->currentData().toString(), data.toString());
    }

    auto *startRow = field<QAbstractSpinBox>(dialog, "input_row_offset", kivra::kNumberSpinBox);
    QVERIFY(startRow);
    QCOMPARE(startRow->text(), QStringLiteral("1"));
    startRow->stepDown();
    QCOMPARE(startRow->text(), QStringLiteral("1"));

    const QList<std::pair<const char *, bool>> boxes {{"csv_input_relaxed", true},
                                                      {"input_has_title", true},
                                                      {"input_editable", true},
                                                      {"create_export_map_file", false},
                                                      {"script_use", false}};
    for (const auto &[name, checked] : boxes) {
        auto *box = field<QCheckBox>(dialog, name, kivra::kCheckBox);
        QVERIFY2(box, name);
        QVERIFY2(box->isChecked() == checked, name);
    }

    // The window's own widgets sit inside it, the field types offered with an empty first item.
    auto *types = dialog.findChild<QComboBox *>(QStringLiteral("typeCombo"));
    QVERIFY(types);
    QCOMPARE(types->count(), 25);
    QVERIFY(types->itemText(0).isEmpty());
    QVERIFY(dialog.findChild<QComboBox *>(QStringLiteral("columnCombo")));
    QVERIFY(dialog.findChild<QPushButton *>(QStringLiteral("assignButton")));
    auto *input = dialog.findChild<QTableView *>(QStringLiteral("inputView"));
    QVERIFY(input);
    QCOMPARE(input->editTriggers(),
             QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    QCOMPARE(dialog.findChild<QTableView *>(QStringLiteral("outputView"))->editTriggers(),
             QAbstractItemView::NoEditTriggers);
}

void TestMainWindow::closeSavesOptionsForTheOwnerOnly_data()
{
    QTest::addColumn<bool>("byExitButton");
    QTest::newRow("window closed") << false;
    QTest::newRow("\"Beenden\" pressed") << true;
}

void TestMainWindow::closeSavesOptionsForTheOwnerOnly()
{
    QFETCH(bool, byExitButton);
    const QString key = QStringLiteral("0123456789abcdef0123456789abcdef");
    const QString optionsFile = m_settingsDir->filePath(QStringLiteral("vondrel.opt"));
    {
        Dialog dialog(nullptr, m_settingsDir->path());
        dialog.show();
        // As the run leaves it after making a new key.
        dialog.optionMap().insert(QStringLiteral("pseudo_key"), key);
        field<QCheckBox>(dialog, "csv_input_relaxed", kivra::kCheckBox)->click();
        field<QComboBox>(dialog, "sep_data_field", kivra::kComboBox)->setCurrentIndex(1);

        // Even a process that lets everyone read its new files keeps the key to the owner.
        const mode_t previousMask = ::umask(0);
        if (byExitButton) {
            auto *exit = kivra::findWidget<QPushButton>(
                &dialog.optionMap(), kivra::fixedButtonName(kivra::kOkButton), kivra::kOkButton);
            QVERIFY(exit);
            QCOMPARE(exit->text(), QStringLiteral("Beenden"));
            exit->click();
        } else {
            dialog.close();
        }
        ::umask(previousMask);
        QTRY_VERIFY(!dialog.isVisible());
    }

    QVERIFY(QFile::exists(optionsFile));
    const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
        QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::WriteOther |
        QFileDevice::ExeOther;
    QCOMPARE(QFile::permissions(optionsFile) & others, QFileDevice::Permissions());
    QSettings ini(optionsFile, QSettings::IniFormat);
    ini.beginGroup(QStringLiteral("main"));
    QCOMPARE(ini.value(kivra::kDefaultSummaryName).toMap().value(QStringLiteral("pseudo_key")),
             QVariant(key));

    Dialog second(nullptr, m_settingsDir->path());
    QCOMPARE(second.optionMap().value(QStringLiteral("pseudo_key")).toString(), key);
    QVERIFY(!field<QCheckBox>(second, "csv_input_relaxed", kivra::kCheckBox)->isChecked());
    QCOMPARE(field<QComboBox>(second, "sep_data_field", kivra::kComboBox)->currentData().toInt(),
             2);
}

void TestMainWindow::callbackBelongsToItsWindow()
{
    // A window made after another one was closed and deleted is served by its own callback.
    {
        Dialog first(nullptr, m_settingsDir->path());
    }
    Dialog second(nullptr, m_settingsDir->path());
    QCOMPARE(second.findChild<QComboBox *>(QStringLiteral("typeCombo"))->count(), 25);

    // With two windows open, a change in one reaches that one only.
    Dialog third(nullptr, m_settingsDir->path());
    field<QCheckBox>(third, "input_editable", kivra::kCheckBox)->click();
    QCOMPARE(third.findChild<QTableView *>(QStringLiteral("inputView"))->editTriggers(),
             QAbstractItemView::NoEditTriggers);
    QCOMPARE(second.findChild<QTableView *>(QStringLiteral("inputView"))->editTriggers(),
             QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
}

void TestMainWindow::reloadTimerEndsWithItsWindow()
{
    auto *dialog = new Dialog(nullptr, m_settingsDir->path());
    dialog->show();
    QVERIFY(QTest::qWaitForWindowActive(dialog));
    auto *startRow = field<QAbstractSpinBox>(*dialog, "input_row_offset", kivra::kNumberSpinBox);
    startRow->setFocus();
    QTRY_VERIFY(QApplication::focusWidget() != dialog);

    // The reload a step schedules takes the keyboard focus for the window.
    startRow->stepUp();
    QTRY_COMPARE(QApplication::focusWidget(), dialog);

    // A step just before the window goes schedules nothing that outlives it.
    startRow->stepUp();
    delete dialog;
    QTest::qWait(250);
}

void TestMainWindow::formWidgetsGoBeforeTheirValues()
{
    // The form's widgets are bound to the window's values; when one of them goes, the
    // window must still be whole, not half destroyed.
    auto *dialog = new Dialog(nullptr, m_settingsDir->path());
    QObject *window = dialog;
    QList<bool> windowWhole;
    for (const char *name : {"input_filename", "input_row_offset", "empty_data_fields"}) {
        const kivra::WIDGET_INFO widgets =
            kivra::widgetsByName(&dialog->optionMap(), QLatin1String(name));
        QVERIFY2(!widgets.isEmpty(), name);
        connect(widgets.constFirst(), &QObject::destroyed, this, [window, &windowWhole] {
            windowWhole.append(qobject_cast<Dialog *>(window) != nullptr);
        });
    }
    delete dialog;
    QCOMPARE(windowWhole, QList<bool>({true, true, true}));
}

void TestMainWindow::assignFieldTypes()
{
    Dialog dialog(nullptr, m_settingsDir->path());
    auto *columns = dialog.findChild<QComboBox *>(QStringLiteral("columnCombo"));
    auto *types = dialog.findChild<QComboBox *>(QStringLiteral("typeCombo"));
    auto *assign = dialog.findChild<QPushButton *>(QStringLiteral("assignButton"));
    // The loaders fill the column chooser; here it is filled by hand.
    columns->addItem(QStringLiteral("1 [Name]"), QStringLiteral("1"));
    columns->addItem(QStringLiteral("2 [Ort]"), QStringLiteral("2"));
    QCOMPARE(columns->currentIndex(), 0);

    types->setCurrentIndex(types->findData(QStringLiteral("<NAME>")));
    assign->click();
    QVERIFY(!columns->itemIcon(0).isNull());
    QVERIFY(columns->itemIcon(1).isNull());

    // The type chooser follows the column.
    columns->setCurrentIndex(1);
    QCOMPARE(types->currentIndex(), 0);
    columns->setCurrentIndex(0);
    QCOMPARE(types->currentData().toString(), QStringLiteral("<NAME>"));

    // The empty type takes the assignment back.
    types->setCurrentIndex(0);
    assign->click();
    QVERIFY(columns->itemIcon(0).isNull());
    columns->setCurrentIndex(1);
    types->setCurrentIndex(types->findData(QStringLiteral("<IBAN>")));
    columns->setCurrentIndex(0);
    QCOMPARE(types->currentIndex(), 0);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
