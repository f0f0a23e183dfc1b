// Throughput of the engine on one core: run with --benchmark_counters_tabular=true
// and read items_per_second.

#include "NumberConversion.h"
#include "PseudoContext.h"
#include "Pseudonymizer.h"

#include <benchmark/benchmark.h>

#include <QStringList>

namespace {

const QByteArray benchKey = QByteArray::fromHex("000102030405060708090a0b0c0d0e0f");

// Distinct inputs, as a run meets them: the engine computes every one afresh.
QStringList numberedTexts(const QString &pattern, int count)
{
    QStringList texts;
    texts.reserve(count);
    for (int i = 0; i < count; ++i)
        texts << pattern.arg(i);
    return texts;
}

struct Run
{
    explicit Run(const PseudoSettings &settings = PseudoSettings())
        : engine(benchKey, settings)
        , context(engine, dates)
    { }

    QString resolve(const QString &templateText, const QString &text, const QVariant &value)
    {
        int type = 0;
        return Pseudonymizer::replacePlaceholders(context, text, value, templateText, type);
    }

    Pseudonymizer engine;
    DateTextSettings dates;
    PseudoContext context;
};

void resolveEach(benchmark::State &state, Run &run, const QString &templateText,
                 const QStringList &texts)
{
    qsizetype i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(run.resolve(templateText, texts[i], QVariant()));
        i = (i + 1) % texts.size();
    }
    state.SetItemsProcessed(state.iterations());
}

void hmacShortMessage(benchmark::State &state)
{
    const HmacKey key(QByteArray(32, '\x11'));
    const QByteArray message("Mustermann");
    for (auto _ : state)
        benchmark::DoNotOptimize(key.mac(message));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(hmacShortMessage);

void keyedName(benchmark::State &state)
{
    Run run;
    resolveEach(state, run, QStringLiteral("<NAME>"),
                numberedTexts(QString::fromUtf8("Müller-Lüdenscheidt %1"), 4096));
}
BENCHMARK(keyedName);

void zipSimulateReal(benchmark::State &state)
{
    PseudoSettings settings;
    settings.simulateReal = true;
    Run run(settings);
    resolveEach(state, run, QStringLiteral("<ZIP>"), numberedTexts(QStringLiteral("%1"), 4096));
}
BENCHMARK(zipSimulateReal);

void iban(benchmark::State &state)
{
    // The set of used IBANs grows with every iteration, as in a long run.
    Run run;
    const QStringList texts = {QStringLiteral("DE89370400440532013000")};
    resolveEach(state, run, QStringLiteral("<IBAN>"), texts);
}
BENCHMARK(iban);

void dateShift(benchmark::State &state)
{
    Run run;
    run.context.dateShiftPerDataSet = false;
    QList<QVariant> dates;
    for (int i = 0; i < 4096; ++i)
        dates << QVariant(QDate(1950, 1, 1).addDays(i * 7));
    qsizetype i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(run.resolve(QStringLiteral("<DATE>"), QString(), dates[i]));
        i = (i + 1) % dates.size();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(dateShift);

void scaleAmount(benchmark::State &state)
{
    const QStringList texts = numberedTexts(QString::fromUtf8("EUR %1.234,56 netto"), 4096);
    qsizetype i = 0;
    QString out;
    for (auto _ : state) {
        benchmark::DoNotOptimize(scaleNumericString(texts[i], 1.5, out, 0, -1));
        i = (i + 1) % texts.size();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(scaleAmount);

} // namespace

BENCHMARK_MAIN();
