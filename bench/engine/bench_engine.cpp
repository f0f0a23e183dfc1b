// Throughput of the engine on one core: run pinned to one core with
// --benchmark_repetitions=5 --benchmark_report_aggregates_only=true and read the
// median; items_per_second counts cell values.

#include <engine/NumberConversion.h>
#include <engine/PseudoContext.h>
#include <engine/Pseudonymizer.h>

#include <benchmark/benchmark.h>

#include <QStringList>

using namespace Qt::StringLiterals;
using vondrel::DateTextSettings;
using vondrel::HmacKey;
namespace FieldTypeId = vondrel::FieldTypeId;

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
        QChar groupSeparator;
        return Pseudonymizer::replacePlaceholders(context, text, value, templateText, type,
                                                  &groupSeparator, &typedValue);
    }

    Pseudonymizer engine;
    DateTextSettings dates;
    PseudoContext context;
    QVariant typedValue;
};

void resolveEach(benchmark::State &state, Run &run, const QString &templateText,
                 const QStringList &texts)
{
    qsizetype i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(run.resolve(templateText, texts[i], QVariant()));
        if (++i == texts.size())
            i = 0;
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

// Typical cell texts of the keyed types 1 to 13, in type order.
const char *const keyedPatterns[] = {
    "Bemerkung zum Vorgang %1",
    "max.mustermann%1@example.com",
    "Bad Münstereifel %1",
    "Müller-Lüdenscheidt %1",
    "Hauptstraße %1",
    "Hauptstraße %1a",
    "%1",
    "Mustermann & Söhne GmbH %1",
    "+49 (0)911 / 99 %1-0",
    "181/815/%1",
    "DE%1",
    "www.example%1.de",
    "192.168.%1.1",
};

// Argument 0 is the field type, argument 1 whether the run simulates real shapes.
void keyedType(benchmark::State &state)
{
    const auto type = FieldType(state.range(0));
    PseudoSettings settings;
    settings.simulateReal = state.range(1) != 0;
    Run run(settings);
    resolveEach(state, run, placeholderForFieldType(type),
                numberedTexts(QString::fromUtf8(keyedPatterns[type - 1]), 4096));
}
BENCHMARK(keyedType)
    ->ArgNames({"type", "real"})
    ->ArgsProduct({benchmark::CreateDenseRange(1, 13, 1), {0, 1}});

// Amounts and integers through the template, as the run scales them: argument 0 is the type.
void scaledAmount(benchmark::State &state)
{
    const auto type = FieldType(state.range(0));
    Run run;
    run.context.floatScaleFactor = 1.37;
    run.context.intScaleFactor = 3;
    QStringList texts;
    for (const char *pattern :
         {"%1.234,56", "-%1,5", "EUR %1.250.000,00 netto", "%1'000.75 CHF", "(%1)", "%1 234 567"})
        texts << numberedTexts(QString::fromUtf8(pattern), 700);
    resolveEach(state, run, placeholderForFieldType(type), texts);
}
BENCHMARK(scaledAmount)
    ->ArgName("type")
    ->Arg(FieldTypeId::AmountComma)
    ->Arg(FieldTypeId::AmountDot)
    ->Arg(FieldTypeId::Integer);

// A run that meets a million distinct account numbers: the set of generated codes
// grows to a million entries within one measurement.
void generatedCodes(benchmark::State &state)
{
    const auto type = FieldType(state.range(0));
    Run run;
    const QStringList texts = type == FieldTypeId::Iban
        ? QStringList {QStringLiteral("DE89 3704 0044 0532 0130 00"),
                       QStringLiteral("AT611904300234573201"),
                       QStringLiteral("FR1420041010050500013M02606"),
                       QStringLiteral("MT84MALT011000012345MTLCAST001S")}
        : QStringList {QStringLiteral("COBADEFFXXX"), QStringLiteral("BKAUATWW"),
                       QStringLiteral("BNPAFRPP")};
    resolveEach(state, run, placeholderForFieldType(type), texts);
}
BENCHMARK(generatedCodes)
    ->ArgName("type")
    ->Arg(FieldTypeId::Iban)
    ->Arg(FieldTypeId::Bic)
    ->Iterations(1000000);

// A million IBANs of one country in a row, as the account column of a run yields
// them, and a million amounts of its shape ("91882,86", scaled by 1.37).
void millionInARow(benchmark::State &state)
{
    const auto type = FieldType(state.range(0));
    Run run;
    run.context.floatScaleFactor = 1.37;
    QStringList texts;
    if (type == FieldTypeId::Iban) {
        texts = numberedTexts(u"DE%1"_s, 4096);
    } else {
        for (int i = 0; i < 4096; ++i)
            texts << u"%1,%2"_s.arg((i * 7919) % 100000).arg(i % 100, 2, 10, QChar(u'0'));
    }
    resolveEach(state, run, placeholderForFieldType(type), texts);
}
BENCHMARK(millionInARow)
    ->ArgName("type")
    ->Arg(FieldTypeId::Iban)
    ->Arg(FieldTypeId::AmountComma)
    ->Iterations(1000000);

void shiftedDates(benchmark::State &state)
{
    const auto type = FieldType(state.range(0));
    Run run;
    run.context.dateShiftPerDataSet = state.range(1) != 0;
    QList<QVariant> values;
    for (int i = 0; i < 4096; ++i) {
        const QDate date = QDate(1950, 1, 1).addDays(i * 7);
        values << (type == FieldTypeId::Date ? QVariant(date)
                                             : QVariant(QDateTime(date, QTime(i % 24, 17, 5))));
    }
    const QString templateText = placeholderForFieldType(type);
    qsizetype i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(run.resolve(templateText, QString(), values[i]));
        if (++i == values.size())
            i = 0;
    }
    state.SetItemsProcessed(state.iterations());
}
// Argument 0 is the type, argument 1 whether one shift serves all dates (the usual mode).
BENCHMARK(shiftedDates)
    ->ArgNames({"type", "dataset"})
    ->ArgsProduct({{FieldTypeId::Date, FieldTypeId::DateTime}, {1, 0}});

void scaleAmount(benchmark::State &state)
{
    const QStringList texts = numberedTexts(QString::fromUtf8("EUR %1.234,56 netto"), 4096);
    qsizetype i = 0;
    QString out;
    for (auto _ : state) {
        benchmark::DoNotOptimize(scaleNumericString(texts[i], 1.5, out, 0, -1));
        if (++i == texts.size())
            i = 0;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(scaleAmount);

} // namespace

int main(int argc, char **argv)
{
    // Dates convert in the zone the tests use. With TZ unset, the C library also
    // re-reads /etc/localtime at every local-time conversion, which would swamp the
    // date figures with a cost that only that setup has.
    if (qEnvironmentVariableIsEmpty("TZ"))
        qputenv("TZ", "Europe/Berlin");
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
