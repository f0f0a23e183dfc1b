#include <engine/NumberConversion.h>

#include <QTest>

#include <cmath>
#include <limits>
#include <random>

class TestNumberConversion : public QObject
{
    Q_OBJECT

private slots:
    void parseNumberLenient_data();
    void parseNumberLenient();
    void scaleNumericString_data();
    void scaleNumericString();
    void fixedDecimalAsNumber();
};

void TestNumberConversion::parseNumberLenient_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("decimals");
    QTest::newRow("german") << " -1.234,5 " << -1234.5 << 1;
    QTest::newRow("last comma decides") << "1,234,567" << 1.234 << 3;
    QTest::newRow("apostrophe") << "1'234" << 1234.0 << 0;
    QTest::newRow("no-break space") << QString::fromUtf8("1\u00a0234,56") << 1234.56 << 2;
    QTest::newRow("parentheses") << "(12,5)" << -12.5 << 1;
    QTest::newRow("unit") << "12 kg" << 12.0 << 0;
    // Words a C parser would read as special values are not numbers here.
    QTest::newRow("inf") << "inf" << 0.0 << 0;
    QTest::newRow("underflow") << "1e-400" << 0.0 << 0;
}

void TestNumberConversion::parseNumberLenient()
{
    QFETCH(QString, text);
    int decimals = -1;
    QTEST(::parseNumberLenient(text, &decimals), "value");
    QTEST(decimals, "decimals");
}

void TestNumberConversion::scaleNumericString_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("factor");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QChar>("groupSeparator");

    QTest::newRow("german amount") << QString::fromUtf8("1.234,56 €") << 2.0 << 0 << -1
                                   << QString::fromUtf8("2.469,12 €") << QChar(u'.');
    QTest::newRow("english amount")
        << "EUR -1,234.5" << 2.0 << 1 << -1 << "EUR -2,469.0" << QChar(u',');
    QTest::newRow("swiss amount") << "1'234,50 CHF" << 2.0 << 1 << -1 << "2'469.00 CHF"
                                  << QChar(u'\'');
    QTest::newRow("small factor only reformats") << "1,5" << 0.5 << 1 << -1 << "1.5" << QChar();
    QTest::newRow("no negative zero") << "-0,001" << 1.0 << 0 << 2 << "0,00" << QChar();
    QTest::newRow("no number") << "netto" << 2.0 << 0 << -1 << "netto" << QChar(u'?');
    // With decimals 0 an integer is wanted, so "." or "," before three digits groups.
    QTest::newRow("grouped integer") << "1.234" << 2.0 << 1 << 0 << "2468" << QChar();
    QTest::newRow("grouped integer commas")
        << "1,234,567" << 2.0 << 1 << 0 << "2,469,134" << QChar(u',');
    QTest::newRow("grouped negative integer") << "(1.234)" << 1.0 << 1 << 0 << "-1234" << QChar();
    QTest::newRow("not grouped: 1.5") << "1.5" << 2.0 << 1 << 0 << "3" << QChar();
    QTest::newRow("not grouped: mixed") << "1.234,567" << 1.0 << 1 << 0 << "1235" << QChar();
    QTest::newRow("amount keeps decimals") << "1.234" << 2.0 << 1 << -1 << "2.468" << QChar();
    // Integers keep every digit at any factor with two decimals, beyond 2^53 as well.
    const struct
    {
        const char *text;
        const char *byOne;
        const char *byTwo;
        const char *byOneAndAHalf;
    } integers[] = {
        {"12345678901234567890", "12345678901234567890", "24691357802469135780",
         "18518518351851851835"},
        {"9007199254740993", "9007199254740993", "18014398509481986", "13510798882111490"},
        {"-0042", "-42", "-84", "-63"},
        {"0012345", "12345", "24690", "18518"},
    };
    for (const auto &integer : integers) {
        const std::pair<double, const char *> results[] = {
            {1.0, integer.byOne}, {2.0, integer.byTwo}, {1.5, integer.byOneAndAHalf}};
        for (const auto &[factor, expected] : results) {
            QTest::addRow("integer %s x %g", integer.text, factor)
                << integer.text << factor << 1 << 0 << expected << QChar();
        }
    }
    QTest::newRow("long grouped integer") << "12.345.678.901.234.567.890 Stk" << 2.0 << 0 << 0
                                          << "24.691.357.802.469.135.780 Stk" << QChar(u'.');
    QTest::newRow("long integer as amount")
        << "-12345678901234567890" << 1.15 << 0 << -1 << "-14197530736419753073,50" << QChar();
    QTest::newRow("long integer rounded half up")
        << "99999999999999999999" << 1.01 << 1 << 0 << "100999999999999999999" << QChar();
    // A result that is not finite keeps the text and reports that nothing was scaled (marked x).
    const double infinity = std::numeric_limits<double>::infinity();
    const QString manyDecimals = "0," + QString(400, u'1');
    QTest::newRow("number too large") << "1e999" << 2.0 << 0 << -1 << "1e999" << QChar(u'x');
    QTest::newRow("overflow") << "1e308 EUR" << 10.0 << 0 << -1 << "1e308 EUR" << QChar(u'x');
    QTest::newRow("infinite factor") << "5" << infinity << 0 << -1 << "5" << QChar(u'x');
    QTest::newRow("nan factor") << "5" << std::nan("") << 0 << -1 << "5" << QChar(u'x');
    QTest::newRow("too many decimals")
        << manyDecimals << 2.0 << 0 << -1 << manyDecimals << QChar(u'x');
}

void TestNumberConversion::scaleNumericString()
{
    QFETCH(QString, text);
    QFETCH(double, factor);
    QFETCH(int, mode);
    QFETCH(int, decimals);
    QFETCH(QChar, groupSeparator);
    QString out;
    QChar separatorOut(u'?');
    QVariant value;
    const bool finite = groupSeparator != u'x';
    QCOMPARE(::scaleNumericString(text, factor, out, mode, decimals,
                                  finite ? &separatorOut : nullptr, &value),
             finite);
    QTEST(out, "expected");
    if (finite)
        QCOMPARE(separatorOut, groupSeparator);
    else
        QVERIFY(!value.isValid());
}

void TestNumberConversion::fixedDecimalAsNumber()
{
    // The quick digits must be what the general conversion gives for the quotient,
    // over the whole range they are used for: random units of every length, and
    // the edges.
    using vondrel::fixedDecimalUnitsLimit;
    std::mt19937_64 random(97);
    QList<quint64> units = {0,
                            1,
                            5,
                            9,
                            10,
                            99,
                            100,
                            999999,
                            fixedDecimalUnitsLimit - 1,
                            fixedDecimalUnitsLimit - 2,
                            fixedDecimalUnitsLimit / 2};
    for (quint64 power = 10; power < fixedDecimalUnitsLimit; power *= 10)
        units << power - 1 << power << power + 1 << power * 5;
    for (int i = 0; i < 40000; ++i)
        units << (random() >> (13 + random() % 51));
    for (const quint64 unit : units) {
        for (int decimals = 0; decimals <= vondrel::fixedDecimalMaxDecimals; ++decimals) {
            QChar text[vondrel::fixedDecimalMaxLength];
            const int length = vondrel::writeFixedDecimal(unit, decimals, text);
            const QString expected =
                QString::number(double(unit) / std::pow(10.0, decimals), 'f', decimals);
            if (QStringView(text, length) != expected) {
                QFAIL(qPrintable(QStringLiteral("%1 / 10^%2: %3, not %4")
                                     .arg(unit)
                                     .arg(decimals)
                                     .arg(QStringView(text, length), expected)));
            }
        }
    }
}

QTEST_GUILESS_MAIN(TestNumberConversion)
#include "tst_numberconversion.moc"
