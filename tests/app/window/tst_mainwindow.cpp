#include "WindowTest.h"

#include <run/AppIdentity.h>
#include <window/MainFormDescription.h>

#include <QAbstractSpinBox>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTableView>
#include <QTest>

#include <tuple>

#include <sys/stat.h>

namespace {

constexpr QAbstractItemView::EditTriggers editable =
    QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed;

QAbstractItemView::EditTriggers inputEditTriggers(const Dialog &dialog)
{
    return dialog.findChild<QTableView *>(QStringLiteral("inputView"))->editTriggers();
}

} // namespace

// The main window as a user meets it: its first start, what it keeps between starts, and
// what its form does without any input loaded.
class TestMainWindow : public WindowTest
{
    Q_OBJECT

private slots:
    void encodingList_data();
    void encodingList();
    void firstStartShowsDefaults();
    void closeSavesOptionsForTheOwnerOnly_data();
    void closeSavesOptionsForTheOwnerOnly();
    void callbackBelongsToItsWindow();
    void reloadTimerEndsWithItsWindow();
    void formWidgetsGoBeforeTheirValues();
    void assignFieldTypes();
    void pagesThatCannotOpenAreNamed_data();
    void pagesThatCannotOpenAreNamed();
};

void TestMainWindow::encodingList_data()
{
    QTest::addColumn<QString>("current");
    QTest::addColumn<QStringList>("added");

    QTest::newRow("offered already") << "UTF-16LE" << QStringList();
    QTest::newRow("another name") << "windows-1252" << QStringList {"windows-1252"};
    QTest::newRow("case differs") << "utf-8" << QStringList {"utf-8"};
}

void TestMainWindow::encodingList()
{
    QFETCH(QString, current);
    QFETCH(QStringList, added);
    QCOMPARE(
        fillEncodingList(current),
        QStringList({"ISO-8859-1", "System", "UTF-16", "UTF-16BE", "UTF-16LE", "UTF-32", "UTF-8"}) +
            added);
}

void TestMainWindow::firstStartShowsDefaults()
{
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

    auto *startRow = field<QAbstractSpinBox>("input_row_offset", kivra::kNumberSpinBox);
    QCOMPARE(startRow->text(), QStringLiteral("1"));
    startRow->stepDown();
    QCOMPARE(startRow->text(), QStringLiteral("1"));

    // The input view is editable from the start, the output view never.
    QCOMPARE(inputEditTriggers(*m_dialog), editable);
    QCOMPARE(m_dialog->findChild<QTableView *>(QStringLiteral("outputView"))->editTriggers(),
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
    m_dialog->show();
    // As the run leaves it after making a new key.
    m_dialog->optionMap().insert(QStringLiteral("pseudo_key"), key);
    checkBox("csv_input_relaxed")->click();
    combo("sep_data_field")->setCurrentIndex(1);

    // Even a process that lets everyone read its new files keeps the key to the owner.
    const mode_t previousMask = ::umask(0);
    if (byExitButton) {
        auto *exit = field<QPushButton>(qPrintable(kivra::fixedButtonName(kivra::kOkButton)),
                                        kivra::kOkButton);
        QCOMPARE(exit->text(), QStringLiteral("Beenden"));
        exit->click();
    } else {
        m_dialog->close();
    }
    ::umask(previousMask);
    QTRY_VERIFY(!m_dialog->isVisible());

    const QString optionsFile = m_settingsDir->filePath(QStringLiteral("vondrel.opt"));
    const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
        QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::WriteOther |
        QFileDevice::ExeOther;
    QVERIFY(QFile::exists(optionsFile));
    QCOMPARE(QFile::permissions(optionsFile) & others, QFileDevice::Permissions());
    QCOMPARE(storedOptions().value(QStringLiteral("pseudo_key")), QVariant(key));

    newDialog();
    QCOMPARE(m_dialog->optionMap().value(QStringLiteral("pseudo_key")).toString(), key);
    QVERIFY(!checkBox("csv_input_relaxed")->isChecked());
    QCOMPARE(combo("sep_data_field")->currentData().toInt(), 2);
}

void TestMainWindow::callbackBelongsToItsWindow()
{
    // A window made after another one was deleted is served by its own callback.
    newDialog();
    QCOMPARE(types()->count(), 25);

    // With two windows open, a change in one reaches that one only.
    const Dialog other(nullptr, m_settingsDir->path());
    checkBox("input_editable")->click();
    QCOMPARE(inputEditTriggers(*m_dialog), QAbstractItemView::NoEditTriggers);
    QCOMPARE(inputEditTriggers(other), editable);
}

void TestMainWindow::reloadTimerEndsWithItsWindow()
{
    m_dialog->show();
    QVERIFY(QTest::qWaitForWindowActive(m_dialog.get()));
    auto *startRow = field<QAbstractSpinBox>("input_row_offset", kivra::kNumberSpinBox);
    startRow->setFocus();
    QTRY_VERIFY(QApplication::focusWidget() != m_dialog.get());

    // The reload a step schedules takes the keyboard focus for the window.
    startRow->stepUp();
    QTRY_COMPARE(QApplication::focusWidget(), m_dialog.get());

    // A step just before the window goes schedules nothing that outlives it.
    startRow->stepUp();
    m_dialog.reset();
    QTest::qWait(250);
}

void TestMainWindow::formWidgetsGoBeforeTheirValues()
{
    // The form's widgets are bound to the window's values; when one of them goes, the
    // window must still be whole, not half destroyed.
    QObject *window = m_dialog.get();
    QList<bool> windowWhole;
    for (const char *name : {"input_filename", "input_row_offset", "empty_data_fields"}) {
        const kivra::WIDGET_INFO widgets =
            kivra::widgetsByName(&m_dialog->optionMap(), QLatin1String(name));
        QVERIFY2(!widgets.isEmpty(), name);
        connect(widgets.constFirst(), &QObject::destroyed, this, [window, &windowWhole] {
            windowWhole.append(qobject_cast<Dialog *>(window) != nullptr);
        });
    }
    m_dialog.reset();
    QCOMPARE(windowWhole, QList<bool>({true, true, true}));
}

void TestMainWindow::assignFieldTypes()
{
    // The loaders fill the column chooser; here it is filled by hand.
    columns()->addItem(QStringLiteral("1 [Name]"), QStringLiteral("1"));
    columns()->addItem(QStringLiteral("2 [Ort]"), QStringLiteral("2"));
    QCOMPARE(columns()->currentIndex(), 0);

    assignType(0, QStringLiteral("<NAME>"));
    QCOMPARE(markedColumns(), QList<int>({0}));

    // The type chooser follows the column.
    columns()->setCurrentIndex(1);
    QCOMPARE(types()->currentIndex(), 0);
    columns()->setCurrentIndex(0);
    QCOMPARE(types()->currentData().toString(), QStringLiteral("<NAME>"));

    // The empty type takes the assignment back.
    assignType(0, QString());
    QCOMPARE(markedColumns(), QList<int>());
    columns()->setCurrentIndex(1);
    types()->setCurrentIndex(types()->findData(QStringLiteral("<IBAN>")));
    columns()->setCurrentIndex(0);
    QCOMPARE(types()->currentIndex(), 0);
}

void TestMainWindow::pagesThatCannotOpenAreNamed_data()
{
    QTest::addColumn<QString>("button");
    // The page beside the program, empty for an address.
    QTest::addColumn<QString>("page");
    QTest::addColumn<bool>("pageThere");
    QTest::addColumn<bool>("opened");
    QTest::addColumn<QStringList>("prompts");

    const QString web = makerWebAddress();
    const QString page = QDir::toNativeSeparators(QCoreApplication::applicationDirPath() +
                                                  QStringLiteral("/licenses.html"));
    QTest::newRow("page missing") << "Lizenzen"
                                  << "licenses.html" << false << false
                                  << QStringList {"Fehler:|Die Datei wurde nicht gefunden:\r\n" +
                                                  page};
    QTest::newRow("no program for the page")
        << "Lizenzen"
        << "licenses.html" << true << false
        << QStringList {"|file://" + QDir::fromNativeSeparators(page),
                        "Fehler:|Die Datei konnte nicht geöffnet werden:\r\n" + page +
                            "\r\nBitte die Datei in einem Browser öffnen."};
    QTest::newRow("no browser") << "Webseite/Weitere Software" << QString() << false << false
                                << QStringList {
                                       "|" + web,
                                       "Fehler:|Die Adresse konnte nicht geöffnet "
                                       "werden:\r\n" +
                                           web + "\r\nBitte die Adresse in einem Browser öffnen."};
    QTest::newRow("opened") << "Webseite/Weitere Software" << QString() << false << true
                            << QStringList {"|" + web};
}

// "Hilfe", "Lizenzen" and "Webseite": a page that does not open says which file or address it
// was, so that the user can open it another way.
void TestMainWindow::pagesThatCannotOpenAreNamed()
{
    QFETCH(QString, button);
    QFETCH(QString, page);
    QFETCH(bool, pageThere);
    QFETCH(bool, opened);
    QFETCH(QStringList, prompts);

    // The test's own folder plays the program's folder.
    QFile file(QCoreApplication::applicationDirPath() + QLatin1Char('/') + page);
    const auto remove = qScopeGuard([&file, pageThere] {
        if (pageThere)
            file.remove();
    });
    if (pageThere)
        QVERIFY(file.open(QIODevice::WriteOnly));
    m_answer = opened;
    for (QPushButton *candidate : m_dialog->findChildren<QPushButton *>()) {
        if (candidate->text() == button)
            candidate->click();
    }
    QCOMPARE(takePrompts(), prompts);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
