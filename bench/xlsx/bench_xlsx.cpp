#include "XlsxFixture.h"

#include <xlsx/Cell.h>
#include <xlsx/CellReference.h>
#include <xlsx/Document.h>
#include <xlsx/Format.h>
#include <xlsx/Worksheet.h>

#include <QBuffer>
#include <QDateTime>
#include <QFile>

#include <benchmark/benchmark.h>

#include <malloc.h>

// Reading and writing a sheet of 200,000 rows by 10 columns of texts, numbers and dates, and
// reading a sheet full of array formulas.

namespace {

constexpr int Rows = 200000;
constexpr int Columns = 10;
constexpr double Cells = double(Rows) * Columns;

const char *const Cities[] = {"Berlin",    "Hamburg",    "München", "Köln",     "Frankfurt am Main",
                              "Stuttgart", "Düsseldorf", "Leipzig", "Dortmund", "Essen"};

// The workbook as a spreadsheet program saves it: shared strings, a date style.
QByteArray inputWorkbook()
{
    QByteArray strings;
    QByteArray rows;
    rows.reserve(70 << 20);
    int stringCount = 0;
    const auto sharedString = [&](const QByteArray &text) {
        strings += "<si><t>" + text + "</t></si>";
        return QByteArray::number(stringCount++);
    };
    QList<QByteArray> cityIndexes;
    for (const char *city : Cities)
        cityIndexes.append(sharedString(city));
    for (int r = 1; r <= Rows; ++r) {
        const QByteArray row = QByteArray::number(r);
        const auto cell = [&](char column, const char *attributes, const QByteArray &value) {
            rows += QByteArray("<c r=\"") + column + row + '"' + attributes + "><v>" + value +
                "</v></c>";
        };
        rows += "<row r=\"" + row + "\">";
        cell('A', " t=\"s\"", sharedString("Kunde " + row));
        cell('B', " t=\"s\"", cityIndexes[r % cityIndexes.size()]);
        cell('C', "", QByteArray::number(r * 7));
        cell('D', "", QByteArray::number(r * 1.37, 'g', 15));
        cell('E', " s=\"1\"", QByteArray::number(40000 + r % 9000));
        cell('F', " t=\"s\"", sharedString("kunde" + row + "@example.invalid"));
        cell('G', "", QByteArray::number(-r));
        cell('H', " s=\"2\"", QByteArray::number(40000 + r % 9000 + (r % 1440) / 1440.0, 'g', 15));
        cell('I', " t=\"s\"", sharedString("DE" + QByteArray::number(1000000 + r)));
        cell('J', " t=\"b\"", r % 2 ? "1" : "0");
        rows += "</row>";
    }
    const QByteArray styles =
        R"(<fonts count="1"><font><sz val="11"/><name val="Calibri"/></font></fonts>
        <cellXfs count="3"><xf numFmtId="0" fontId="0"/><xf numFmtId="14" fontId="0"/>
        <xf numFmtId="22" fontId="0"/></cellXfs>)";
    return XlsxFixture::workbook({{QStringLiteral("Daten"), XlsxFixture::sheetXml(rows)}}, strings,
                                 styles);
}

qint64 statusValue(const char *key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(int(strlen(key))).trimmed().split(' ').value(0).toLongLong() * 1024;
    return 0;
}

// Measures the peak resident memory a piece of work adds, per cell.
class PeakMemory
{
public:
    PeakMemory()
    {
        malloc_trim(0);
        QFile reset(QStringLiteral("/proc/self/clear_refs"));
        if (reset.open(QIODevice::WriteOnly))
            reset.write("5"); // resets the high-water mark to the current size
        m_baseline = statusValue("VmRSS:");
    }
    double bytesPerCell() const { return double(statusValue("VmHWM:") - m_baseline) / Cells; }

private:
    qint64 m_baseline = 0;
};

void BM_ReadSheet(benchmark::State &state)
{
    const QByteArray input = inputWorkbook();
    double peak = 0;
    for (auto _ : state) {
        const PeakMemory memory;
        const auto doc = XlsxFixture::load(input);
        if (doc->currentWorksheet()->cells().count() != qsizetype(Cells))
            state.SkipWithError("the sheet was not read whole");
        peak = std::max(peak, memory.bytesPerCell());
    }
    state.counters["cells/s"] =
        benchmark::Counter(Cells, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["peak B/cell"] = peak;
    state.counters["input MB"] = double(input.size()) / (1 << 20);
}

// The values of one row as the processing run hands them over, made before the clock runs:
// building a local QDateTime asks the time zone each time, which is not the layer's cost.
QList<QVariant> rowValues(int r)
{
    const QDate day = QDate(2010, 1, 1).addDays(r % 9000);
    return {QStringLiteral("Kunde %1").arg(r),
            QString::fromUtf8(Cities[r % 10]),
            r * 7,
            r * 1.37,
            day,
            QStringLiteral("kunde%1@example.invalid").arg(r),
            -r,
            QDateTime(day, QTime(r % 24, 30)),
            QStringLiteral("DE") + QString::number(1000000 + r),
            r % 2 == 1};
}

void BM_WriteSheet(benchmark::State &state)
{
    const QByteArray empty =
        XlsxFixture::workbook({{QStringLiteral("Daten"), XlsxFixture::sheetXml({})}});
    QXlsx::Format text;
    text.setNumberFormat(QStringLiteral("@"));
    QList<QList<QVariant>> rows;
    rows.reserve(Rows);
    for (int r = 1; r <= Rows; ++r)
        rows.append(rowValues(r));
    double peak = 0;
    qint64 size = 0;
    for (auto _ : state) {
        const PeakMemory memory;
        const auto doc = XlsxFixture::load(empty);
        for (int r = 1; r <= Rows; ++r) {
            const QList<QVariant> &values = rows[r - 1];
            for (int c = 1; c <= Columns; ++c)
                doc->write(r, c, values[c - 1], c == 6 ? text : QXlsx::Format());
        }
        QBuffer output;
        output.open(QIODevice::WriteOnly);
        if (!doc->saveAs(&output))
            state.SkipWithError("saving failed");
        size = output.size();
        peak = std::max(peak, memory.bytesPerCell());
    }
    state.counters["cells/s"] =
        benchmark::Counter(Cells, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["peak B/cell"] = peak;
    state.counters["output MB"] = double(size) / (1 << 20);
}

// Many multi-cell array formulas beside many plain values: every value cell is checked
// against the ranges, which must not cost a pass over all of them.
void BM_ReadArrayFormulas(benchmark::State &state)
{
    const int ranges = int(state.range(0));
    const int values = int(state.range(1));
    QByteArray rows;
    for (int i = 0; i < ranges; ++i) {
        const QByteArray row = QByteArray::number(2 * i + 1);
        const QByteArray next = QByteArray::number(2 * i + 2);
        rows += "<row r=\"" + row + "\"><c r=\"A" + row + "\"><f t=\"array\" ref=\"A" + row + ":B" +
            next + "\">ROW()</f><v>1</v></c>";
        for (int v = 0; v < values / ranges; ++v)
            rows += "<c r=\"" + QXlsx::columnLetters(3 + v).toLatin1() + row + "\"><v>" +
                QByteArray::number(v) + "</v></c>";
        rows += "</row>";
    }
    const QByteArray input =
        XlsxFixture::workbook({{QStringLiteral("Daten"), XlsxFixture::sheetXml(rows)}});
    for (auto _ : state) {
        const auto doc = XlsxFixture::load(input);
        benchmark::DoNotOptimize(doc->currentWorksheet()->cells().count());
    }
    state.counters["cells/s"] =
        benchmark::Counter(double(values + ranges), benchmark::Counter::kIsIterationInvariantRate);
}

// Array formulas whose ranges all reach the sheet's end and so overlap, followed by ordinary
// cells inside those ranges, which must keep their values.
void BM_ReadOverlappingArrayFormulas(benchmark::State &state)
{
    const int ranges = int(state.range(0));
    const int valueRows = int(state.range(1));
    QByteArray rows;
    for (int i = 1; i <= ranges; ++i) {
        const QByteArray row = QByteArray::number(i);
        rows += "<row r=\"" + row + "\"><c r=\"A" + row + "\"><f t=\"array\" ref=\"A" + row +
            ":J1048576\">ROW()</f><v>1</v></c></row>";
    }
    for (int r = ranges + 1; r <= ranges + valueRows; ++r) {
        const QByteArray row = QByteArray::number(r);
        rows += "<row r=\"" + row + "\">";
        for (int c = 1; c <= Columns; ++c)
            rows += "<c r=\"" + QXlsx::columnLetters(c).toLatin1() + row + "\"><v>" +
                QByteArray::number(c) + "</v></c>";
        rows += "</row>";
    }
    const QByteArray input =
        XlsxFixture::workbook({{QStringLiteral("Daten"), XlsxFixture::sheetXml(rows)}});
    for (auto _ : state) {
        const auto doc = XlsxFixture::load(input);
        const QXlsx::Cell *last = doc->cellAt(ranges + valueRows, Columns);
        if (!last || last->isCachedResult())
            state.SkipWithError("a value cell was taken for an array result");
    }
    state.counters["cells/s"] = benchmark::Counter(double(ranges + valueRows * Columns),
                                                   benchmark::Counter::kIsIterationInvariantRate);
}

} // namespace

BENCHMARK(BM_ReadSheet)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_WriteSheet)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ReadArrayFormulas)
    ->Args({20000, 100000})
    ->Args({40000, 200000})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK(BM_ReadOverlappingArrayFormulas)
    ->Args({20000, 20000})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

BENCHMARK_MAIN();
