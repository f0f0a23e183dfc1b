// The script step on a large output table: a CSV model of 1,000,000 rows by 3 columns, and a
// user script that appends a column and fills every row from another column through
// DataSheetObject, the way a script computes a derived value. Every cell access crosses from
// the script engine into C++, which is what this measures. Peak memory is the process's
// maximum resident set; run one benchmark per process for a clean figure, e.g.
//   bench_scriptstep --benchmark_filter=FillColumn

#include <run/ScriptTarget.h>
#include <script/ScriptStep.h>
#include <tables/QxtCsvModel.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

namespace {

constexpr int rows = 1000000;

double peakMegabytes()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

std::unique_ptr<QxtCsvModel> table()
{
    auto model = std::make_unique<QxtCsvModel>();
    model->insertColumns(0, 3);
    model->insertRows(0, rows + 1);
    model->setText(0, 0, QStringLiteral("Name"));
    model->setText(0, 1, QStringLiteral("Ort"));
    model->setText(0, 2, QStringLiteral("Betrag"));
    for (int r = 1; r <= rows; ++r) {
        model->setText(r, 0, QStringLiteral("Name %1").arg(r));
        model->setText(r, 1, QStringLiteral("Ort %1").arg(r % 977));
        model->setText(r, 2, QStringLiteral("%1,%2").arg(r % 10000).arg(r % 100));
    }
    return model;
}

void runScript(benchmark::State &state, const QByteArray &program)
{
    QTemporaryDir dir;
    const QString scriptPath = dir.filePath(QStringLiteral("skript.js"));
    QFile script(scriptPath);
    if (!script.open(QIODevice::WriteOnly) || script.write(program) != program.size()) {
        state.SkipWithError("cannot write the script");
        return;
    }
    script.close();

    ScriptStep::Setup setup;
    setup.scriptFileName = scriptPath;
    setup.columnIds = QStringList({"1", "2", "3"});
    setup.columnItemTexts = QStringList({"1 [Name]", "2 [Ort]", "3 [Betrag]"});
    const ScriptStep step(setup);

    for (auto _ : state) {
        state.PauseTiming();
        auto model = table();
        ScriptTarget target;
        target.model = model.get();
        target.firstRow = 1;
        state.ResumeTiming();
        step(target);
        state.PauseTiming();
        if (model->text(rows, 3).isEmpty())
            state.SkipWithError("the script did not fill the last row");
        model.reset();
        state.ResumeTiming();
    }
    state.counters["rows_per_s"] =
        benchmark::Counter(double(rows) * double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["maxRSS_MB"] = peakMegabytes();
}

// Reads one column by caption and writes the appended one, per row.
void BM_FillColumn(benchmark::State &state)
{
    runScript(state, R"(
        var sheet = DataSheetObject;
        var column = sheet.insertColumn("Länge");
        var n = sheet.numRows();
        for (var row = 0; row < n; ++row)
            sheet.setText(row, column, String(sheet.getText(row, "ort", true).length));
    )");
}
BENCHMARK(BM_FillColumn)->Unit(benchmark::kMillisecond)->Iterations(1);

// Reads a number leniently and writes it scaled as a typed value.
void BM_ScaleAmounts(benchmark::State &state)
{
    runScript(state, R"(
        var sheet = DataSheetObject;
        var column = sheet.insertColumn("Doppelt");
        var n = sheet.numRows();
        for (var row = 0; row < n; ++row)
            sheet.setDouble(row, column, sheet.getDouble(row, 2) * 2);
    )");
}
BENCHMARK(BM_ScaleAmounts)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
