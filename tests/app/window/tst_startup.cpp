#include "AppTest.h"
#include "TranslationSource.h"

#include <window/Dialog.h>
#include <window/FieldTypeList.h>
#include <window/SettingsDirectory.h>
#include <window/SpecialFolder.h>
#include <window/UiLanguage.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLibraryInfo>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

namespace {

QStringList visibleTexts(const QWidget &window)
{
    QStringList texts {window.windowTitle()};
    for (const QAbstractButton *button : window.findChildren<QAbstractButton *>())
        texts.append(button->text());
    for (const QLabel *label : window.findChildren<QLabel *>())
        texts.append(label->text());
    for (const QComboBox *combo : window.findChildren<QComboBox *>()) {
        for (int i = 0; i < combo->count(); ++i)
            texts.append(combo->itemText(i));
    }
    return texts;
}

} // namespace

// The decisions taken before the main window exists: where the settings live, which
// language the program speaks, and the embedded translation.
class TestStartup : public AppTest
{
    Q_OBJECT

private slots:
    void settingsDirectory_data();
    void settingsDirectory();
    void settingsDirectoryOnThisMachine();
    void germanUi_data();
    void germanUi();
    void embeddedTranslation();
    void qtDialogsInGerman();
    void fieldTypeList_data();
    void fieldTypeList();
};

using Pairs = QList<std::pair<QString, QString>>;

void TestStartup::settingsDirectory_data()
{
    QTest::addColumn<QString>("appDir");
    QTest::addColumn<QStringList>("systemFolders");
    QTest::addColumn<bool>("writable");
    QTest::addColumn<bool>("markerExists");
    QTest::addColumn<bool>("markerOpens");
    QTest::addColumn<QStringList>("userLocations");
    QTest::addColumn<bool>("portable");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("markerTouched");

    const QStringList system {QStringLiteral("/usr"), QStringLiteral("/opt")};
    const QStringList user {QStringLiteral("/home/u/.config/corvane software/vondrel")};
    const QString userDir = user.constFirst();

    QTest::newRow("writable, outside") << "/home/u/vondrel" << system << true << false << true
                                       << user << true << "/home/u/vondrel" << true;
    QTest::newRow("inside a system folder") << "/usr/lib/vondrel" << system << true << false << true
                                            << user << false << userDir << false;
    QTest::newRow("the system folder itself")
        << "/opt" << system << true << true << true << user << false << userDir << false;
    QTest::newRow("folder written with a trailing separator")
        << "/opt/vondrel" << QStringList {QStringLiteral("/opt/")} << true << false << true << user
        << false << userDir << false;
    QTest::newRow("same prefix, other folder") << "/usr2/vondrel" << system << true << false << true
                                               << user << true << "/usr2/vondrel" << true;
    QTest::newRow("empty special folder ignored")
        << "/home/u/vondrel" << QStringList {QString(), QStringLiteral("/opt")} << true << false
        << true << user << true << "/home/u/vondrel" << true;
    QTest::newRow("marker not creatable") << "/home/u/vondrel" << system << true << false << false
                                          << user << false << userDir << true;
    QTest::newRow("read-only folder with a writable marker")
        << "/home/u/vondrel" << system << false << true << true << user << true << "/home/u/vondrel"
        << true;
    QTest::newRow("read-only folder without marker")
        << "/home/u/vondrel" << system << false << false << true << user << false << userDir
        << false;
    QTest::newRow("no per-user location") << "/usr/bin" << system << false << false << false
                                          << QStringList() << false << "/home/u/.config" << false;
}

void TestStartup::settingsDirectory()
{
    QFETCH(QString, appDir);
    QFETCH(QStringList, systemFolders);
    QFETCH(bool, writable);
    QFETCH(bool, markerExists);
    QFETCH(bool, markerOpens);
    QFETCH(QStringList, userLocations);
    QFETCH(bool, portable);
    QFETCH(QString, expected);
    QFETCH(bool, markerTouched);

    bool touched = false;
    SettingsDirectoryInputs inputs;
    inputs.appDir = appDir;
    inputs.systemProgramFolders = systemFolders;
    inputs.appDirWritable = writable;
    inputs.markerExists = markerExists;
    inputs.openMarker = [&] {
        touched = true;
        return markerOpens;
    };
    inputs.userConfigLocations = userLocations;
    inputs.homeDir = QStringLiteral("/home/u");

    const SettingsDirectoryChoice choice = chooseSettingsDirectory(inputs);
    QCOMPARE(choice.portable, portable);
    QCOMPARE(choice.path, expected);
    QCOMPARE(touched, markerTouched);
}

void TestStartup::settingsDirectoryOnThisMachine()
{
    // The test's own folder plays the program's folder.
    const QString appDir = QCoreApplication::applicationDirPath();
    const bool system = liesInside(appDir, specialFolderPath(SpecialFolder::ProgramFiles)) ||
        liesInside(appDir, specialFolderPath(SpecialFolder::ProgramFilesX86));
    if (system || !QFileInfo(appDir).isWritable())
        QSKIP("The test runs from a folder that cannot be portable");

    QFile marker(appDir + QStringLiteral("/.portable"));
    QVERIFY(marker.open(QIODevice::WriteOnly));
    marker.write("left over");
    marker.close();

    QCOMPARE(::settingsDirectory(), appDir);
    // Each start empties the marker.
    QCOMPARE(QFileInfo(marker.fileName()).size(), 0);
    QVERIFY(marker.remove());
}

void TestStartup::germanUi_data()
{
    QTest::addColumn<QStringList>("languages");
    QTest::addColumn<bool>("german");

    QTest::newRow("de-AT") << QStringList {QStringLiteral("de-AT")} << true;
    QTest::newRow("DE") << QStringList {QStringLiteral("DE")} << true;
    QTest::newRow("German second")
        << QStringList {QStringLiteral("en-US"), QStringLiteral("de-DE")} << true;
    QTest::newRow("de-Latn-CH") << QStringList {QStringLiteral("dE-Latn-CH")} << true;
    QTest::newRow("C") << QStringList {QStringLiteral("C")} << false;
    QTest::newRow("en") << QStringList {QStringLiteral("en")} << false;
    QTest::newRow("deu") << QStringList {QStringLiteral("deu")} << false;
    QTest::newRow("none") << QStringList() << false;
}

void TestStartup::germanUi()
{
    QFETCH(QStringList, languages);
    QFETCH(bool, german);
    QCOMPARE(isGermanUiLanguage(languages), german);
}

void TestStartup::embeddedTranslation()
{
    QTranslator translator;
    QVERIFY(loadEnglishTranslation(translator));

    // Every entry of the translation source is in the embedded file, and an English text
    // takes the same arguments as its German source, or .arg() would put values in the
    // wrong places.
    QString error;
    const QList<TranslationEntry> entries =
        readTranslationSource(QStringLiteral(TRANSLATION_SOURCE), &error);
    QVERIFY2(entries.size() > 80, qPrintable(error));
    const QRegularExpression placeholder(QStringLiteral("%\\d+"));
    const auto placeholders = [&placeholder](const QString &text) {
        QStringList found;
        for (auto it = placeholder.globalMatch(text); it.hasNext();)
            found.append(it.next().captured());
        found.sort();
        return found;
    };
    const QString germanField = QStringLiteral("Feld '%1': ");
    QSet<QString> seen;
    for (const TranslationEntry &entry : entries) {
        const QString where = entry.context + QLatin1Char(' ') + entry.source;
        QVERIFY2(entry.finished && !entry.translation.isEmpty(), qPrintable(where));
        QVERIFY2(!seen.contains(where), qPrintable(where));
        seen.insert(where);
        QCOMPARE(placeholders(entry.translation), placeholders(entry.source));
        QCOMPARE(entry.translation.count(QLatin1Char('\n')), entry.source.count(QLatin1Char('\n')));
        if (entry.source.startsWith(germanField))
            QVERIFY2(entry.translation.startsWith(QLatin1String("Field '%1': ")),
                     qPrintable(where));
        QCOMPARE(translator.translate(entry.context.toUtf8().constData(),
                                      entry.source.toUtf8().constData()),
                 entry.translation);
    }

    // Installed before the window is built, as at the program's start: whatever has an English
    // entry shows in English, wherever the window shows it.
    QVERIFY(QCoreApplication::installTranslator(&translator));
    const auto uninstall =
        qScopeGuard([&translator] { QCoreApplication::removeTranslator(&translator); });
    const Dialog dialog(nullptr, m_dir->path());
    const QStringList texts = visibleTexts(dialog);
    for (const char *english : {"Test and Create", "Map file", "Assign", "Exit", "Semicolon",
                                "Data field contents\nto delete:", "Running number"})
        QVERIFY2(texts.contains(QLatin1String(english)), english);
    QVERIFY(dialog.windowTitle().contains(QLatin1String("Data pseudonymisation tool:")));
    for (const TranslationEntry &entry : entries) {
        if (entry.source != entry.translation)
            QVERIFY2(!texts.contains(entry.source), qPrintable(entry.source));
    }
}

void TestStartup::qtDialogsInGerman()
{
    // Where Qt's translations are missing the German start installs nothing.
    const QTemporaryDir empty;
    QVERIFY(!installUiTranslation({QStringLiteral("de-DE")}, empty.path()));
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));

    // Qt's own, which scripts/deps.sh installs: its buttons and dialogs speak German.
    const QString qtDir = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    QVERIFY2(QFile::exists(qtDir + QStringLiteral("/qtbase_de.qm")), qPrintable(qtDir));
    const std::unique_ptr<QTranslator> german =
        installUiTranslation({QStringLiteral("en-US"), QStringLiteral("de-DE")}, qtDir);
    QVERIFY(german);
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Abbrechen"));
    QCOMPARE(QCoreApplication::translate("QFileDialog", "File &name:"),
             QStringLiteral("Datei&name:"));
    // The program's own texts stay German.
    QCOMPARE(QCoreApplication::translate("Dialog", "Testen und Erstellen"),
             QStringLiteral("Testen und Erstellen"));
}

void TestStartup::fieldTypeList_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<Pairs>("expected");

    const auto pair = [](const char *label, const char *placeholder) {
        return std::pair {QString::fromUtf8(label), QString::fromUtf8(placeholder)};
    };
    QTest::newRow("sorted, trimmed") << QStringLiteral("Ort;<PLACE>\r\n Email ; <EMAIL>\r\n")
                                     << Pairs {pair("Email", "<EMAIL>"), pair("Ort", "<PLACE>")};
    QTest::newRow("malformed lines skipped")
        << QStringLiteral("Text\r\nA;B;C\r\n;<NUM>\r\n\r\nIP;<IP>") << Pairs {pair("IP", "<IP>")};
    QTest::newRow("empty placeholder kept")
        << QStringLiteral("Leer;\n") << Pairs {pair("Leer", "")};
}

void TestStartup::fieldTypeList()
{
    QFETCH(QString, text);
    QFETCH(Pairs, expected);
    QCOMPARE(parseFieldTypeList(text), expected);

    // The program's own list offers every field type once.
    const Pairs all = parseFieldTypeList(makeFieldTypeListText());
    QCOMPARE(all.size(), 24);
    QSet<QString> placeholders;
    for (const auto &[label, placeholder] : all)
        placeholders.insert(placeholder);
    QCOMPARE(placeholders.size(), 24);
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
