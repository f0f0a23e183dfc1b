#include "RunFixture.h"
#include "XlsxFixture.h"

#include <run/ProcessingRun.h>
#include <xlsx/Cell.h>
#include <xlsx/CellReference.h>
#include <xlsx/Document.h>
#include <xlsx/Workbook.h>
#include <xlsx/Worksheet.h>

#ifdef VONDREL_PYTHON
#include "Openpyxl.h"
#endif

#include <QBuffer>
#include <QDebug>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

using namespace QXlsx;

namespace {

QByteArray corpusFile(const QString &name)
{
    QFile file(QStringLiteral(CORPUS_DIR "/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString describe(const Worksheet &sheet, int row, int column)
{
    return sheet.sheetName() + u'!' + CellReference(row, column).toString();
}

bool holdsSomething(const Cell &cell)
{
    return cell.format().isValid() || cell.formula().isValid() ||
        (cell.cellType() != Cell::BlankType && !cell.isCachedResult());
}

// Where the copy differs from the input as the project's own reader sees them, one line per
// difference: sheets, their layout, and every cell's value, type, formula and format.
QStringList differences(const Document &input, const Document &copy)
{
    QStringList found;
    const Workbook &in = *input.workbook();
    const Workbook &out = *copy.workbook();
    if (in.sheetNames() != out.sheetNames())
        return {QStringLiteral("sheet names")};
    if (in.definedNames() != out.definedNames())
        found << QStringLiteral("defined names");
    for (int i = 0; i < in.sheetCount(); ++i) {
        const Worksheet &a = *in.sheet(i);
        const Worksheet &b = *out.sheet(i);
        if (a.sheetState() != b.sheetState() || a.mergedCells() != b.mergedCells() ||
            a.columnWidths() != b.columnWidths() || a.rowHeights() != b.rowHeights() ||
            a.frozenRows() != b.frozenRows() || a.frozenColumns() != b.frozenColumns())
            found << a.sheetName() + QStringLiteral(": layout");
        if (a.rowOutlines() != b.rowOutlines() || a.columnOutlines() != b.columnOutlines() ||
            a.summaryRowsBelow() != b.summaryRowsBelow() ||
            a.summaryColumnsRight() != b.summaryColumnsRight() || a.defaults() != b.defaults())
            found << a.sheetName() + QStringLiteral(": outline or default sizes");
        a.cells().forEachCell([&](int row, int column, const Cell &cell) {
            const Cell *other = b.cellAt(row, column);
            const QString where = describe(a, row, column);
            if (!holdsSomething(cell))
                return;
            if (!other) {
                found << where + QStringLiteral(": missing");
                return;
            }
            if (other->format() != cell.format())
                found << where + QStringLiteral(": format ") + QDebug::toString(cell.format()) +
                        u' ' + QDebug::toString(other->format());
            if (other->formula().formulaText() != cell.formula().formulaText() ||
                other->formula().formulaType() != cell.formula().formulaType() ||
                other->formula().reference() != cell.formula().reference())
                found << where + QStringLiteral(": formula");
            // A recorded result is left for the spreadsheet program to compute again.
            const bool data = !cell.formula().isValid() && !cell.isCachedResult();
            if (data && (other->value() != cell.value() || other->cellType() != cell.cellType()))
                found << where + QStringLiteral(": value");
            if (!data && other->value().isValid())
                found << where + QStringLiteral(": recorded result kept");
        });
        b.cells().forEachCell([&](int row, int column, const Cell &cell) {
            const Cell *original = a.cellAt(row, column);
            if (holdsSomething(cell) && (!original || !holdsSomething(*original)))
                found << describe(b, row, column) + QStringLiteral(": added");
        });
    }
    return found;
}

#ifdef VONDREL_PYTHON
QString jsonText(const QJsonValue &value)
{
    return QString::fromUtf8(value.isObject() ? QJsonDocument(value.toObject()).toJson()
                                              : QJsonDocument(value.toArray()).toJson());
}

// What a cell of the original is expected to be in the copy, as openpyxl reads it: want holds
// the original's reading and may be changed; false leaves the cell out of the comparison.
using CellExpectation =
    std::function<bool(const QString &sheet, const CellReference &position, QJsonObject *want)>;

// Where openpyxl reads the copy otherwise than the original, one line per difference: the
// sheets with their outlines and default sizes, the defined names but the dropped ones, and
// every cell with a value or a style of its own.
QStringList openpyxlDifferences(const QString &original, const QString &copied,
                                const Document &input, const QStringList &droppedNames,
                                const CellExpectation &expected = {})
{
    const QJsonObject before = Openpyxl::json(QStringLiteral("cells"), original);
    const QJsonObject after = Openpyxl::json(QStringLiteral("cells"), copied);
    if (before.isEmpty() || after.isEmpty())
        return {QStringLiteral("openpyxl cannot read the files")};
    QStringList found;
    const QJsonValue sheets = before.value(QStringLiteral("sheets"));
    if (after.value(QStringLiteral("sheets")) != sheets)
        found << QStringLiteral("sheets ") + jsonText(after.value(QStringLiteral("sheets"))) +
                jsonText(sheets);
    QJsonArray keptNames;
    for (const QJsonValue &name : before.value(QStringLiteral("names")).toArray())
        if (!droppedNames.contains(name.toArray().at(0).toString()))
            keptNames.append(name);
    if (after.value(QStringLiteral("names")).toArray() != keptNames)
        found << QStringLiteral("names ") + jsonText(after.value(QStringLiteral("names"))) +
                jsonText(keptNames);

    const QJsonObject cellsBefore = before.value(QStringLiteral("cells")).toObject();
    const QJsonObject cellsAfter = after.value(QStringLiteral("cells")).toObject();
    for (auto it = cellsBefore.begin(); it != cellsBefore.end(); ++it) {
        const QString sheet = it.key().section(u'!', 0, 0);
        const CellReference position = CellReference::fromString(it.key().section(u'!', 1));
        const Worksheet *worksheet = input.workbook()->sheet(sheet);
        const Cell *cell =
            worksheet ? worksheet->cellAt(position.row(), position.column()) : nullptr;
        QJsonObject want = it.value().toObject();
        const QJsonObject got = cellsAfter.value(it.key()).toObject();
        // Recorded array results are left out of the copy, and so is a cell without a
        // style that held nothing else.
        if (cell && cell->isCachedResult() && !cell->formula().isValid()) {
            if (got.isEmpty() && !cell->format().isValid())
                continue;
            want.insert(QStringLiteral("value"), QJsonValue::Null);
        }
        if (expected && !expected(sheet, position, &want))
            continue;
        if (!Openpyxl::sameLayout(got, want))
            found << it.key() + u' ' + jsonText(got) + jsonText(want);
    }
    for (auto it = cellsAfter.begin(); it != cellsAfter.end(); ++it)
        if (!cellsBefore.contains(it.key()))
            found << it.key() + QStringLiteral(" added");
    return found;
}
#endif

} // namespace

// Workbooks saved by another spreadsheet program (tests/xlsx/data, see make_corpus.py) copied
// as a run copies them: every sheet, cell, style and name the copy keeps must be what the
// original holds, as both the project's reader and openpyxl read them.
class TestCorpus : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void copyKeepsEverything_data();
    void copyKeepsEverything();
    void namesAndAlignmentAsSaved();
    void runKeepsWhatItDoesNotTouch_data();
    void runKeepsWhatItDoesNotTouch();
    void copyInMemory_data();
    void copyInMemory();

private:
    QTemporaryDir m_dir;
};

void TestCorpus::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

void TestCorpus::copyKeepsEverything_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("droppedNames");
    QTest::newRow("umsatz") << "umsatz.xlsx" << QStringList {QStringLiteral("Gruss")};
    QTest::newRow("termine") << "termine.xlsx" << QStringList {};
    QTest::newRow("gliederung") << "gliederung.xlsx" << QStringList {};
}

void TestCorpus::copyKeepsEverything()
{
    QFETCH(QString, file);
    QFETCH(QStringList, droppedNames);
    const QByteArray bytes = corpusFile(file);
    QVERIFY2(!bytes.isEmpty(), qPrintable(file));
    const auto input = XlsxFixture::load(bytes);
    QCOMPARE(input->errorString(), QString());
    const QString original = m_dir.filePath(file);
    const QString copied = m_dir.filePath(QStringLiteral("copy-") + file);
    QFile::remove(original);
    QVERIFY(QFile::copy(QStringLiteral(CORPUS_DIR "/") + file, original));
    QVERIFY(input->saveAs(copied));
    QFile copyFile(copied);
    QVERIFY(copyFile.open(QIODevice::ReadOnly));
    const auto copy = XlsxFixture::load(copyFile.readAll());
    QCOMPARE(copy->errorString(), QString());
    const QStringList found = differences(*input, *copy);
    QVERIFY2(found.isEmpty(), qPrintable(found.join(u'\n')));

#ifdef VONDREL_PYTHON
    QVERIFY2(Openpyxl::available(), "python3-openpyxl is missing; scripts/deps.sh installs it");
    const QStringList mismatches = openpyxlDifferences(original, copied, *input, droppedNames);
    QVERIFY2(mismatches.isEmpty(), qPrintable(mismatches.join(u'\n')));
#endif
}

void TestCorpus::namesAndAlignmentAsSaved()
{
    // What the corpus holds, so that the comparison above cannot pass on an empty reading.
    const auto doc = XlsxFixture::load(corpusFile(QStringLiteral("umsatz.xlsx")));
    QCOMPARE(doc->sheetNames(),
             QStringList({QStringLiteral("Kunden"), QStringLiteral("Geheim"),
                          QStringLiteral("Auswertung")}));
    QCOMPARE(doc->workbook()->sheet(1)->sheetState(), Worksheet::SheetHidden);
    QStringList names;
    for (const DefinedName &name : doc->workbook()->definedNames())
        names << name.name + u'=' + name.formula + u'@' + QString::number(name.sheetIndex);
    QCOMPARE(
        names,
        QStringList(
            {QStringLiteral("Faktor=1.5@-1"), QStringLiteral("Gesamt=SUM(Kunden!$C$2:$C$5)*2@-1"),
             QStringLiteral("Grenze=Geheim!$B$2@-1"), QStringLiteral("Steuersatz=Geheim!$B$1@-1"),
             QStringLiteral("Umsaetze=Kunden!$C$2:$C$5@-1"), QStringLiteral("Rabatt=0.05@2")}));
    QVERIFY(doc->selectSheet(QStringLiteral("Auswertung")));
    QCOMPARE(doc->read(4, 2), QVariant(QStringLiteral("=B3*Steuersatz")));
    QVERIFY(doc->selectSheet(QStringLiteral("Kunden")));
    QVERIFY(doc->cellAt(1, 1)->format().textWrap());
    QCOMPARE(doc->cellAt(2, 2)->format().indent(), 2);
    QVERIFY(doc->cellAt(2, 7)->format().shrinkToFit());
    QCOMPARE(doc->cellAt(1, 8)->format().rotation(), 90);
    QCOMPARE(doc->cellAt(3, 8)->format().rotation(), Format::StackedRotation);
    QCOMPARE(doc->cellAt(4, 8)->format().readingOrder(), Format::ReadingOrderRightToLeft);
    QCOMPARE(doc->cellAt(2, 5)->format().numberFormat(), QStringLiteral("dd\\.mm\\.yyyy"));
}

void TestCorpus::runKeepsWhatItDoesNotTouch_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("named"); // the column given names, -1 for none
    QTest::addColumn<int>("cleared"); // the column emptied, -1 for none

    QTest::newRow("names") << "umsatz.xlsx" << 0 << -1;
    // A bordered and filled column emptied beside hidden rows under a SUBTOTAL, grouped rows
    // and columns and sheets of their own default sizes.
    QTest::newRow("emptied beside an outline") << "gliederung.xlsx" << -1 << 1;
}

void TestCorpus::runKeepsWhatItDoesNotTouch()
{
    // What the run writes keeps the look of the cell it replaces, an emptied cell loses only
    // its value, and everything else stays as it was.
    QFETCH(QString, file);
    QFETCH(int, named);
    QFETCH(int, cleared);
    const QByteArray bytes = corpusFile(file);
    const QString output = m_dir.filePath(QStringLiteral("run.xlsx"));
    const QString inputPath = m_dir.filePath(QStringLiteral("run-input.xlsx"));
    RunFixture::writeFile(inputPath, bytes);
    RunSettings settings = RunFixture::csvSettings(inputPath, output);
    if (named >= 0)
        settings.templates = {{named, QStringLiteral("<NAME>")}};
    if (cleared >= 0)
        settings.clearedColumns = {cleared};
    const auto input = XlsxFixture::load(bytes);
    RunInput runInput;
    runInput.isXlsx = true;
    runInput.document = input.get();
    runInput.rawInput = bytes;
    const RunResult result = ProcessingRun(settings, runInput).exec();
    QVERIFY2(result.success, qPrintable(result.messageText));

    const auto copy = XlsxFixture::load(RunFixture::readFile(output));
    QCOMPARE(copy->errorString(), QString());
    const Worksheet &before = *input->workbook()->sheet(0);
    Worksheet &after = *copy->workbook()->sheet(0);
    // The data rows below the title whose cells the run changed.
    QList<std::pair<int, int>> changed;
    before.cells().forEachCell([&](int row, int column, const Cell &cell) {
        if (row >= 2 && (column == named + 1 || column == cleared + 1) &&
            !cell.value().toString().trimmed().isEmpty())
            changed.append({row, column});
    });
    QVERIFY(!changed.isEmpty());
    for (const auto &[row, column] : changed) {
        const Cell *original = before.cellAt(row, column);
        const Cell *written = after.cellAt(row, column);
        QVERIFY(written);
        if (column == cleared + 1) {
            QCOMPARE(written->value(), QVariant());
            QCOMPARE(written->format(), original->format());
        } else {
            QVERIFY(written->value() != original->value());
            // The names of that workbook wrap; a look that is kept keeps that.
            QVERIFY(written->format().textWrap() || file != QLatin1String("umsatz.xlsx"));
            Format look = written->format();
            look.setNumberFormat(original->format().numberFormat());
            QCOMPARE(look, original->format());
        }
        // Put back, so that the comparison below covers every other cell.
        after.cells().obtain(row, column) = *original;
    }
    const QStringList found = differences(*input, *copy);
    QVERIFY2(found.isEmpty(), qPrintable(found.join(u'\n')));

#ifdef VONDREL_PYTHON
    const QString runSheet = before.sheetName();
    const QStringList mismatches = openpyxlDifferences(
        inputPath, output, *input, {QStringLiteral("Gruss")},
        [&](const QString &sheet, const CellReference &position, QJsonObject *want) {
            if (sheet != runSheet || !changed.contains({position.row(), position.column()}))
                return true;
            if (position.column() != cleared + 1)
                return false; // a pseudonym in place of the name, checked above
            want->insert(QStringLiteral("value"), QJsonValue::Null);
            want->insert(QStringLiteral("type"), QStringLiteral("n"));
            return true;
        });
    QVERIFY2(mismatches.isEmpty(), qPrintable(mismatches.join(u'\n')));
#endif
}

void TestCorpus::copyInMemory_data()
{
    copyKeepsEverything_data();
}

void TestCorpus::copyInMemory()
{
    // A run copies an unedited workbook in memory instead of reading its bytes again: the copy
    // must save to what a second reading saves to, and writing it must leave the input alone.
    QFETCH(QString, file);
    const QByteArray bytes = corpusFile(file);
    const auto input = XlsxFixture::load(bytes);
    const QString lastSheet = input->sheetNames().constLast();
    QVERIFY(input->selectSheet(lastSheet));
    QVERIFY(input->isReadFrom(bytes));
    QVERIFY(!input->isReadFrom(bytes + ' '));

    const auto saved = [](Document &document) {
        QBuffer buffer;
        return document.saveAs(&buffer) ? buffer.data() : QByteArray();
    };
    const QByteArray inputSaved = saved(*input);
    const std::unique_ptr<Document> copy = input->copy();
    QVERIFY(!copy->isReadFrom(bytes));
    QCOMPARE(copy->currentWorksheet()->sheetName(), lastSheet);
    const QByteArray copySaved = saved(*copy);
    QVERIFY(!copySaved.isEmpty());
    QCOMPARE(copySaved, inputSaved);
    QCOMPARE(copySaved, saved(*XlsxFixture::load(bytes)));

    Format bold;
    bold.setFontBold(true);
    copy->workbook()->sheet(0)->cells().forEachCell([&](int row, int column, const Cell &) {
        QVERIFY(copy->workbook()->sheet(0)->write(row, column, QStringLiteral("neu"), bold));
    });
    QVERIFY(copy->write(1, 1, 42));
    QVERIFY(copy->workbook()->sheet(0)->write(1000, 30, QStringLiteral("weit")));
    QCOMPARE(saved(*input), inputSaved);
    const QByteArray copyWritten = saved(*copy);
    QVERIFY(copyWritten != inputSaved);
    // And the other way round: cells the input gains stay out of the copy.
    const auto second = input->copy();
    QVERIFY(input->workbook()->sheet(0)->write(2000, 3, QStringLiteral("nur hier")));
    QVERIFY(input->workbook()->sheet(0)->write(1, 1, QStringLiteral("auch")));
    QCOMPARE(saved(*second), inputSaved);
    QCOMPARE(saved(*copy), copyWritten);
}

QTEST_MAIN(TestCorpus)
#include "tst_corpus.moc"
