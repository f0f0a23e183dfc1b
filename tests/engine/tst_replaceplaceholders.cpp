#include "DateConversion.h"
#include "PseudoContext.h"
#include "Pseudonymizer.h"
#include "SeededCodes.h"

#include <QRegularExpression>
#include <QTest>

#include <limits>

using namespace Qt::StringLiterals;
using vondrel::DateTextSettings;
namespace FieldTypeId = vondrel::FieldTypeId;

class TestReplacePlaceholders : public QObject
{
    Q_OBJECT

private slots:
    void templates_data();
    void templates();
    void factorsChangedDuringARun();
    void runningNumbersAndUuids();
    void ibansAndBics();
    void dates();
    void gapTimesAlikeFromTextAndSheet();
};

namespace {

// One run as the processing run holds it: engine, date settings and context.
struct Run
{
    explicit Run(int maxShiftDays = 365)
        : engine(QByteArray::fromHex("000102030405060708090a0b0c0d0e0f"), settings(maxShiftDays))
        , context(engine, dates)
    { }

    static PseudoSettings settings(int maxShiftDays)
    {
        PseudoSettings s;
        s.maxShiftDays = maxShiftDays;
        return s;
    }

    QString resolve(const QString &templateText, const QString &text = QString(),
                    const QVariant &value = QVariant())
    {
        return Pseudonymizer::replacePlaceholders(context, text, value, templateText, type, nullptr,
                                                  &typedValue);
    }

    Pseudonymizer engine;
    DateTextSettings dates;
    PseudoContext context;
    int type = -1;
    QVariant typedValue;
};

bool matches(const QString &pattern, const QString &text)
{
    return QRegularExpression(QRegularExpression::anchoredPattern(pattern)).match(text).hasMatch();
}

} // namespace

void TestReplacePlaceholders::templates_data()
{
    QTest::addColumn<QString>("templateText");
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("factor");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<int>("type");
    const double infinity = std::numeric_limits<double>::infinity();
    const QString muller = QString::fromUtf8(" Müller ");
    QTest::newRow("no placeholder") << u"plain"_s << muller << 1.0 << u"plain"_s << 0;
    QTest::newRow("lower case") << u"<name>"_s << muller << 1.0 << u"<name>"_s << 0;
    QTest::newRow("name") << u"<NAME>"_s << muller << 1.0 << u"nameoqysizjayhgteo"_s << 4;
    QTest::newRow("first in table order")
        << u"<ZIP> <NAME>"_s << muller << 1.0 << u"nameoqysizjayhgteo"_s << 4;
    QTest::newRow("cell holding a placeholder")
        << u"<NAME>"_s << u"<ZIP>"_s << 1.0 << u"name[a-z]{14}"_s << 4;
    QTest::newRow("amount factor 0")
        << u"<AMOUNT_COMMA>"_s << u"1.234,5"_s << 0.0 << u"1\\.234,5"_s << 16;
    QTest::newRow("amount factor 1")
        << u"<AMOUNT_COMMA>"_s << u"1.234,5"_s << 1.0 << u"1\\.234,5"_s << 16;
    QTest::newRow("amount") << u"<AMOUNT_DOT>"_s << u"$ 1,234.50"_s << 2.0 << u"\\$ 2,469\\.00"_s
                            << 17;
    QTest::newRow("grouped integer") << u"<INTEGER>"_s << u"1.234"_s << 2.0 << u"2468"_s << 18;
    QTest::newRow("infinite factor") << u"<INTEGER>"_s << u"12"_s << infinity << u"12"_s << 18;
    // Text copied from the cell or a date format is a result, never a template again.
    QTest::newRow("amount cell holding its placeholder")
        << u"<AMOUNT_COMMA>"_s << u"<AMOUNT_COMMA>"_s << 2.0 << u"<AMOUNT_COMMA>"_s << 16;
    QTest::newRow("amount beside a placeholder")
        << u"<AMOUNT_COMMA>"_s << u"<ZIP> 12,5"_s << 2.0 << u"<ZIP> 25,0"_s << 16;
    QTest::newRow("date format quoting its placeholder")
        << u"<DATE>"_s << QString() << 1.0 << u"<DATE> 21\\.11\\.2023"_s << 21;
    QTest::newRow("date format quoting a placeholder")
        << u"<DATE_CONVERT>"_s << QString() << 1.0 << u"<DATE> 01\\.02\\.2024"_s << 23;
    QTest::newRow("date-time format quoting a number")
        << u"<DATETIME_CONVERT>"_s << QString() << 1.0 << u"<NUM> 01\\.02\\.2024"_s << 24;
}

void TestReplacePlaceholders::templates()
{
    QFETCH(QString, templateText);
    QFETCH(QString, text);
    QFETCH(double, factor);
    QFETCH(QString, pattern);
    Run run;
    run.context.floatScaleFactor = factor;
    run.context.intScaleFactor = factor;
    run.dates.dateToTextFmt = QStringLiteral("'<DATE>' dd.MM.yyyy");
    run.dates.dateTimeToTextFmt = QStringLiteral("'<NUM>' dd.MM.yyyy");
    const QString result = run.resolve(templateText, text, QDate(2024, 2, 1));
    QVERIFY2(matches(pattern, result), qPrintable(result));
    QTEST(run.type, "type");
    QCOMPARE(run.context.numberCounter, 0);
}

void TestReplacePlaceholders::factorsChangedDuringARun()
{
    // Whether a factor scales is worked out once per factor, never kept past a change.
    Run run;
    const QString amount = QStringLiteral("<AMOUNT_COMMA>");
    const QString text = QStringLiteral("1.5");
    const auto scaled = [&](double factor, bool onlyAboveOne) {
        run.context.floatScaleFactor = factor;
        run.context.floatScaleFactorGreater1 = onlyAboveOne;
        return run.resolve(amount, text);
    };
    QCOMPARE(scaled(2, true), QStringLiteral("3,0"));
    QCOMPARE(scaled(1, true), text);
    QCOMPARE(scaled(1, false), QStringLiteral("1,5"));
    QCOMPARE(scaled(1.004, true), text);
    QCOMPARE(scaled(0.004, false), text);
    QCOMPARE(scaled(std::numeric_limits<double>::quiet_NaN(), false), text);
    QCOMPARE(scaled(2, true), QStringLiteral("3,0"));

    run.context.intScaleFactor = 3;
    QCOMPARE(run.resolve(QStringLiteral("<INTEGER>"), QStringLiteral("12")), QStringLiteral("36"));
    run.context.intScaleFactor = -1;
    QCOMPARE(run.resolve(QStringLiteral("<INTEGER>"), QStringLiteral("12")), QStringLiteral("12"));
}

void TestReplacePlaceholders::runningNumbersAndUuids()
{
    Run run;
    QCOMPARE(run.resolve(QStringLiteral("Nr. <NUM>")), QStringLiteral("Nr. 1"));
    QCOMPARE(run.resolve(QStringLiteral("Nr. <NUM>")), QStringLiteral("Nr. 2"));
    QCOMPARE(run.resolve(QStringLiteral("<NUM>/<NUM>")), QStringLiteral("3/4"));
    QCOMPARE(run.type, 14);
    const QString uuid = run.resolve(QStringLiteral("<UUID>"));
    QVERIFY2(matches(QStringLiteral("[0-9a-f]{32}"), uuid), qPrintable(uuid));
    QVERIFY(run.resolve(QStringLiteral("<UUID>")) != uuid);
    const QString both = run.resolve(QStringLiteral("id-<UUID>-<NUM>"));
    QVERIFY2(matches(QStringLiteral("id-[0-9a-f]{32}-5"), both), qPrintable(both));
    QCOMPARE(run.type, 15);
}

void TestReplacePlaceholders::ibansAndBics()
{
    Run run;
    const QString iban = QStringLiteral("<IBAN>");
    QCOMPARE(run.resolve(iban, QStringLiteral(" de89 3704 0044 0532 0130 00")),
             QStringLiteral("DE95000000000006545177"));
    QSet<QString> seen = {QStringLiteral("DE95000000000006545177")};
    for (int i = 0; i < 50; ++i)
        seen.insert(run.resolve(iban, QStringLiteral("DE89370400440532013000")));
    QCOMPARE(seen.size(), 51);
    QCOMPARE(run.resolve(iban, QStringLiteral("US1234")), QStringLiteral("Unsupported"));
    QCOMPARE(run.resolve(iban, QStringLiteral("   ")), QString());
    QCOMPARE(run.context.ibanSeed, quint64(51));

    const QString bic = QStringLiteral("<BIC>");
    QCOMPARE(run.resolve(bic, QStringLiteral("COBADEFF")), QStringLiteral("NDGJDEZ0000"));
    QCOMPARE(run.resolve(bic, QStringLiteral(" cobadeffxxx")), QStringLiteral("BCAADEA0001"));
    QCOMPARE(run.resolve(bic, QStringLiteral("abc")), QStringLiteral("Unsupported"));
    QCOMPARE(run.resolve(bic, QStringLiteral("COBADEFFX")), QStringLiteral("Unsupported"));
    QCOMPARE(run.resolve(bic, QString()), QString());

    // After 1000 collisions the last candidate is taken rather than stalling the run.
    Run full;
    for (quint64 seed = 0; seed < 1000; ++seed)
        full.context.usedIbans.insert(makeSeededIban(seed, QStringLiteral("AT"), 7));
    QCOMPARE(full.resolve(iban, QStringLiteral("AT00")),
             makeSeededIban(999, QStringLiteral("AT"), 7));
    QCOMPARE(full.context.ibanSeed, quint64(1001));
}

void TestReplacePlaceholders::dates()
{
    Run run;
    const QString date = QStringLiteral("<DATE>");
    QCOMPARE(run.resolve(date, QString(), QDate(2024, 1, 15)), QStringLiteral("04.11.2023"));
    QCOMPARE(run.typedValue, QVariant(QDate(2023, 11, 4)));
    // One shift for the whole data set keeps the distance between dates.
    run.resolve(date, QString(), QDateTime(QDate(2021, 7, 3), QTime(23, 30)));
    QCOMPARE(run.typedValue, QVariant(QDate(2021, 4, 22)));
    run.context.dateShiftPerDataSet = false;
    QCOMPARE(run.resolve(date, QStringLiteral("x"), QVariant()), QString());

    const QDateTime first(QDate(2024, 1, 15), QTime(8, 0));
    const QDateTime second(QDate(2022, 6, 1), QTime(17, 45, 10));
    run.context.dateShiftPerDataSet = true;
    run.resolve(QStringLiteral("<DATETIME>"), QString(), first);
    const qint64 shift = first.secsTo(run.typedValue.toDateTime());
    run.resolve(QStringLiteral("<DATETIME>"), QString(), second);
    QCOMPARE(second.secsTo(run.typedValue.toDateTime()), shift);

    Run unshifted(0);
    unshifted.dates.dateTimeToTextISO = true;
    QCOMPARE(unshifted.resolve(date, QString(), first), QStringLiteral("15.01.2024"));
    QCOMPARE(unshifted.resolve(QStringLiteral("<DATETIME_CONVERT>"), QString(), first),
             QStringLiteral("2024-01-15T08:00:00"));
}

void TestReplacePlaceholders::gapTimesAlikeFromTextAndSheet()
{
    // 31 March 2024 02:30 has no local time in Berlin; read from a CSV text or from a sheet's
    // serial number it must give one and the same pseudonym, never an empty cell.
    Run run;
    const QVariant fromText = convertCellValue(run.dates, QStringLiteral("31.03.2024 02:30:00"),
                                               QVariant(), FieldTypeId::DateTime, false);
    const QVariant fromSheet =
        convertCellValue(run.dates, 45382.0 + 2.5 / 24, QVariant(), FieldTypeId::DateTime, false);
    for (const char *templateText : {"<DATETIME>", "<DATETIME_CONVERT>"}) {
        const QString text = run.resolve(QLatin1String(templateText), QString(), fromText);
        QVERIFY(!text.isEmpty());
        QCOMPARE(run.resolve(QLatin1String(templateText), QString(), fromSheet), text);
    }
    QCOMPARE(run.resolve(QStringLiteral("<DATETIME_CONVERT>"), QString(), fromText),
             QStringLiteral("31.03.2024 02:30:00"));
}

QTEST_GUILESS_MAIN(TestReplacePlaceholders)
#include "tst_replaceplaceholders.moc"
