// Loading input into the main window as a user does: a generated CSV of 1,000,000 rows by 10
// columns (about 80 MB), chosen in the file field (read, format detection, parse, view and
// column lists), then parsed again after an option change; and a workbook of 200,000 rows by
// 10 columns. Peak memory is the process's VmHWM; run one benchmark per process for a clean
// figure, e.g.
//   bench_inputloading --benchmark_filter='ChooseCsv/iterations:1'
// One iteration is the first load; with more, each load replaces a table, and the old one is
// kept until the new one has been read completely.

#include "XlsxFixture.h"

#include <kivra/Registry.h>
#include <run/AppIdentity.h>
#include <window/Dialog.h>
#include <xlsx/Document.h>
#include <xlsx/Workbook.h>
#include <xlsx/Worksheet.h>

#include <QApplication>
#include <QBuffer>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

namespace {

constexpr int csvRows = 1000000;
constexpr int xlsxRows = 200000;
constexpr int columns = 10;

QTemporaryDir &workDir()
{
    static QTemporaryDir dir;
    return dir;
}

double peakMegabytes()
{
    // VmHWM: the peak resident set of this process so far.
    std::FILE *status = std::fopen("/proc/self/status", "r");
    long kilobytes = 0;
    char line[256];
    while (status && std::fgets(line, sizeof line, status)) {
        if (std::sscanf(line, "VmHWM: %ld kB", &kilobytes) == 1)
            break;
    }
    if (status)
        std::fclose(status);
    return double(kilobytes) / 1024.0;
}

QByteArray csvText()
{
    QByteArray text = "Name;Vorname;Strasse;PLZ;Ort;Telefon;Email;Betrag;Datum;Notiz\r\n";
    text.reserve(qsizetype(csvRows) * 82);
    for (int row = 1; row < csvRows; ++row) {
        const QByteArray n = QByteArray::number(row);
        text += "M\xc3\xbcller" + n + ";Anna;Weg " + n + ";" +
            QByteArray::number(10000 + row % 89999) + ";K\xc3\xb6ln;0221 " + n + ";a" + n +
            "@example.org;" + QByteArray::number(row % 997) +
            ",50;01.02.2020;\"frei; mit Text\"\r\n";
    }
    return text;
}

QString writeCopies(const QByteArray &bytes, const char *first, const char *second)
{
    for (const char *name : {first, second}) {
        QFile file(workDir().filePath(QLatin1String(name)));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("Cannot write the benchmark input");
    }
    return workDir().filePath(QLatin1String(first));
}

QByteArray workbookBytes()
{
    auto document = XlsxFixture::load(
        XlsxFixture::workbook({{QStringLiteral("Daten"), XlsxFixture::sheetXml({})}}));
    QXlsx::Worksheet *sheet = document->currentWorksheet();
    for (int column = 1; column <= columns; ++column)
        sheet->write(1, column, QStringLiteral("Spalte %1").arg(column));
    for (int row = 2; row <= xlsxRows; ++row) {
        for (int column = 1; column <= columns; ++column)
            sheet->write(row, column,
                         column % 2 ? QVariant(QStringLiteral("Text %1").arg(row)) : QVariant(row));
    }
    QBuffer buffer;
    if (!document->saveAs(&buffer))
        qFatal("Cannot write the benchmark workbook");
    return buffer.data();
}

// Chooses the two files in turn, so that every choice is a new file to detect.
void chooseFiles(benchmark::State &state, const QString &first, const QString &second, int rows,
                 qint64 bytes)
{
    QTemporaryDir settings;
    Dialog dialog(nullptr, settings.path());
    auto *field = kivra::findWidget<QLineEdit>(
        &dialog.optionMap(), QStringLiteral("input_filename"), kivra::kOpenFileLineEdit);
    bool useFirst = true;
    for (auto _ : state) {
        field->setText(useFirst ? first : second);
        useFirst = !useFirst;
    }
    const auto *view = dialog.findChild<QTableView *>(QStringLiteral("inputView"));
    if (!view->model() || view->model()->rowCount() != rows)
        state.SkipWithError("The table was not loaded completely");
    state.counters["rows/s"] =
        benchmark::Counter(double(rows), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["input_MB"] = double(bytes) / (1024.0 * 1024.0);
    state.counters["VmHWM_MB"] = peakMegabytes();
}

void BM_ChooseCsv(benchmark::State &state)
{
    static const QByteArray text = csvText();
    static const QString first = writeCopies(text, "a.csv", "b.csv");
    chooseFiles(state, first, workDir().filePath(QStringLiteral("b.csv")), csvRows, text.size());
}

void BM_ReparseCsv(benchmark::State &state)
{
    static const QByteArray text = csvText();
    static const QString first = writeCopies(text, "a.csv", "b.csv");
    QTemporaryDir settings;
    Dialog dialog(nullptr, settings.path());
    kivra::findWidget<QLineEdit>(&dialog.optionMap(), QStringLiteral("input_filename"),
                                 kivra::kOpenFileLineEdit)
        ->setText(first);
    auto *escape = kivra::findWidget<QComboBox>(
        &dialog.optionMap(), QStringLiteral("sep_data_string_esc"), kivra::kComboBox);
    int choice = 0;
    for (auto _ : state) {
        // Between "Keine" and "TwoQuote": both read this file the same way.
        escape->setCurrentIndex(choice);
        choice = 1 - choice;
    }
    state.counters["rows/s"] =
        benchmark::Counter(double(csvRows), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["VmHWM_MB"] = peakMegabytes();
}

void BM_ChooseXlsx(benchmark::State &state)
{
    static const QByteArray bytes = workbookBytes();
    static const QString first = writeCopies(bytes, "a.xlsx", "b.xlsx");
    chooseFiles(state, first, workDir().filePath(QStringLiteral("b.xlsx")), xlsxRows, bytes.size());
}

} // namespace

BENCHMARK(BM_ChooseCsv)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_ChooseCsv)->Unit(benchmark::kMillisecond)->Iterations(4);
BENCHMARK(BM_ReparseCsv)->Unit(benchmark::kMillisecond)->Iterations(4);
BENCHMARK(BM_ChooseXlsx)->Unit(benchmark::kMillisecond)->Iterations(4);

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    setApplicationIdentity();
    if (!workDir().isValid())
        return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
