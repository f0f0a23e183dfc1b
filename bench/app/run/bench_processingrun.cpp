// The processing run end to end, without a window: a generated CSV of 1,000,000 rows by 10
// columns (about 100 MB; 8 columns pseudonymised), a workbook of 200,000 rows by 10 columns and
// one of 1,048,576 rows that each hold a styled blank cell.
// Each phase is timed on its own; peak memory is the process's VmHWM. Run one benchmark per
// process for a clean peak figure, e.g.
//   bench_processingrun --benchmark_filter='CsvRun/threads:1'
// The keyed columns of two runs under one key must be identical; a benchmark that finds them
// different reports an error.

#include "XlsxFixture.h"

#include <engine/PseudoContext.h>
#include <engine/Pseudonymizer.h>
#include <run/CsvOutputFile.h>
#include <run/CsvPass.h>
#include <run/MappingFile.h>
#include <run/OutputCopy.h>
#include <run/ProcessingRun.h>
#include <run/ResultCache.h>
#include <run/RunInput.h>
#include <run/RunSettings.h>
#include <run/XlsxPass.h>
#include <tables/QxtCsvModel.h>
#include <tables/TextCodecBridge.h>
#include <xlsx/Document.h>
#include <xlsx/Worksheet.h>

#include <QBuffer>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

namespace {

constexpr int csvRows = 1000000;
constexpr int xlsxRows = 200000;
constexpr int readMode = QxtCsvModel::QuoteDouble | QxtCsvModel::EscapeDoubledQuote;
constexpr int writeMode = readMode | QxtCsvModel::QuoteAlways;

const char *const givenNames[] = {"Anna", "Jürgen", "Lena", "Paul", "Zoë", "Max", "Ömer", "Ida"};
const char *const surnames[] = {"Müller", "Schmidt", "Schneider", "Fischer", "Weber", "Öztürk"};

QTemporaryDir &workDir()
{
    static QTemporaryDir dir;
    return dir;
}

// VONDREL_BENCH_DIR keeps the files written, for comparing the outputs of two builds.
QString workPath(const char *name)
{
    const QString kept = qEnvironmentVariable("VONDREL_BENCH_DIR");
    const QString dir = kept.isEmpty() ? workDir().path() : kept;
    return dir + QLatin1Char('/') + QString::fromLatin1(name);
}

double peakMegabytes()
{
    // VmHWM: the peak resident set of this process so far.
    double megabytes = 0;
    if (FILE *status = std::fopen("/proc/self/status", "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, status)) {
            long kilobytes = 0;
            if (std::sscanf(line, "VmHWM: %ld kB", &kilobytes) == 1)
                megabytes = double(kilobytes) / 1024.0;
        }
        std::fclose(status);
    }
    return megabytes;
}

QByteArray twoDigits(int value)
{
    return QByteArray::number(value).rightJustified(2, '0');
}

// id; name (all distinct); city (1,000); date; amount "1.234,56"; integer; DE IBAN; e-mail;
// phone; free text.
QByteArray csvRow(int i)
{
    QByteArray row;
    row.reserve(200);
    row += QByteArray::number(100000 + i) + ';';
    row += QByteArray(givenNames[i % 8]) + ' ' + surnames[(i / 8) % 6] + '-' +
        QByteArray::number(i) + ';';
    row += "Stadt " + QByteArray::number(i % 1000) + ';';
    row += twoDigits(1 + i % 28) + '.' + twoDigits(1 + (i / 28) % 12) + '.' +
        QByteArray::number(1950 + i % 70) + ';';
    const int euros = (i * 37) % 1000000;
    row += (euros >= 1000 ? QByteArray::number(euros / 1000) + '.' +
                    QByteArray::number(euros % 1000).rightJustified(3, '0')
                          : QByteArray::number(euros)) +
        ',' + twoDigits(i % 100) + ';';
    row += QByteArray::number((i * 7) % 100000) + ';';
    row += "DE" + twoDigits(10 + i % 89) + "3704004405" +
        QByteArray::number(i).rightJustified(8, '0') + ';';
    row += "kunde" + QByteArray::number(i) + "@beispiel.de;";
    row += "+49 30 " + QByteArray::number(1000000 + i) + ';';
    row += (i % 3 == 0) ? QByteArray("\"Rückruf; dringend\"") : QByteArray("offen");
    row += '\n';
    return row;
}

const QByteArray &csvInput()
{
    static const QByteArray bytes = [] {
        QByteArray data = "Nr;Name;Ort;Datum;Betrag;Menge;IBAN;Mail;Telefon;Notiz\n";
        data.reserve(110 << 20);
        for (int i = 0; i < csvRows; ++i)
            data += csvRow(i);
        return data;
    }();
    return bytes;
}

RunSettings csvSettings()
{
    RunSettings settings;
    settings.inputFileName = workPath("eingabe.csv");
    settings.loadedFileName = settings.inputFileName;
    settings.exportFileName = workPath("ausgabe.csv");
    settings.createMappingFile = true;
    settings.inputEditable = false;
    settings.separator = u';';
    settings.readQuoteMode = readMode;
    settings.writeQuoteMode = writeMode;
    settings.storedKey = QByteArray::fromHex("00112233445566778899aabbccddeeff");
    settings.templates = {{1, QStringLiteral("<NAME>")},    {2, QStringLiteral("<PLACE>")},
                          {3, QStringLiteral("<DATE>")},    {4, QStringLiteral("<AMOUNT_COMMA>")},
                          {5, QStringLiteral("<INTEGER>")}, {6, QStringLiteral("<IBAN>")},
                          {7, QStringLiteral("<EMAIL>")},   {8, QStringLiteral("<PHONE>")}};
    for (int column = 1; column <= 10; ++column)
        settings.columnCaptions << QString::number(column);
    return settings;
}

void loadCsv(QxtCsvModel &model, const QByteArray &bytes, const RunSettings &settings)
{
    QBuffer buffer;
    buffer.setData(bytes);
    model.setQuoteFlags(settings.readQuoteMode);
    model.readCsv(&buffer, false, settings.separator, settings.codec, -1, settings.rowOffset + 10);
}

QByteArray fileHash(const QString &path)
{
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!file.open(QIODevice::ReadOnly) || !hash.addData(&file))
        return QByteArray();
    return hash.result();
}

// Each run once on one thread and once on all cores; times are wall-clock.
void oneThreadAndAll(benchmark::internal::Benchmark *run)
{
    run->ArgName("threads")->Arg(1)->Arg(0)->Unit(benchmark::kSecond)->UseRealTime();
}

void reportSize(benchmark::State &state, int rows, const QByteArray &input)
{
    state.counters["rows"] = rows;
    state.counters["input_MB"] = double(input.size()) / (1024.0 * 1024.0);
    state.counters["VmHWM_MB"] = peakMegabytes();
}

// Compares a run's output with the first run's: under one key they must be byte-identical.
void checkRepeats(benchmark::State &state, const QString &path, QByteArray &firstHash)
{
    state.PauseTiming();
    const QByteArray hash = fileHash(path);
    const bool differs = !firstHash.isEmpty() && hash != firstHash;
    if (firstHash.isEmpty())
        firstHash = hash;
    // Timing resumes first: a benchmark that has failed may not resume.
    state.ResumeTiming();
    if (differs)
        state.SkipWithError("two runs under one key differ");
}

void writeMappingFile(benchmark::State &state, const QMap<int, MappingColumn> &mapping,
                      const RunSettings &settings, int threads)
{
    QSaveFile file(workPath("zuordnung.csv"));
    if (!file.open(QIODevice::WriteOnly) ||
        !MappingFile(mapping, settings.columnCaptions)
             .write(&file, settings.separator, settings.writeQuoteMode, std::nullopt, threads) ||
        !file.commit())
        state.SkipWithError("mapping file not written");
}

// Times the phases of a run one after the other, with the resident peak of each: the peak
// is reset when a phase starts (clear_refs), so a phase's figure holds what it added on top
// of what earlier phases left behind.
class PhaseClock
{
public:
    explicit PhaseClock(benchmark::State &state)
        : m_state(state)
    {
        start();
    }

    void end(const std::string &phase)
    {
        m_state.counters[phase + "_s"] = double(m_timer.elapsed()) / 1000.0;
        m_state.counters[phase + "_peak_MB"] = peakMegabytes();
        start();
    }

private:
    void start()
    {
        // Freed memory back to the system first, so that what an earlier phase or
        // iteration let go is not counted here.
        malloc_trim(0);
        if (FILE *refs = std::fopen("/proc/self/clear_refs", "w")) {
            std::fputs("5", refs);
            std::fclose(refs);
        }
        m_timer.start();
    }

    benchmark::State &m_state;
    QElapsedTimer m_timer;
};

// The phases of a CSV run one by one, as ProcessingRun::exec runs them.
void BM_CsvRun(benchmark::State &state)
{
    const int threads = int(state.range(0));
    const RunSettings settings = csvSettings();
    const QByteArray &bytes = csvInput();
    QByteArray firstHash;
    for (auto _ : state) {
        PhaseClock clock(state);
        QxtCsvModel input;
        loadCsv(input, bytes, settings);
        clock.end("parse");

        const std::unique_ptr<QxtCsvModel> output = OutputCopy::ofCsv(input, bytes, settings);
        if (!OutputCopy::matches(input, *output))
            state.SkipWithError("copy differs from the input");
        clock.end("copy");

        const Pseudonymizer engine(settings.storedKey);
        PseudoContext context(engine, settings.dateText);
        ResultCache cache(context, ResultCache::Mode::Text);
        CsvPass(input, *output).run(settings, cache, threads);
        const QMap<int, MappingColumn> mapping = cache.takeMapping();
        clock.end("pass");

        CsvOutputFile::Layout layout;
        layout.rawInput = bytes;
        layout.rowPositions = input.rowPositions();
        layout.separator = settings.separator;
        layout.quoteMode = settings.writeQuoteMode;
        QSaveFile outputFile(settings.exportFileName);
        if (!outputFile.open(QIODevice::WriteOnly) ||
            !CsvOutputFile(layout).write(&outputFile, *output, threads) || !outputFile.commit())
            state.SkipWithError("output not written");
        clock.end("write");

        writeMappingFile(state, mapping, settings, threads);
        clock.end("mapping");

        checkRepeats(state, settings.exportFileName, firstHash);
    }
    reportSize(state, csvRows, bytes);
}
BENCHMARK(BM_CsvRun)->Apply(oneThreadAndAll)->Iterations(2);

// The whole run through its one entry point (checks, copy, pass, output and mapping file);
// the input is loaded beforehand, as the main window has it loaded. With an editable input,
// the window's default, the copy is made from the table rather than the file's bytes.
void BM_CsvRunEndToEnd(benchmark::State &state)
{
    RunSettings settings = csvSettings();
    settings.inputEditable = state.range(1) != 0;
    const QByteArray &bytes = csvInput();
    QxtCsvModel input;
    loadCsv(input, bytes, settings);
    QFile file(settings.inputFileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        state.SkipWithError("input not written");
    file.close();
    RunInput runInput;
    runInput.csvModel = &input;
    runInput.rawInput = bytes;
    for (auto _ : state) {
        ProcessingRun run(settings, runInput);
        run.setThreads(int(state.range(0)));
        RunResult result = run.exec();
        if (!result.success)
            state.SkipWithError("run failed");
        // The main window keeps the output; freeing it is not part of the run.
        state.PauseTiming();
        result = RunResult();
        state.ResumeTiming();
    }
    state.counters["VmHWM_MB"] = peakMegabytes();
}
BENCHMARK(BM_CsvRunEndToEnd)
    ->ArgNames({"threads", "editable"})
    ->Args({1, 0})
    ->Args({0, 0})
    ->Args({1, 1})
    ->Unit(benchmark::kSecond)
    ->UseRealTime()
    ->Iterations(1);

// 200,000 rows: the same kinds of values as cells, numbers and dates typed.
const QByteArray &xlsxInput()
{
    static const QByteArray bytes = [] {
        const auto document = XlsxFixture::load(
            XlsxFixture::workbook({{QStringLiteral("Daten"), XlsxFixture::sheetXml({})}}));
        QXlsx::Format dateFormat;
        dateFormat.setNumberFormat(QStringLiteral("dd.mm.yyyy"));
        QXlsx::Format moneyFormat;
        moneyFormat.setNumberFormat(QStringLiteral("#,##0.00"));
        const QStringList titles = {"Nr",    "Name", "Ort",  "Datum",   "Betrag",
                                    "Menge", "IBAN", "Mail", "Telefon", "Notiz"};
        for (int column = 0; column < titles.size(); ++column)
            document->write(1, column + 1, titles.at(column));
        for (int i = 0; i < xlsxRows; ++i) {
            const int row = i + 2;
            const QList<QByteArray> fields = csvRow(i).chopped(1).split(';');
            document->write(row, 1, 100000 + i);
            document->write(row, 2, QString::fromUtf8(fields.at(1)));
            document->write(row, 3, QString::fromUtf8(fields.at(2)));
            document->write(row, 4, QDate(1950 + i % 70, 1 + (i / 28) % 12, 1 + i % 28),
                            dateFormat);
            document->write(row, 5, ((i * 37) % 1000000) + (i % 100) / 100.0, moneyFormat);
            document->write(row, 6, (i * 7) % 100000);
            document->write(row, 7, QString::fromUtf8(fields.at(6)));
            document->write(row, 8, QString::fromUtf8(fields.at(7)));
            document->write(row, 9, QString::fromUtf8(fields.at(8)));
            document->write(row, 10,
                            i % 3 == 0 ? QStringLiteral("Rückruf") : QStringLiteral("offen"));
        }
        QBuffer buffer;
        document->saveAs(&buffer);
        return buffer.data();
    }();
    return bytes;
}

RunSettings xlsxSettings()
{
    RunSettings settings = csvSettings();
    settings.inputFileName = workPath("eingabe.xlsx");
    settings.loadedFileName = settings.inputFileName;
    settings.exportFileName = workPath("ausgabe.xlsx");
    // Amounts scaled, so that they are written as typed numbers.
    settings.floatScaleFactor = 1.1;
    return settings;
}

// The phases of a workbook run one by one, as ProcessingRun::exec runs them.
void runWorkbook(benchmark::State &state, const QByteArray &bytes, const RunSettings &settings,
                 int rows)
{
    const int threads = int(state.range(0));
    QByteArray firstHash;
    for (auto _ : state) {
        PhaseClock clock(state);
        QBuffer buffer;
        buffer.setData(bytes);
        QXlsx::Document input(&buffer);
        clock.end("parse");

        const std::unique_ptr<QXlsx::Document> output =
            OutputCopy::ofXlsx(input, bytes, settings.inputEditable);
        if (!OutputCopy::matches(input, *output))
            state.SkipWithError("copy differs from the input");
        clock.end("copy");

        const Pseudonymizer engine(settings.storedKey);
        PseudoContext context(engine, settings.dateText);
        context.floatScaleFactor = settings.floatScaleFactor;
        ResultCache cache(context, ResultCache::Mode::Typed);
        if (!XlsxPass(input, *output).run(settings, cache, threads))
            state.SkipWithError("pass failed");
        const QMap<int, MappingColumn> mapping = cache.takeMapping();
        clock.end("pass");

        if (!output->saveAs(settings.exportFileName))
            state.SkipWithError("output not written");
        clock.end("write");

        writeMappingFile(state, mapping, settings, threads);
        clock.end("mapping");

        checkRepeats(state, settings.exportFileName, firstHash);
    }
    reportSize(state, rows, bytes);
}

void BM_XlsxRun(benchmark::State &state)
{
    runWorkbook(state, xlsxInput(), xlsxSettings(), xlsxRows);
}
BENCHMARK(BM_XlsxRun)->Apply(oneThreadAndAll)->Iterations(2);

// A sheet as long as a sheet can be, each row one blank cell with a style in the column the
// run works on: nothing to replace, so the copy and the writing are all there is.
void BM_XlsxStyledBlankRun(benchmark::State &state)
{
    constexpr int rows = 1048576;
    static const QByteArray bytes = [] {
        QByteArray sheetData;
        sheetData.reserve(qsizetype(rows) * 40);
        for (int row = 1; row <= rows; ++row) {
            const QByteArray number = QByteArray::number(row);
            sheetData += "<row r=\"" + number + "\"><c r=\"A" + number + "\" s=\"1\"/></row>";
        }
        return XlsxFixture::workbook(
            {{QStringLiteral("Daten"), XlsxFixture::sheetXml(sheetData)}}, {},
            "<fonts count=\"2\"><font/><font><b/></font></fonts>"
            "<cellXfs count=\"2\"><xf fontId=\"0\"/><xf fontId=\"1\" applyFont=\"1\"/></cellXfs>");
    }();
    RunSettings settings = xlsxSettings();
    settings.templates = {{0, QStringLiteral("<NAME>")}};
    runWorkbook(state, bytes, settings, rows);
}
BENCHMARK(BM_XlsxStyledBlankRun)->Apply(oneThreadAndAll)->Iterations(2);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    if (!workDir().isValid())
        return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
