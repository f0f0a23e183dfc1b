// Reading, writing and sniffing a generated CSV file of one million rows and ten columns
// (about 110 MB with CR LF line ends: text, numbers, dates, quoted fields holding separators
// and doubled quotes). Reading is also measured with three million rows, to see that the
// model grows linearly. Run alone for clean memory figures:
//   bench_csvmodel --benchmark_filter=Read/1000000

#include <tables/CsvSniffer.h>
#include <tables/QxtCsvModel.h>
#include <tables/TextEncodingDetector.h>

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <unistd.h>

#include <malloc.h>

#include <cstdio>
#include <map>
#include <memory>

namespace {

constexpr int millionRows = 1000000;
constexpr int readFlags = QxtCsvModel::QuoteDouble | QxtCsvModel::EscapeDoubledQuote;
constexpr int writeFlags = readFlags | QxtCsvModel::QuoteAlways;

const char *const surnames[] = {"Müller", "Schmidt", "Schneider", "Fischer", "Weber", "Öztürk"};
const char *const givenNames[] = {"Anna", "Jürgen", "Lena", "Paul", "Zoë", "Max"};
const char *const places[] = {"Köln", "Berlin", "Hamburg", "München", "Bonn"};

QByteArray generateRow(int i)
{
    QByteArray row;
    row.reserve(160);
    row += QByteArray::number(i);
    row += ';';
    row += '"';
    row += surnames[i % 6];
    row += "; ";
    row += givenNames[(i / 6) % 6];
    row += '"';
    row += ';';
    row += "Weg " + QByteArray::number(i % 200 + 1);
    row += ';';
    row += QByteArray::number(10000 + i % 89999) + ' ' + places[i % 5];
    row += ';';
    row += "u" + QByteArray::number(i) + "@x.de";
    row += ';';
    row += QByteArray::number(1950 + i % 70) + '-' +
        QByteArray::number(1 + i % 12).rightJustified(2, '0') + '-' +
        QByteArray::number(1 + i % 28).rightJustified(2, '0');
    row += ';';
    row +=
        QByteArray::number(i % 100000) + ',' + QByteArray::number(i % 100).rightJustified(2, '0');
    row += ';';
    row +=
        "DE" + QByteArray::number(10 + i % 89) + "3704004405320130" + QByteArray::number(i % 100);
    row += ';';
    row += (i % 3 == 0) ? QByteArray("\"\"\"ja\"\"; nein\"") : QByteArray("offen");
    row += ';';
    row += QByteArray::number(i * 7 % 1000);
    row += "\r\n";
    return row;
}

struct Input
{
    QTemporaryDir dir;
    QByteArray bytes;
};

// Written to a file and read back whole, as the application loads its input.
const Input &input(int rowCount = millionRows)
{
    static std::map<int, std::unique_ptr<Input>> generated;
    std::unique_ptr<Input> &slot = generated[rowCount];
    if (!slot) {
        // A larger input replaces a smaller one, so that two never use memory together.
        for (auto &[rows, other] : generated) {
            if (rows != rowCount)
                other.reset();
        }
        slot = std::make_unique<Input>();
        Input *result = slot.get();
        const QString path = result->dir.filePath(QStringLiteral("input.csv"));
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        QByteArray block;
        for (int i = 0; i < rowCount; ++i) {
            block += generateRow(i);
            if (block.size() > (1 << 20)) {
                file.write(block);
                block.clear();
            }
        }
        file.write(block);
        file.close();
        file.open(QIODevice::ReadOnly);
        result->bytes = file.readAll();
    }
    return *slot;
}

// Memory the process has allocated and not freed: what a model holds, unlike the resident
// size, which keeps freed heap that is not handed back. The resident size serves where the
// C library cannot tell.
double allocatedMegabytes()
{
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 33))
    const struct mallinfo2 info = mallinfo2();
    return double(info.uordblks + info.hblkhd) / (1024.0 * 1024.0);
#else
    long pages = 0;
    long resident = 0;
    if (FILE *statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(statm);
    }
    return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
#endif
}

double peakMegabytes()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

void readInto(QxtCsvModel &model, const QByteArray &bytes, int threads = 0)
{
    QBuffer buffer;
    buffer.setData(bytes);
    model.setQuoteFlags(readFlags);
    model.setReadThreads(threads);
    // Positions for the first rows, as the loader asks for them.
    model.readCsv(&buffer, false, u';', nullptr, -1, 12);
}

void BM_ReadCsv(benchmark::State &state)
{
    const int rowCount = int(state.range(0));
    const int threads = int(state.range(1));
    const QByteArray &bytes = input(rowCount).bytes;
    double modelMegabytes = 0;
    for (auto _ : state) {
        const double before = allocatedMegabytes();
        auto model = std::make_unique<QxtCsvModel>();
        readInto(*model, bytes, threads);
        modelMegabytes = qMax(modelMegabytes, allocatedMegabytes() - before);
        if (model->rowCount() != rowCount || model->columnCount() != 10)
            state.SkipWithError("wrong shape");
        // Freeing a million rows is not part of reading them.
        state.PauseTiming();
        model.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
    state.counters["input_MB"] = double(bytes.size()) / (1024.0 * 1024.0);
    state.counters["model_MB"] = modelMegabytes;
    state.counters["peak_rss_MB"] = peakMegabytes();
}
// Arguments: rows, threads (0: one per core).
BENCHMARK(BM_ReadCsv)
    ->Args({millionRows, 1})
    ->Args({millionRows, 4})
    ->Args({millionRows, 0})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK(BM_ReadCsv)->Args({3 * millionRows, 0})->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_WriteCsv(benchmark::State &state)
{
    QxtCsvModel model;
    readInto(model, input().bytes);
    // The application's write mode: every field quoted, quotes doubled.
    model.setQuoteFlags(writeFlags);
    const QString path = input().dir.filePath(QStringLiteral("output.csv"));
    qint64 written = 0;
    for (auto _ : state) {
        QFile file(path);
        if (!model.writeCsv(&file, false, u';', nullptr, 0))
            state.SkipWithError("write failed");
        written += QFile(path).size();
    }
    state.SetBytesProcessed(written);
}
BENCHMARK(BM_WriteCsv)->Unit(benchmark::kMillisecond)->Iterations(3);

// What the processing run does to its output copy: every cell of some columns replaced by
// a pseudonym of about the same length. Reports the cost per cell and the model's memory
// once edited.
void BM_EditCsv(benchmark::State &state)
{
    const int columns = int(state.range(0));
    double modelMegabytes = 0;
    qint64 cells = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const double before = allocatedMegabytes();
        auto model = std::make_unique<QxtCsvModel>();
        readInto(*model, input().bytes);
        state.ResumeTiming();
        for (int row = 0; row < model->rowCount(); ++row) {
            for (int column = 0; column < columns; ++column) {
                const QString text = model->text(row, column);
                model->setText(row, column, QStringLiteral("PS_") + text.right(8));
            }
        }
        cells += qint64(model->rowCount()) * columns;
        state.PauseTiming();
        modelMegabytes = qMax(modelMegabytes, allocatedMegabytes() - before);
        model.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(cells);
    state.counters["model_MB"] = modelMegabytes;
}
BENCHMARK(BM_EditCsv)->Arg(3)->Arg(10)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_SniffCsv(benchmark::State &state)
{
    const QByteArray &bytes = input().bytes;
    for (auto _ : state) {
        const CsvSniffResult result = sniffCsvFormat(bytes, readFlags);
        if (result.delimiter != u';')
            state.SkipWithError("wrong separator");
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_SniffCsv)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
