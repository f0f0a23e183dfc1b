#include "AddressSpaceLimit.h"
#include "DialogTestAccess.h"
#include "ModalDialogStep.h"
#include "RunFixture.h"
#include "WindowTest.h"

#include <run/SettingLimits.h>
#include <window/ConfigurationFile.h>
#include <window/InputFileReader.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSettings>
#include <QSpinBox>
#include <QTableView>
#include <QTest>

#include <cmath>
#include <limits>

using RunFixture::readFile;

namespace {

const QByteArray table = "Name;Ort\nAnna;Berlin\nBert;Köln\n";

// A file of that size that takes no room on the disk.
QString sparseFile(const QString &path, qint64 size)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !file.resize(size))
        qFatal("Cannot make the sparse test file");
    return path;
}

} // namespace

// Inputs larger than memory or without end, and settings from files that no widget checked:
// the window refuses or corrects them and goes on working.
class TestHostileSettings : public WindowTest
{
    Q_OBJECT

private slots:
    void readerRefusesWhatCannotBeHeld_data();
    void readerRefusesWhatCannotBeHeld();
    void hugeInputTypedKeepsTheTable_data();
    void hugeInputTypedKeepsTheTable();
    void rememberedHugeInputStartsAnEmptyWindow();
    void loadOutOfMemoryIsReported();
    void settingsAreBounded_data();
    void settingsAreBounded();
    void loadedConfigurationNeverLeavesOriginals();
    void runNeverLeavesOriginalDates_data();
    void runNeverLeavesOriginalDates();
    void handEditedOptionsFileIsBounded();
    void dialogWidgetsHaveTheSameLimits();

private:
    // A new window over an options file that holds values as a user may have edited them.
    void startWithOptions(const QVariantMap &values);
    QString loaded() const { return DialogTestAccess::loadedInputName(*m_dialog).toString(); }
};

void TestHostileSettings::startWithOptions(const QVariantMap &values)
{
    {
        QSettings options(m_settingsDir->filePath(QStringLiteral("vondrel.opt")),
                          QSettings::IniFormat);
        options.setValue(QStringLiteral("main/vmap"), values);
    }
    newDialog();
}

void TestHostileSettings::readerRefusesWhatCannotBeHeld_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<qint64>("size"); // of a sparse file; -1: the file as it is
    QTest::addColumn<QString>("error");

    QTest::newRow("8 TB") << "gross.csv" << (qint64(8) << 40)
                          << "Die Datei ist zu groß (8,00 TB); geladen werden Dateien bis 2,00 GB.";
    QTest::newRow("one byte too many")
        << "knapp.csv" << InputFileReader::maxBytes + 1
        << "Die Datei ist zu groß (2.147.483.649 Bytes); geladen werden Dateien bis "
           "2.147.483.648 Bytes.";
    QTest::newRow("no size, no end")
        << "/proc/self/pagemap" << qint64(-1)
        << "Die Datei gibt keine Größe an und ist größer als 64,00 MB; sie wird nicht geladen.";
    QTest::newRow("directory") << "." << qint64(-1) << "Der Name bezeichnet einen Ordner.";
}

void TestHostileSettings::readerRefusesWhatCannotBeHeld()
{
    QFETCH(QString, file);
    QFETCH(qint64, size);
    QFETCH(QString, error);

    const QString name =
        size < 0 ? QDir(m_dir->path()).absoluteFilePath(file) : sparseFile(path(file), size);
    QElapsedTimer timer;
    timer.start();
    InputFileReader reader;
    QByteArray bytes = "alt";
    QVERIFY(!reader.read(name, bytes));
    QCOMPARE(reader.errorString(), error);
    QVERIFY(bytes.isEmpty());
    QVERIFY2(timer.elapsed() < 5000, "refused before reading");

    // A file without size that ends below the cap is read whole.
    QVERIFY(InputFileReader().read(QStringLiteral("/proc/self/status"), bytes));
    QVERIFY(bytes.startsWith("Name:"));
}

void TestHostileSettings::hugeInputTypedKeepsTheTable_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("reason");
    QTest::newRow("sparse")
        << "gross.csv"
        << "Die Datei ist zu groß (8,00 TB); geladen werden Dateien bis 2,00 GB.";
    QTest::newRow("pagemap")
        << "/proc/self/pagemap"
        << "Die Datei gibt keine Größe an und ist größer als 64,00 MB; sie wird nicht geladen.";
}

void TestHostileSettings::hugeInputTypedKeepsTheTable()
{
    QFETCH(QString, file);
    QFETCH(QString, reason);

    const QString small = writeFile("klein.csv", table);
    choose(small);
    QCOMPARE(loaded(), small);
    const QString huge =
        file.startsWith(QLatin1Char('/')) ? file : sparseFile(path(file), qint64(8) << 40);
    choose(huge);
    QCOMPARE(takePrompts(),
             QStringList({QStringLiteral("Dateifehler:|Datei:\r\n%1\r\n%2").arg(huge, reason)}));
    QCOMPARE(loaded(), small);
    QCOMPARE(DialogTestAccess::rawInput(*m_dialog), table);
    QCOMPARE(DialogTestAccess::inputView(*m_dialog)->model()->rowCount(), 3);
}

void TestHostileSettings::rememberedHugeInputStartsAnEmptyWindow()
{
    const QString huge = sparseFile(path("gross.csv"), qint64(8) << 40);
    startWithOptions({{QStringLiteral("input_filename"), huge}});
    QCOMPARE(takePrompts(),
             QStringList({QStringLiteral("Dateifehler:|Datei:\r\n%1\r\nDie Datei "
                                         "ist zu groß (8,00 TB); geladen werden "
                                         "Dateien bis 2,00 GB.")
                              .arg(huge)}));
    QVERIFY(DialogTestAccess::rawInput(*m_dialog).isEmpty());
    QCOMPARE(columns()->count(), 0);

    // And it works: another file loads and runs.
    choose(writeFile("klein.csv", table));
    assignType(0, QStringLiteral("<NAME>"));
    setText("export_filename", path("aus.csv"));
    press("tmp_testen");
    QCOMPARE(takePrompts(), QStringList({"Info:|Die Ausgabedatei wurde erstellt."}));
    QVERIFY(!readFile(path("aus.csv")).contains("Anna"));
}

void TestHostileSettings::loadOutOfMemoryIsReported()
{
    if (!AddressSpaceLimit::usable)
        QSKIP("The address sanitizer needs more address space than the limit leaves");
    const QString small = writeFile("klein.csv", table);
    choose(small);
    // Below the size limit, but more than the address space left to the process.
    const QString large = sparseFile(path("gross.csv"), qint64(1) << 30);
    {
        const AddressSpaceLimit limit(qint64(256) << 20);
        QVERIFY(limit.isActive());
        choose(large);
    }

    QCOMPARE(takePrompts(),
             QStringList({QStringLiteral("Dateifehler:|Datei:\r\n%1\r\nEs ist nicht "
                                         "genug Arbeitsspeicher frei, um die Datei "
                                         "zu laden.")
                              .arg(large)}));
    QCOMPARE(loaded(), small);
    QCOMPARE(DialogTestAccess::rawInput(*m_dialog), table);
}

void TestHostileSettings::settingsAreBounded_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QVariant>("bounded");
    QTest::addColumn<bool>("corrected");

    const QString factor = QStringLiteral("intScaleFactor");
    const double infinity = std::numeric_limits<double>::infinity();
    QTest::newRow("factor NaN") << factor << QVariant(std::nan("")) << QVariant(1.0) << true;
    QTest::newRow("factor text") << factor << QVariant("viel") << QVariant(1.0) << true;
    QTest::newRow("factor infinite")
        << "floatScaleFactor" << QVariant(infinity) << QVariant(SettingLimits::maxFactor) << true;
    QTest::newRow("factor -infinite") << factor << QVariant(-infinity) << QVariant(1.0) << true;
    QTest::newRow("factor negative") << factor << QVariant(-2.5) << QVariant(1.0) << true;
    QTest::newRow("factor 1e308") << factor << QVariant(1e308) << QVariant(SettingLimits::maxFactor)
                                  << true;
    QTest::newRow("factor three decimals") << factor << QVariant(1.234) << QVariant(1.23) << true;
    QTest::newRow("factor as text") << factor << QVariant("2.5") << QVariant(2.5) << false;
    QTest::newRow("factor fine") << factor << QVariant(1.5) << QVariant(1.5) << false;

    const QString shift = QStringLiteral("dateMaxShiftDays");
    QTest::newRow("shift 0") << shift << QVariant(0) << QVariant(30) << true;
    QTest::newRow("shift -30") << shift << QVariant(-30) << QVariant(30) << true;
    QTest::newRow("shift INT_MIN") << shift << QVariant(INT_MIN) << QVariant(30) << true;
    QTest::newRow("shift INT_MAX") << shift << QVariant(INT_MAX) << QVariant(36500) << true;
    QTest::newRow("shift 2^40") << shift << QVariant(qint64(1) << 40) << QVariant(36500) << true;
    QTest::newRow("shift 2^40 as text")
        << shift << QVariant("1099511627776") << QVariant(36500) << true;
    QTest::newRow("shift NaN") << shift << QVariant(std::nan("")) << QVariant(365) << true;
    QTest::newRow("shift fine") << shift << QVariant("100") << QVariant(100) << false;

    const QString longFormat(100000, u'd');
    QTest::newRow("format too long")
        << "textToDateFmt" << QVariant(longFormat) << QVariant(longFormat.left(256)) << true;
    QTest::newRow("format fine") << "dateToTextFmt" << QVariant("yyyy-MM-dd")
                                 << QVariant("yyyy-MM-dd") << false;
    QTest::newRow("other key") << "simulateReal" << QVariant(-1) << QVariant(-1) << false;
}

void TestHostileSettings::settingsAreBounded()
{
    QFETCH(QString, key);
    QFETCH(QVariant, value);
    QFETCH(QVariant, bounded);
    QFETCH(bool, corrected);

    bool changed = !corrected;
    QCOMPARE(SettingLimits::bounded(key, value, &changed), bounded);
    QCOMPARE(changed, corrected);
}

void TestHostileSettings::loadedConfigurationNeverLeavesOriginals()
{
    QByteArray input = "Name;Geburtstag\n";
    for (int day = 1; day <= 28; ++day)
        input += "Anna;" + QByteArray::number(day).rightJustified(2, '0') + ".03.1990\n";
    choose(writeFile("eingabe.csv", input));
    assignType(1, QStringLiteral("<DATE>"));
    setText("export_filename", path("aus.csv"));
    m_dialog->optionMap().insert(QStringLiteral("pseudo_key"), RunFixture::key());
    QVariantMap contents {{QStringLiteral("input_filename"), path("eingabe.csv")},
                          {QStringLiteral("export_filename"), path("aus.csv")}};
    contents.insert(QStringLiteral("dateMaxShiftDays"), -30);
    contents.insert(QStringLiteral("intScaleFactor"), std::nan(""));
    contents.insert(QStringLiteral("floatScaleFactor"), 1e308);
    contents.insert(QStringLiteral("textToDateFmt"), QString(100000, u'd'));
    contents.insert(ConfigurationFile::connectedFieldsKey,
                    QVariantMap {{QStringLiteral("2"), QStringLiteral("<DATE>")}});
    const QString configuration = path("feindlich.vondrel.conf");
    // Written by hand, past the checks of the program's own saving.
    {
        QSettings file(configuration, QSettings::IniFormat);
        file.setValue(QStringLiteral("config_data/vmap"), contents);
    }

    QVERIFY(m_dialog->loadConfigurationFrom(configuration));
    // Told once, by the dialog's names of the settings.
    QCOMPARE(takePrompts(),
             QStringList({"Info:|Diese Einstellungen lagen außerhalb der erlaubten "
                          "Grenzen und wurden angepasst:\r\nMaximale Verschiebung für "
                          "Datumswerte in Tagen:\r\nFaktor für Gleitkommazahlen:\r\nFaktor für "
                          "Ganzzahlen:\r\nText zu Datum: Formatierung:"}));
    QCOMPARE(DialogTestAccess::setting(*m_dialog, "dateMaxShiftDays"), QVariant(30));
    QCOMPARE(m_dialog->optionMap().value("dateMaxShiftDays"), QVariant(30));
    QCOMPARE(m_dialog->optionMap().value("intScaleFactor"), QVariant(1.0));
    QCOMPARE(DialogTestAccess::dateText(*m_dialog).textToDateFmt.size(), 256);

    // The format is back to what the dates are written in, and every date moves.
    m_dialog->optionMap().insert(QStringLiteral("textToDateFmt"), QStringLiteral("dd.MM.yyyy"));
    DialogTestAccess::takeSettings(*m_dialog);
    press("tmp_testen");
    QCOMPARE(takePrompts(), QStringList({"Info:|Die Ausgabedatei wurde erstellt."}));
    const QList<QByteArray> lines = readFile(path("aus.csv")).split('\n');
    QCOMPARE(lines.size(), 30);
    for (int day = 1; day <= 28; ++day) {
        const QByteArray date = QByteArray::number(day).rightJustified(2, '0') + ".03.1990";
        const QList<QByteArray> fields = lines.at(day).split(';');
        QVERIFY2(QRegularExpression(QStringLiteral("^\"\\d\\d\\.\\d\\d\\.\\d{4}\"$"))
                     .match(QString::fromUtf8(fields.at(1)))
                     .hasMatch(),
                 lines.at(day).constData());
        QVERIFY2(!fields.at(1).contains(date), lines.at(day).constData());
    }
}

void TestHostileSettings::runNeverLeavesOriginalDates_data()
{
    QTest::addColumn<int>("shift");
    QTest::newRow("0") << 0;
    QTest::newRow("-30") << -30;
    QTest::newRow("INT_MIN") << INT_MIN;
    QTest::newRow("INT_MAX") << INT_MAX;
}

void TestHostileSettings::runNeverLeavesOriginalDates()
{
    QFETCH(int, shift);

    // Settings made without the window: the run keeps the limits all the same.
    RunSettings settings = RunFixture::csvSettings(path("ein.csv"), path("aus.csv"));
    settings.templates.insert(0, QStringLiteral("<DATE>"));
    settings.dateMaxShiftDays = shift;
    const RunResult result = RunFixture::runCsv(settings, "Datum\n16.08.1993\n");
    QVERIFY2(result.success, qPrintable(result.messageText));
    const QByteArray date = readFile(path("aus.csv")).split('\n').at(1);
    const QDate shifted =
        QDate::fromString(QString::fromLatin1(date).remove(u'"'), QStringLiteral("dd.MM.yyyy"));
    QVERIFY2(shifted.isValid(), date.constData());
    const qint64 days = qAbs(shifted.daysTo(QDate(1993, 8, 16)));
    QVERIFY2(days > 0 && days <= SettingLimits::maxShiftDays, date.constData());
}

void TestHostileSettings::handEditedOptionsFileIsBounded()
{
    startWithOptions({{QStringLiteral("dateMaxShiftDays"), INT_MAX},
                      {QStringLiteral("dateToTextFmt"), QString(300, u'y')},
                      {QStringLiteral("floatScaleFactor"), 2.5}});
    QCOMPARE(takePrompts(),
             QStringList({"Info:|Diese Einstellungen lagen außerhalb der erlaubten "
                          "Grenzen und wurden angepasst:\r\nMaximale Verschiebung für "
                          "Datumswerte in Tagen:\r\nDatum zu Text: Formatierung:"}));
    QCOMPARE(DialogTestAccess::setting(*m_dialog, "dateMaxShiftDays"), QVariant(36500));
    QCOMPARE(DialogTestAccess::setting(*m_dialog, "floatScaleFactor"), QVariant(2.5));
    QCOMPARE(DialogTestAccess::dateText(*m_dialog).dateToTextFmt, QString(256, u'y'));

    // No number at all is named as a configuration file's is.
    startWithOptions({{QStringLiteral("intScaleFactor"), std::nan("")}});
    QCOMPARE(takePrompts(),
             QStringList({"Info:|Diese Einstellungen lagen außerhalb der erlaubten "
                          "Grenzen und wurden angepasst:\r\nFaktor für Ganzzahlen:"}));
    QCOMPARE(DialogTestAccess::setting(*m_dialog, "intScaleFactor"), QVariant(1.0));
    // The file still holds it when the first run stores its new key there, and when the
    // window saves its values at the close.
    choose(writeFile("klein.csv", table));
    assignType(0, QStringLiteral("<NAME>"));
    setText("export_filename", path("aus.csv"));
    press("tmp_testen");
    QCOMPARE(takePrompts(), QStringList({"Info:|Die Ausgabedatei wurde erstellt."}));
    QVERIFY(m_dialog->close());
    QCOMPARE(takePrompts(), QStringList());
    QCOMPARE(storedOptions().value(QStringLiteral("intScaleFactor")), QVariant(1.0));
}

void TestHostileSettings::dialogWidgetsHaveTheSameLimits()
{
    const auto ran = onNextModalDialog(m_dialog.get(), [](QDialog *settings) {
        const QSpinBox *shift = settings->findChildren<QSpinBox *>().constFirst();
        QCOMPARE(shift->minimum(), SettingLimits::minShiftDays);
        QCOMPARE(shift->maximum(), SettingLimits::maxShiftDays);
        for (const QDoubleSpinBox *factor : settings->findChildren<QDoubleSpinBox *>()) {
            QCOMPARE(factor->minimum(), SettingLimits::minFactor);
            QCOMPARE(factor->maximum(), SettingLimits::maxFactor);
        }
        const QList<QLineEdit *> formats = settings->findChildren<QLineEdit *>();
        QCOMPARE(formats.size() >= 4, true);
        for (QLineEdit *format : formats) {
            if (format->parent() && qobject_cast<QAbstractSpinBox *>(format->parent()))
                continue;
            QCOMPARE(format->maxLength(), SettingLimits::maxFormatLength);
            format->setText(QString(1000, u'd'));
            QCOMPARE(format->text().size(), SettingLimits::maxFormatLength);
        }
    });
    press("config_replacements");
    QVERIFY(*ran);
}

QTEST_MAIN(TestHostileSettings)
#include "tst_hostilesettings.moc"
