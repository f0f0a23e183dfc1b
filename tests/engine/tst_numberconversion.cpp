#include "NumberConversion.h"

#include <QTest>

#include <cmath>
#include <limits>

class TestNumberConversion : public QObject
{
    Q_OBJECT

private slots:
    void splitNumberToken_data();
    void splitNumberToken();
    void parseNumberLenient_data();
    void parseNumberLenient();
    void parseNumberLenientRangeErrors();
    void formatNumberGrouped_data();
    void formatNumberGrouped();
    void scaleNumericString_data();
    void scaleNumericString();
    void scaleNumericStringKeepsTextWhenNotFinite_data();
    void scaleNumericStringKeepsTextWhenNotFinite();
    void precision();
};

void TestNumberConversion::splitNumberToken_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("token");
    QTest::addColumn<QString>("after");
    QTest::newRow("amount in words") << "EUR 1.234,56 netto"
                                     << "EUR "
                                     << "1.234,56"
                                     << " netto";
    QTest::newRow("only a number") << "12"
                                   << ""
                                   << "12"
                                   << "";
    QTest::newRow("no number") << "netto"
                               << "netto"
                               << ""
                               << "";
    QTest::newRow("only a blank") << "a b"
                                  << "a "
                                  << ""
                                  << "b";
    QTest::newRow("parentheses") << "(12,5) EUR"
                                 << ""
                                 << "(12,5)"
                                 << " EUR";
    QTest::newRow("letters inside stay") << "1 x 2"
                                         << ""
                                         << "1 x 2"
                                         << "";
    QTest::newRow("no-break spaces")
        << QString::fromUtf8("\u00a01\u00a0234\u00a0") << QString::fromUtf8("\u00a0")
        << QString::fromUtf8("1\u00a0234") << QString::fromUtf8("\u00a0");
}

void TestNumberConversion::splitNumberToken()
{
    QFETCH(QString, text);
    QString before;
    QString token;
    QString after;
    ::splitNumberToken(text, before, token, after);
    QTEST(before, "before");
    QTEST(token, "token");
    QTEST(after, "after");
}

void TestNumberConversion::parseNumberLenient_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("decimals");
    QTest::newRow("german") << " -1.234,5 " << -1234.5 << 1;
    QTest::newRow("english") << "1,234.56" << 1234.56 << 2;
    QTest::newRow("single separator is decimal") << "1.234" << 1.234 << 3;
    QTest::newRow("last comma decides") << "1,234,567" << 1.234 << 3;
    QTest::newRow("apostrophe") << "1'234" << 1234.0 << 0;
    QTest::newRow("apostrophe and point") << "1'234.5" << 1234.5 << 1;
    QTest::newRow("blanks") << "1 234 567" << 1234567.0 << 0;
    QTest::newRow("no-break space") << QString::fromUtf8("1\u00a0234,56") << 1234.56 << 2;
    QTest::newRow("parentheses") << "(12,5)" << -12.5 << 1;
    QTest::newRow("parentheses and minus negate once") << "(-5)" << -5.0 << 0;
    QTest::newRow("unit") << "12 kg" << 12.0 << 0;
    QTest::newRow("exponent") << "1e5" << 100000.0 << 0;
    QTest::newRow("empty") << "" << 0.0 << 0;
    QTest::newRow("letters") << "abc" << 0.0 << 0;
    // Words a C parser would read as special values are not numbers here.
    QTest::newRow("inf") << "inf" << 0.0 << 0;
    QTest::newRow("nan") << "-nan" << 0.0 << 0;
    QTest::newRow("hex") << "0x1A" << 0.0 << 0;
}

void TestNumberConversion::parseNumberLenient()
{
    QFETCH(QString, text);
    int decimals = -1;
    QTEST(::parseNumberLenient(text, &decimals), "value");
    QTEST(decimals, "decimals");
}

void TestNumberConversion::parseNumberLenientRangeErrors()
{
    QVERIFY(std::isinf(::parseNumberLenient(QStringLiteral("1e400"))));
    QVERIFY(::parseNumberLenient(QStringLiteral("-1e400")) < 0);
    QVERIFY(std::isinf(::parseNumberLenient(QString(400, u'9'))));
    QCOMPARE(::parseNumberLenient(QStringLiteral("1e-400")), 0.0);
    QCOMPARE(::parseNumberLenient(QStringLiteral("0.0000001e-400")), 0.0);
}

void TestNumberConversion::formatNumberGrouped_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QChar>("decimalSign");
    QTest::addColumn<QChar>("groupSeparator");
    QTest::addColumn<QString>("text");
    QTest::newRow("german") << 1234567.891 << 2 << QChar(u',') << QChar(u'.') << "1.234.567,89";
    QTest::newRow("three digits") << 999.0 << 0 << QChar(u',') << QChar(u'.') << "999";
    QTest::newRow("four digits") << 1000.0 << 0 << QChar(u',') << QChar(u'.') << "1.000";
    QTest::newRow("six digits") << 100000.0 << 0 << QChar(u',') << QChar(u'.') << "100.000";
    QTest::newRow("separator equals sign") << 1000.5 << 1 << QChar(u'.') << QChar(u'.') << "1000.5";
    QTest::newRow("no separator") << 123456.0 << 0 << QChar(u',') << QChar() << "123456";
    QTest::newRow("negative") << -1234.5 << 1 << QChar(u'.') << QChar(u',') << "-1,234.5";
}

void TestNumberConversion::formatNumberGrouped()
{
    QFETCH(double, value);
    QFETCH(int, decimals);
    QFETCH(QChar, decimalSign);
    QFETCH(QChar, groupSeparator);
    QTEST(::formatNumberGrouped(value, decimals, decimalSign, groupSeparator), "text");
}

void TestNumberConversion::scaleNumericString_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("factor");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QChar>("groupSeparator");
    QTest::addColumn<double>("value");

    QTest::newRow("german amount") << QString::fromUtf8("1.234,56 €") << 2.0 << 0 << -1
                                   << QString::fromUtf8("2.469,12 €") << QChar(u'.') << 2469.12;
    QTest::newRow("english amount")
        << "EUR -1,234.5" << 2.0 << 1 << -1 << "EUR -2,469.0" << QChar(u',') << -2469.0;
    QTest::newRow("swiss amount") << "1'234,50 CHF" << 2.0 << 1 << -1 << "2'469.00 CHF"
                                  << QChar(u'\'') << 2469.0;
    QTest::newRow("integer") << "12" << 2.0 << 1 << 0 << "24" << QChar() << 24.0;
    QTest::newRow("decimal comma") << "1,5" << 3.0 << 0 << -1 << "4,5" << QChar() << 4.5;
    QTest::newRow("small factor only reformats")
        << "1,5" << 0.5 << 1 << -1 << "1.5" << QChar() << 1.5;
    QTest::newRow("no negative zero") << "-0,001" << 1.0 << 0 << 2 << "0,00" << QChar() << 0.0;
    QTest::newRow("no decimals read: two") << "7" << 1.5 << 0 << -1 << "10,50" << QChar() << 10.5;
    // With decimals 0 the caller wants an integer, so grouping is not a decimal sign.
    QTest::newRow("grouped integer") << "1.234" << 2.0 << 1 << 0 << "2468" << QChar() << 2468.0;
    QTest::newRow("grouped integer 12.500")
        << "12.500" << 2.0 << 1 << 0 << "25000" << QChar() << 25000.0;
    QTest::newRow("grouped integer commas")
        << "1,234,567" << 2.0 << 1 << 0 << "2,469,134" << QChar(u',') << 2469134.0;
    QTest::newRow("grouped negative integer")
        << "(1.234)" << 1.0 << 1 << 0 << "-1234" << QChar() << -1234.0;
    QTest::newRow("not grouped: 1.5") << "1.5" << 2.0 << 1 << 0 << "3" << QChar() << 3.0;
    QTest::newRow("not grouped: four decimals")
        << "1.2345" << 1.0 << 1 << 0 << "1" << QChar() << 1.0;
    QTest::newRow("not grouped: mixed")
        << "1.234,567" << 1.0 << 1 << 0 << "1235" << QChar() << 1235.0;
    QTest::newRow("amount keeps decimals")
        << "1.234" << 2.0 << 1 << -1 << "2.468" << QChar() << 2.468;
}

void TestNumberConversion::scaleNumericString()
{
    QFETCH(QString, text);
    QFETCH(double, factor);
    QFETCH(int, mode);
    QFETCH(int, decimals);
    QString out;
    QChar groupSeparator(u'?');
    QVariant value;
    QVERIFY(::scaleNumericString(text, factor, out, mode, decimals, &groupSeparator, &value));
    QTEST(out, "expected");
    QTEST(groupSeparator, "groupSeparator");
    QTEST(value.toDouble(), "value");
}

void TestNumberConversion::scaleNumericStringKeepsTextWhenNotFinite_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("factor");
    QTest::newRow("number too large") << "1e999" << 2.0;
    QTest::newRow("overflow") << "1e308 EUR" << 10.0;
    QTest::newRow("infinite factor") << "5" << std::numeric_limits<double>::infinity();
    QTest::newRow("nan factor") << "5" << std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("too many decimals") << "0," + QString(400, u'1') << 2.0;
}

void TestNumberConversion::scaleNumericStringKeepsTextWhenNotFinite()
{
    QFETCH(QString, text);
    QFETCH(double, factor);
    QString out;
    QVariant value;
    QVERIFY(!::scaleNumericString(text, factor, out, 0, -1, nullptr, &value));
    QCOMPARE(out, text);
    QVERIFY(!value.isValid());

    QVERIFY(::scaleNumericString(QStringLiteral("netto"), factor, out, 0, -1));
    QCOMPARE(out, QStringLiteral("netto"));
}

void TestNumberConversion::precision()
{
    QCOMPARE(signAtPrecision(0.004, 2), 0);
    QCOMPARE(signAtPrecision(0.006, 2), 1);
    QCOMPARE(signAtPrecision(-0.006, 2), -1);
    QCOMPARE(signAtPrecision(std::numeric_limits<double>::quiet_NaN(), 2), 0);
    QCOMPARE(signAtPrecision(std::numeric_limits<double>::infinity(), 2), 1);
    QVERIFY(equalAtPrecision(1.004, 1.0, 2));
    QVERIFY(!equalAtPrecision(1.006, 1.0, 2));
    QVERIFY(!equalAtPrecision(std::numeric_limits<double>::quiet_NaN(), 1.0, 2));
    QCOMPARE(roundToPrecision(2.36, 1), 2.4);
}

QTEST_GUILESS_MAIN(TestNumberConversion)
#include "tst_numberconversion.moc"
