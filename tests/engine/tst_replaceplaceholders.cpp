#include <engine/DateConversion.h>
#include <engine/PseudoContext.h>
#include <engine/Pseudonymizer.h>
#include <engine/SeededCodes.h>

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

void addRow(const char *name, const char *templateText, const char *text, double factor,
            const char *expected, int type)
{
    QTest::newRow(name) << QString::fromUtf8(templateText) << QString::fromUtf8(text) << factor
                        << QString::fromUtf8(expected) << type;
}

} // namespace

void TestReplacePlaceholders::templates_data()
{
    QTest::addColumn<QString>("templateText");
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("factor");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("type");
    const double infinity = std::numeric_limits<double>::infinity();
    addRow("no placeholder", "plain", " Müller ", 1.0, "plain", 0);
    addRow("lower case", "<name>", " Müller ", 1.0, "<name>", 0);
    addRow("name", "<NAME>", " Müller ", 1.0, "nameoqysizjayhgteo", 4);
    addRow("first in table order", "<ZIP> <NAME>", " Müller ", 1.0, "nameoqysizjayhgteo", 4);
    addRow("cell holding a placeholder", "<NAME>", "<ZIP>", 1.0, "namexkwmivjxuuhuhq", 4);
    addRow("amount factor 0", "<AMOUNT_COMMA>", "1.234,5", 0.0, "1.234,5", 16);
    addRow("amount factor 1", "<AMOUNT_COMMA>", "1.234,5", 1.0, "1.234,5", 16);
    addRow("amount", "<AMOUNT_DOT>", "$ 1,234.50", 2.0, "$ 2,469.00", 17);
    addRow("grouped integer", "<INTEGER>", "1.234", 2.0, "2468", 18);
    addRow("infinite factor", "<INTEGER>", "12", infinity, "12", 18);
    // Text copied from the cell or a date format is a result, never a template again.
    addRow("amount cell holding its placeholder", "<AMOUNT_COMMA>", "<AMOUNT_COMMA>", 2.0,
           "<AMOUNT_COMMA>", 16);
    addRow("amount beside a placeholder", "<AMOUNT_COMMA>", "<ZIP> 12,5", 2.0, "<ZIP> 25,0", 16);
    addRow("date format quoting its placeholder", "<DATE>", "", 1.0, "<DATE> 21.11.2023", 21);
    addRow("date format quoting a placeholder", "<DATE_CONVERT>", "", 1.0, "<DATE> 01.02.2024", 23);
    addRow("date-time format quoting a number", "<DATETIME_CONVERT>", "", 1.0, "<NUM> 01.02.2024",
           24);
}

void TestReplacePlaceholders::templates()
{
    QFETCH(QString, templateText);
    QFETCH(QString, text);
    QFETCH(double, factor);
    Run run;
    run.context.floatScaleFactor = factor;
    run.context.intScaleFactor = factor;
    run.dates.dateToTextFmt = u"'<DATE>' dd.MM.yyyy"_s;
    run.dates.dateTimeToTextFmt = u"'<NUM>' dd.MM.yyyy"_s;
    QTEST(run.resolve(templateText, text, QDate(2024, 2, 1)), "expected");
    QTEST(run.type, "type");
    QCOMPARE(run.context.numberCounter, 0);
}

void TestReplacePlaceholders::factorsChangedDuringARun()
{
    // Whether a factor scales is worked out once per factor, never kept past a change.
    Run run;
    const QString amount = u"<AMOUNT_COMMA>"_s;
    const QString text = u"1.5"_s;
    const auto scaled = [&](double factor, bool onlyAboveOne) {
        run.context.floatScaleFactor = factor;
        run.context.floatScaleFactorGreater1 = onlyAboveOne;
        return run.resolve(amount, text);
    };
    QCOMPARE(scaled(2, true), u"3,0"_s);
    QCOMPARE(scaled(1, true), text);
    QCOMPARE(scaled(1, false), u"1,5"_s);
    QCOMPARE(scaled(1.004, true), text);
    QCOMPARE(scaled(0.004, false), text);
    QCOMPARE(scaled(std::numeric_limits<double>::quiet_NaN(), false), text);
    QCOMPARE(scaled(2, true), u"3,0"_s);

    run.context.intScaleFactor = 3;
    QCOMPARE(run.resolve(u"<INTEGER>"_s, u"12"_s), u"36"_s);
    run.context.intScaleFactor = -1;
    QCOMPARE(run.resolve(u"<INTEGER>"_s, u"12"_s), u"12"_s);
}

void TestReplacePlaceholders::runningNumbersAndUuids()
{
    Run run;
    QCOMPARE(run.resolve(u"Nr. <NUM>"_s), u"Nr. 1"_s);
    QCOMPARE(run.resolve(u"Nr. <NUM>"_s), u"Nr. 2"_s);
    QCOMPARE(run.resolve(u"<NUM>/<NUM>"_s), u"3/4"_s);
    QCOMPARE(run.type, 14);
    const QString uuid = run.resolve(u"<UUID>"_s);
    QVERIFY2(matches(u"[0-9a-f]{32}"_s, uuid), qPrintable(uuid));
    QVERIFY(run.resolve(u"<UUID>"_s) != uuid);
    const QString both = run.resolve(u"id-<UUID>-<NUM>"_s);
    QVERIFY2(matches(u"id-[0-9a-f]{32}-5"_s, both), qPrintable(both));
    QCOMPARE(run.type, 15);
}

void TestReplacePlaceholders::ibansAndBics()
{
    Run run;
    const QString iban = u"<IBAN>"_s;
    QCOMPARE(run.resolve(iban, u" de89 3704 0044 0532 0130 00"_s), u"DE95000000000006545177"_s);
    QSet<QString> seen = {u"DE95000000000006545177"_s};
    for (int i = 0; i < 50; ++i)
        seen.insert(run.resolve(iban, u"DE89370400440532013000"_s));
    QCOMPARE(seen.size(), 51);
    QCOMPARE(run.resolve(iban, u"US1234"_s), u"Unsupported"_s);
    QCOMPARE(run.resolve(iban, u"   "_s), QString());
    QCOMPARE(run.context.ibanSeed, quint64(51));

    const QString bic = u"<BIC>"_s;
    QCOMPARE(run.resolve(bic, u"COBADEFF"_s), u"NDGJDEZ0000"_s);
    QCOMPARE(run.resolve(bic, u" cobadeffxxx"_s), u"BCAADEA0001"_s);
    QCOMPARE(run.resolve(bic, u"abc"_s), u"Unsupported"_s);
    QCOMPARE(run.resolve(bic, u"COBADEFFX"_s), u"Unsupported"_s);
    QCOMPARE(run.resolve(bic, u"COBA-EFF"_s), u"Unsupported"_s);
    // The location may hold digits.
    QCOMPARE(run.resolve(bic, u"DEUTDE5M"_s), u"CEAADEA0002"_s);
    QCOMPARE(run.resolve(bic, QString()), QString());

    // After 1000 collisions the last candidate is taken rather than stalling the run.
    Run full;
    for (quint64 seed = 0; seed < 1000; ++seed)
        full.context.usedIbans.insert(makeSeededIban(seed, u"AT"_s, 7));
    QCOMPARE(full.resolve(iban, u"AT00"_s), makeSeededIban(999, u"AT"_s, 7));
    QCOMPARE(full.context.ibanSeed, quint64(1001));
}

void TestReplacePlaceholders::dates()
{
    Run run;
    const QString date = u"<DATE>"_s;
    QCOMPARE(run.resolve(date, QString(), QDate(2024, 1, 15)), u"04.11.2023"_s);
    QCOMPARE(run.typedValue, QVariant(QDate(2023, 11, 4)));
    // One shift for the whole data set keeps the distance between dates.
    run.resolve(date, QString(), QDateTime(QDate(2021, 7, 3), QTime(23, 30)));
    QCOMPARE(run.typedValue, QVariant(QDate(2021, 4, 22)));
    run.context.dateShiftPerDataSet = false;
    QCOMPARE(run.resolve(date, u"x"_s, QVariant()), QString());

    const QDateTime first(QDate(2024, 1, 15), QTime(8, 0));
    const QDateTime second(QDate(2022, 6, 1), QTime(17, 45, 10));
    run.context.dateShiftPerDataSet = true;
    QCOMPARE(run.resolve(u"<DATETIME>"_s, QString(), first), u"13.05.2023 00:12:41"_s);
    const qint64 shift = first.secsTo(run.typedValue.toDateTime());
    run.resolve(u"<DATETIME>"_s, QString(), second);
    QCOMPARE(second.secsTo(run.typedValue.toDateTime()), shift);

    Run unshifted(0);
    unshifted.dates.dateTimeToTextISO = true;
    QCOMPARE(unshifted.resolve(date, QString(), first), u"15.01.2024"_s);
    QCOMPARE(unshifted.resolve(u"<DATETIME_CONVERT>"_s, QString(), first),
             u"2024-01-15T08:00:00"_s);

    // 31 March 2024 02:30 has no local time in Berlin; read from a CSV text or from a sheet's
    // serial number it must give one and the same pseudonym, never an empty cell.
    const QVariant fromText = convertCellValue(run.dates, u"31.03.2024 02:30:00"_s, QVariant(),
                                               FieldTypeId::DateTime, false);
    const QVariant fromSheet =
        convertCellValue(run.dates, 45382.0 + 2.5 / 24, QVariant(), FieldTypeId::DateTime, false);
    for (const char *templateText : {"<DATETIME>", "<DATETIME_CONVERT>"}) {
        const QString text = run.resolve(QLatin1String(templateText), QString(), fromText);
        QVERIFY(!text.isEmpty());
        QCOMPARE(run.resolve(QLatin1String(templateText), QString(), fromSheet), text);
    }
    QCOMPARE(run.resolve(u"<DATETIME_CONVERT>"_s, QString(), fromText), u"31.03.2024 02:30:00"_s);
}

QTEST_GUILESS_MAIN(TestReplacePlaceholders)
#include "tst_replaceplaceholders.moc"
