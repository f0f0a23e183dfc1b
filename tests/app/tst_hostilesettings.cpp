#include "DialogTestAccess.h"
#include "InputFileReader.h"
#include "RunFixture.h"
#include "WindowTest.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSettings>
#include <QTableView>
#include <QTest>

#include <sys/resource.h>
#include <unistd.h>

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

#if defined(__SANITIZE_ADDRESS__)
constexpr bool addressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool addressSanitizer = true;
#else
constexpr bool addressSanitizer = false;
#endif
#else
constexpr bool addressSanitizer = false;
#endif

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

private:
    QString loaded() const { return DialogTestAccess::loadedInputName(*m_dialog).toString(); }
};

void TestHostileSettings::readerRefusesWhatCannotBeHeld_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<qint64>("size"); // of a sparse file; -1: the file as it is
    QTest::addColumn<QString>("error");

    QTest::newRow("8 TB") << "gross.csv" << (qint64(8) << 40)
                          << "Die Datei ist zu groß (8,00 TB); geladen werden Dateien bis 2,00 GB.";
    QTest::newRow("one byte too many")
        << "knapp.csv" << InputFileReader::maxBytes + 1
        << "Die Datei ist zu groß (2,00 GB); geladen werden Dateien bis 2,00 GB.";
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
    {
        QSettings options(m_settingsDir->filePath(QStringLiteral("vondrel.opt")),
                          QSettings::IniFormat);
        options.setValue(QStringLiteral("main/vmap"),
                         QVariantMap {{QStringLiteral("input_filename"), huge}});
    }
    newDialog();
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
    if (addressSanitizer)
        QSKIP("The address sanitizer needs more address space than the limit leaves");
    const QString small = writeFile("klein.csv", table);
    choose(small);
    // Below the size limit, but more than the address space left to the process.
    const QString large = sparseFile(path("gross.csv"), qint64(1) << 30);
    rlimit before {};
    QVERIFY(getrlimit(RLIMIT_AS, &before) == 0);
    const QByteArray statm = readFile(QStringLiteral("/proc/self/statm"));
    const rlim_t used = rlim_t(statm.split(' ').first().toLongLong()) * rlim_t(getpagesize());
    rlimit limited = before;
    limited.rlim_cur = used + (rlim_t(256) << 20);
    QVERIFY(setrlimit(RLIMIT_AS, &limited) == 0);
    choose(large);
    setrlimit(RLIMIT_AS, &before);

    QCOMPARE(takePrompts(),
             QStringList({QStringLiteral("Dateifehler:|Datei:\r\n%1\r\nEs ist nicht "
                                         "genug Arbeitsspeicher frei, um die Datei "
                                         "zu laden.")
                              .arg(large)}));
    QCOMPARE(loaded(), small);
    QCOMPARE(DialogTestAccess::rawInput(*m_dialog), table);
}

QTEST_MAIN(TestHostileSettings)
#include "tst_hostilesettings.moc"
