#include "PseudoContext.h"
#include "Pseudonymizer.h"
#include "SeededCodes.h"

#include <QRegularExpression>
#include <QTest>

#include <limits>

class TestReplacePlaceholders : public QObject
{
    Q_OBJECT

private slots:
    void templates_data();
    void templates();
    void runningNumbersAndUuids();
    void copiedTextIsNeverResolvedAgain_data();
    void copiedTextIsNeverResolvedAgain();
    void amounts_data();
    void amounts();
    void ibans();
    void ibanCollisions();
    void bics();
    void dates();
    void dateTimes();
    void datesAsText();
};

namespace {

// One run: engine, date settings and context, as the processing run holds them.
struct Run
{
    explicit Run(const PseudoSettings &settings = PseudoSettings())
        : engine(QByteArray::fromHex("000102030405060708090a0b0c0d0e0f"), settings)
        , context(engine, dates)
    { }

    QString resolve(const QString &templateText, const QString &text = QString(),
                    const QVariant &value = QVariant())
    {
        return Pseudonymizer::replacePlaceholders(context, text, value, templateText, type,
                                                  &groupSeparator, &typedValue);
    }

    Pseudonymizer engine;
    DateTextSettings dates;
    PseudoContext context;
    int type = -1;
    QChar groupSeparator;
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
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<int>("type");
    QTest::newRow("no placeholder") << "plain"
                                    << "x"
                                    << "plain" << 0;
    QTest::newRow("empty template") << ""
                                    << "x"
                                    << "" << 0;
    QTest::newRow("lower case is no placeholder") << "<name>"
                                                  << "x"
                                                  << "<name>" << 0;
    QTest::newRow("name with blanks")
        << "<NAME>" << QString::fromUtf8(" Müller ") << "nameoqysizjayhgteo" << 4;
    QTest::newRow("first in table order wins")
        << "<ZIP> <NAME>" << QString::fromUtf8("Müller") << "nameoqysizjayhgteo" << 4;
    QTest::newRow("cell holding a placeholder") << "<NAME>"
                                                << "<ZIP>"
                                                << "name[a-z]{14}" << 4;
    QTest::newRow("email") << "<EMAIL>"
                           << "a@b.de"
                           << "[a-z]{16}@example\\.invalid" << 2;
}

void TestReplacePlaceholders::templates()
{
    QFETCH(QString, templateText);
    QFETCH(QString, text);
    QFETCH(QString, pattern);
    Run run;
    const QString result = run.resolve(templateText, text);
    QVERIFY2(matches(pattern, result), qPrintable(result));
    QTEST(run.type, "type");
    QVERIFY(!run.typedValue.isValid());
}

void TestReplacePlaceholders::runningNumbersAndUuids()
{
    Run run;
    QCOMPARE(run.resolve(QStringLiteral("Nr. <NUM>")), QStringLiteral("Nr. 1"));
    QCOMPARE(run.resolve(QStringLiteral("Nr. <NUM>")), QStringLiteral("Nr. 2"));
    QCOMPARE(run.resolve(QStringLiteral("<NUM>/<NUM>")), QStringLiteral("3/4"));
    QCOMPARE(run.type, 14);
    QCOMPARE(run.context.numberCounter, 4);

    const QString uuid = run.resolve(QStringLiteral("<UUID>"));
    QVERIFY2(matches(QStringLiteral("[0-9a-f]{32}"), uuid), qPrintable(uuid));
    QVERIFY(run.resolve(QStringLiteral("<UUID>")) != uuid);
    QCOMPARE(run.type, 15);

    const QString both = run.resolve(QStringLiteral("id-<UUID>-<NUM>"));
    QVERIFY2(matches(QStringLiteral("id-[0-9a-f]{32}-5"), both), qPrintable(both));
    QCOMPARE(run.type, 15);
}

void TestReplacePlaceholders::copiedTextIsNeverResolvedAgain_data()
{
    QTest::addColumn<QString>("templateText");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("type");
    const QVariant none;
    const QVariant date = QDate(2024, 2, 1);
    QTest::newRow("amount cell holding its placeholder")
        << "<AMOUNT_COMMA>"
        << "<AMOUNT_COMMA>" << none << "<AMOUNT_COMMA>" << 16;
    QTest::newRow("amount beside another placeholder")
        << "<AMOUNT_COMMA>"
        << "<ZIP> 12,5" << none << "<ZIP> 25,0" << 16;
    QTest::newRow("integer kept as text") << "<INTEGER>"
                                          << "<INTEGER>" << none << "<INTEGER>" << 18;
    QTest::newRow("date format quoting a placeholder")
        << "<DATE_CONVERT>"
        << "" << date << "<DATE_CONVERT> 01.02.2024" << 23;
    QTest::newRow("date format quoting a running number")
        << "<DATETIME_CONVERT>"
        << "" << date << "<NUM> 01.02.2024 00:00:00" << 24;
}

void TestReplacePlaceholders::copiedTextIsNeverResolvedAgain()
{
    QFETCH(QString, templateText);
    QFETCH(QString, text);
    QFETCH(QVariant, value);
    Run run;
    run.context.floatScaleFactor = 2;
    run.context.intScaleFactor = 2;
    run.dates.dateToTextFmt = QStringLiteral("'<DATE_CONVERT>' dd.MM.yyyy");
    run.dates.dateTimeToTextFmt = QStringLiteral("'<NUM>' dd.MM.yyyy HH:mm:ss");
    QTEST(run.resolve(templateText, text, value), "expected");
    QTEST(run.type, "type");
    QCOMPARE(run.context.numberCounter, 0);

    // A date format holding the date's own placeholder ends too.
    run.dates.dateToTextFmt = QStringLiteral("'<DATE>'");
    QCOMPARE(run.resolve(QStringLiteral("<DATE>"), QString(), QDate(2024, 2, 1)),
             QStringLiteral("<DATE>"));
}

void TestReplacePlaceholders::amounts_data()
{
    QTest::addColumn<QString>("templateText");
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("factor");
    QTest::addColumn<bool>("keepAtOne");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QChar>("groupSeparator");
    const QVariant untouched;
    const double infinity = std::numeric_limits<double>::infinity();
    QTest::newRow("factor 0") << "<AMOUNT_COMMA>"
                              << "1.234,5" << 0.0 << false << "1.234,5" << untouched << QChar();
    QTest::newRow("factor rounding to 0")
        << "<AMOUNT_COMMA>"
        << "1.234,5" << 0.004 << false << "1.234,5" << untouched << QChar();
    QTest::newRow("factor 1 kept") << "<AMOUNT_COMMA>"
                                   << "1.234,5" << 1.0 << true << "1.234,5" << untouched << QChar();
    QTest::newRow("factor 1 reformatted")
        << "<AMOUNT_DOT>"
        << "1.234,5" << 1.0 << false << "1234.5" << QVariant(1234.5) << QChar();
    QTest::newRow("comma") << "<AMOUNT_COMMA>"
                           << "1.234,5" << 2.0 << true << "2.469,0" << QVariant(2469.0)
                           << QChar(u'.');
    QTest::newRow("dot") << "<AMOUNT_DOT>"
                         << "$ 1,234.50" << 2.0 << true << "$ 2,469.00" << QVariant(2469.0)
                         << QChar(u',');
    QTest::newRow("empty cell") << "<AMOUNT_DOT>"
                                << "" << 2.0 << true << "" << untouched << QChar();
    QTest::newRow("infinite factor keeps the text")
        << "<AMOUNT_DOT>"
        << "12.5" << infinity << true << "12.5" << untouched << QChar();
    QTest::newRow("grouped integer")
        << "<INTEGER>"
        << "1.234" << 2.0 << true << "2468" << QVariant(2468.0) << QChar();
    QTest::newRow("integer rounds") << "<INTEGER>"
                                    << "12,7" << 1.0 << true << "13" << QVariant(13.0) << QChar();
    QTest::newRow("integer factor 0") << "<INTEGER>"
                                      << "12" << 0.0 << true << "12" << untouched << QChar();
}

void TestReplacePlaceholders::amounts()
{
    QFETCH(QString, templateText);
    QFETCH(QString, text);
    QFETCH(double, factor);
    QFETCH(bool, keepAtOne);
    Run run;
    run.context.floatScaleFactor = factor;
    run.context.intScaleFactor = factor;
    run.context.floatScaleFactorGreater1 = keepAtOne;
    QTEST(run.resolve(templateText, text), "expected");
    QTEST(run.typedValue, "value");
    QTEST(run.groupSeparator, "groupSeparator");
}

void TestReplacePlaceholders::ibans()
{
    Run run;
    const QString iban = QStringLiteral("<IBAN>");
    const QString first = run.resolve(iban, QStringLiteral(" de89 3704 0044 0532 0130 00"));
    QCOMPARE(first, QStringLiteral("DE95000000000006545177"));
    QCOMPARE(run.type, 19);
    QSet<QString> seen = {first};
    for (int i = 0; i < 50; ++i) {
        const QString next = run.resolve(iban, QStringLiteral("DE89370400440532013000"));
        QVERIFY2(matches(QStringLiteral("DE[0-9]{2}0000[0-9]{14}"), next), qPrintable(next));
        seen.insert(next);
    }
    QCOMPARE(seen.size(), 51);
    QCOMPARE(run.context.ibanSeed, quint64(51));
    QCOMPARE(run.resolve(iban, QStringLiteral("NO9386011117947")).size(), 15);

    QCOMPARE(run.resolve(iban, QStringLiteral("US1234")), QStringLiteral("Unsupported"));
    QCOMPARE(run.resolve(iban, QStringLiteral("D")), QStringLiteral("Unsupported"));
    QCOMPARE(run.resolve(iban, QString()), QString());
    QCOMPARE(run.resolve(iban, QStringLiteral("   ")), QString());
    QCOMPARE(run.context.ibanSeed, quint64(52));
}

void TestReplacePlaceholders::ibanCollisions()
{
    Run run;
    run.context.usedIbans.insert(makeSeededIban(0, QStringLiteral("DE"), 7));
    QCOMPARE(run.resolve(QStringLiteral("<IBAN>"), QStringLiteral("DE00")),
             makeSeededIban(1, QStringLiteral("DE"), 7));
    QCOMPARE(run.context.ibanSeed, quint64(2));

    // After 1000 collisions the last candidate is taken rather than stalling the run.
    Run full;
    for (quint64 seed = 0; seed < 1000; ++seed)
        full.context.usedIbans.insert(makeSeededIban(seed, QStringLiteral("AT"), 7));
    QCOMPARE(full.resolve(QStringLiteral("<IBAN>"), QStringLiteral("AT00")),
             makeSeededIban(999, QStringLiteral("AT"), 7));
    QCOMPARE(full.context.ibanSeed, quint64(1001));
    QCOMPARE(full.context.usedIbans.size(), 1000);
}

void TestReplacePlaceholders::bics()
{
    Run run;
    const QString bic = QStringLiteral("<BIC>");
    QCOMPARE(run.resolve(bic, QStringLiteral("COBADEFF")), QStringLiteral("NDGJDEZ0000"));
    QCOMPARE(run.type, 20);
    QCOMPARE(run.resolve(bic, QStringLiteral(" cobadeffxxx")), QStringLiteral("BCAADEA0001"));
    const QString french = run.resolve(bic, QStringLiteral("BNPAFRPP"));
    QVERIFY2(matches(QStringLiteral("[A-Z]{4}FR[A-Z]0002"), french), qPrintable(french));
    QCOMPARE(run.resolve(bic, QStringLiteral("abc")), QStringLiteral("Unsupported"));
    QCOMPARE(run.resolve(bic, QStringLiteral("12345678")), QStringLiteral("Unsupported"));
    QCOMPARE(run.resolve(bic, QStringLiteral("COBADEFFX")), QStringLiteral("Unsupported"));
    QCOMPARE(run.resolve(bic, QString()), QString());
    QCOMPARE(run.context.bicSeed, quint64(3));
}

void TestReplacePlaceholders::dates()
{
    Run run;
    const QString date = QStringLiteral("<DATE>");
    QCOMPARE(run.resolve(date, QString(), QDate(2024, 1, 15)), QStringLiteral("04.11.2023"));
    QCOMPARE(run.type, 21);
    QCOMPARE(run.typedValue, QVariant(QDate(2023, 11, 4)));
    // One shift for the whole data set keeps the distance between dates.
    run.resolve(date, QString(), QDateTime(QDate(2021, 7, 3), QTime(23, 30)));
    QCOMPARE(run.typedValue, QVariant(QDate(2021, 4, 22)));
    run.dates.dateToTextISO = true;
    QCOMPARE(run.resolve(date, QString(), QStringLiteral("2024-01-15")),
             QStringLiteral("2023-11-04"));

    run.context.dateShiftPerDataSet = false;
    QVERIFY(run.resolve(date, QString(), QDate(2024, 1, 15)) != QStringLiteral("2023-11-04"));
    QVariant invalid = QStringLiteral("left alone");
    run.typedValue = invalid;
    QCOMPARE(run.resolve(date, QStringLiteral("x"), QVariant()), QString());
    QCOMPARE(run.resolve(date, QStringLiteral("x"), QStringLiteral("15.01.2024")), QString());
    QCOMPARE(run.typedValue, invalid);

    PseudoSettings still;
    still.maxShiftDays = 0;
    Run unshifted(still);
    QCOMPARE(unshifted.resolve(date, QString(), QDate(2024, 1, 15)), QStringLiteral("15.01.2024"));
}

void TestReplacePlaceholders::dateTimes()
{
    Run run;
    const QString dateTime = QStringLiteral("<DATETIME>");
    const QDateTime first(QDate(2024, 1, 15), QTime(8, 0));
    const QDateTime second(QDate(2022, 6, 1), QTime(17, 45, 10));
    run.resolve(dateTime, QString(), first);
    QCOMPARE(run.type, 22);
    const qint64 shift = first.secsTo(run.typedValue.toDateTime());
    const QString text = run.resolve(dateTime, QString(), second);
    QCOMPARE(second.secsTo(run.typedValue.toDateTime()), shift);
    QCOMPARE(text, run.typedValue.toDateTime().toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")));

    // Per value, the scope is the ISO text of the date-time.
    run.context.dateShiftPerDataSet = false;
    run.resolve(dateTime, QString(), first);
    QCOMPARE(run.typedValue.toDateTime(),
             run.engine.shiftDateTimeForDataset(first, "2024-01-15T08:00:00"));
    QCOMPARE(run.resolve(dateTime, QString(), QVariant()), QString());
}

void TestReplacePlaceholders::datesAsText()
{
    Run run;
    const QDateTime value(QDate(2024, 2, 1), QTime(13, 14, 15));
    QCOMPARE(run.resolve(QStringLiteral("<DATE_CONVERT>"), QString(), value),
             QStringLiteral("01.02.2024"));
    QCOMPARE(run.resolve(QStringLiteral("<DATETIME_CONVERT>"), QString(), value),
             QStringLiteral("01.02.2024 13:14:15"));
    run.dates.dateToTextISO = true;
    run.dates.dateTimeToTextISO = true;
    QCOMPARE(run.resolve(QStringLiteral("<DATE_CONVERT>"), QString(), value),
             QStringLiteral("2024-02-01"));
    QCOMPARE(run.resolve(QStringLiteral("<DATETIME_CONVERT>"), QString(), value),
             QStringLiteral("2024-02-01T13:14:15"));
    QCOMPARE(run.type, 24);
    QCOMPARE(run.resolve(QStringLiteral("<DATE_CONVERT>"), QStringLiteral("x"), QVariant()),
             QString());
    QVERIFY(!run.typedValue.isValid());
}

QTEST_GUILESS_MAIN(TestReplacePlaceholders)
#include "tst_replaceplaceholders.moc"
