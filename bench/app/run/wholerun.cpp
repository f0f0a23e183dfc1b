// A whole run as one process, for timing it beside another program on the same file:
//   vondrel_wholerun IN.csv OUT.csv [threads]
//   vondrel_wholerun IN.xlsx OUT.xlsx [threads]
// reads IN, detects its format (CSV) or reads its first sheet (XLSX) and loads it as the main
// window does, then runs the processing run on it (8 of 10 columns pseudonymised, quoted
// output, mapping file beside OUT). The columns are those of gen_bench.py: id, surname, given
// name, street, town, e-mail, birth date, amount, IBAN, remark (gen_bench_xlsx.py makes the
// workbook). Phase times go to stderr; the exit code is 0 only when the run succeeded.

#include <run/CsvFormatChoice.h>
#include <run/ProcessingRun.h>
#include <run/RunInput.h>
#include <run/RunSettings.h>
#include <tables/CsvSniffer.h>
#include <tables/QxtCsvModel.h>
#include <xlsx/Document.h>

#include <QBuffer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QStringList>

#include <cstdio>
#include <memory>

namespace {

constexpr int readMode = QxtCsvModel::QuoteDouble | QxtCsvModel::EscapeDoubledQuote;

RunSettings settingsFor(const QString &input, const QString &output)
{
    RunSettings settings;
    settings.inputFileName = input;
    settings.loadedFileName = input;
    settings.exportFileName = output;
    settings.createMappingFile = true;
    settings.inputEditable = false;
    settings.readQuoteMode = readMode;
    settings.writeQuoteMode = readMode | QxtCsvModel::QuoteAlways;
    settings.storedKey = QByteArray::fromHex("00112233445566778899aabbccddeeff");
    settings.floatScaleFactor = 1.37;
    settings.templates = {{1, QStringLiteral("<NAME>")},         {2, QStringLiteral("<NAME>")},
                          {3, QStringLiteral("<STREET_NO>")},    {4, QStringLiteral("<PLACE>")},
                          {5, QStringLiteral("<EMAIL>")},        {6, QStringLiteral("<DATE>")},
                          {7, QStringLiteral("<AMOUNT_COMMA>")}, {8, QStringLiteral("<IBAN>")}};
    for (int column = 1; column <= 10; ++column)
        settings.columnCaptions << QString::number(column);
    return settings;
}

// The time since the last report, with the resident set now and at its peak so far.
void report(const char *phase, QElapsedTimer &timer)
{
    long rss = 0;
    long peak = 0;
    if (FILE *status = std::fopen("/proc/self/status", "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, status)) {
            std::sscanf(line, "VmRSS: %ld kB", &rss);
            std::sscanf(line, "VmHWM: %ld kB", &peak);
        }
        std::fclose(status);
    }
    std::fprintf(stderr, "%s %.3f s, resident %ld MB, peak %ld MB\n", phase,
                 double(timer.restart()) / 1000.0, rss / 1024, peak / 1024);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: vondrel_wholerun IN.csv OUT.csv [threads]\n");
        return 2;
    }
    RunSettings settings = settingsFor(args.at(1), args.at(2));
    const int threads = args.size() > 3 ? args.at(3).toInt() : 0;

    QElapsedTimer timer;
    timer.start();
    QFile file(settings.inputFileName);
    if (!file.open(QIODevice::ReadOnly))
        return 1;
    const QByteArray bytes = file.readAll();
    file.close();

    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    RunInput input;
    input.rawInput = bytes;
    input.isXlsx = settings.inputFileName.endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive);
    QxtCsvModel model;
    std::unique_ptr<QXlsx::Document> document;
    if (input.isXlsx) {
        document = std::make_unique<QXlsx::Document>(&buffer);
        input.document = document.get();
    } else {
        // As the window loads a new file: the format detected, then the table read with it.
        const CsvSniffResult detected = sniffCsvFormat(bytes, readMode);
        settings.inputHasBom = detected.hasBom;
        settings.separator = detected.delimiter;
        settings.codec = csvCodecForName(csvEncodingName(detected));
        settings.rowOffset = csvDetectedRowOffset(detected);
        model.setQuoteFlags(readMode);
        model.setReadThreads(threads);
        model.readCsv(&buffer, false, settings.separator, settings.codec, -1,
                      settings.rowOffset + 10);
        input.csvModel = &model;
    }
    report("load", timer);

    ProcessingRun run(settings, input);
    run.setThreads(threads);
    const RunResult result = run.exec();
    report("run", timer);
    if (!result.success) {
        std::fprintf(stderr, "run failed: %s\n", qPrintable(result.messageText));
        return 1;
    }
    return 0;
}
