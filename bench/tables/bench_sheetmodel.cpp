// Reading and writing a sheet of one million rows through the sheet model, as the script object
// does: display texts of date cells (number format conversion per cell), of plain cells, and
// typed edits.

#include <tables/SheetModel.h>
#include <xlsx/Format.h>
#include <xlsx/Workbook.h>
#include <xlsx/Worksheet.h>

#include <QCoreApplication>
#include <QDate>

#include <benchmark/benchmark.h>

namespace {

constexpr int rowCount = 1000000;

// Column A: dates as dd.mm.yyyy, B: date-times, C: text.
QXlsx::Worksheet *sheet()
{
    static QXlsx::Workbook workbook;
    static QXlsx::Worksheet *sheet = [] {
        QXlsx::Worksheet *s = workbook.addSheet(QStringLiteral("Daten"));
        QXlsx::Format date;
        date.setNumberFormat(QStringLiteral("[$-407]dd/mm/yyyy;@"));
        QXlsx::Format dateTime;
        dateTime.setNumberFormat(QStringLiteral("yyyy-mm-dd hh:mm"));
        const QDate start(1950, 1, 1);
        for (int row = 1; row <= rowCount; ++row) {
            s->write(row, 1, start.addDays(row % 30000), date);
            s->write(row, 2, 20000.25 + row % 30000, dateTime);
            s->write(row, 3, QStringLiteral("Name %1").arg(row % 5000));
        }
        return s;
    }();
    return sheet;
}

void readColumn(benchmark::State &state, int column, int role)
{
    QXlsx::SheetModel model(sheet());
    for (auto _ : state) {
        for (int row = 0; row < rowCount; ++row)
            benchmark::DoNotOptimize(model.data(model.index(row, column), role));
    }
    state.SetItemsProcessed(state.iterations() * rowCount);
}

BENCHMARK_CAPTURE(readColumn, DisplayDates, 0, Qt::DisplayRole)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(readColumn, DisplayDateTimes, 1, Qt::DisplayRole)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(readColumn, DisplayText, 2, Qt::DisplayRole)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(readColumn, EditDates, 0, Qt::EditRole)->Unit(benchmark::kMillisecond);

void BM_WriteText(benchmark::State &state)
{
    QXlsx::SheetModel model(sheet());
    const QVariant value(QStringLiteral("Pseudonym"));
    for (auto _ : state) {
        for (int row = 0; row < rowCount; ++row)
            model.setData(model.index(row, 2), value);
    }
    state.SetItemsProcessed(state.iterations() * rowCount);
}
BENCHMARK(BM_WriteText)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
