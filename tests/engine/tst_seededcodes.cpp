#include <engine/ByteAlphabets.h>
#include <engine/EngineTables.h>
#include <engine/SeededCodes.h>
#include <engine/WeakKey.h>

#include <QRegularExpression>
#include <QSet>
#include <QTest>

#include <memory>

using vondrel::lowDecimalDigits;

class TestSeededCodes : public QObject
{
    Q_OBJECT

private slots:
    void knownValues();
    void ibansOfEveryCountry();
    void bicShape();
    void alphabetsAtTheEdgeOfTheirInput_data();
    void alphabetsAtTheEdgeOfTheirInput();
    void weakKeys();
};

void TestSeededCodes::knownValues()
{
    QCOMPARE(randomDigits(0, 10), QStringLiteral("6545177685"));
    QCOMPARE(randomDigits(0, 40), randomDigits(0xA5F00D1234ULL, 40));
    QCOMPARE(makeSeededIban(0, QStringLiteral("de"), 7), QStringLiteral("DE95000000000006545177"));
    QCOMPARE(makeSeededIban(1, QStringLiteral("DE"), 7), QStringLiteral("DE13000000000011492101"));
    QCOMPARE(makeSeededIban(0, QStringLiteral("NO"), 7), QStringLiteral("NO7200006545177"));
    QCOMPARE(makeSeededBic(QStringLiteral("DE"), 0), QStringLiteral("NDGJDEZ0000"));
    QCOMPARE(makeSeededBic(QStringLiteral("DE"), 1), QStringLiteral("BCAADEA0001"));
    // Not two letters: German. Two letters without a table length: 18 digits.
    QCOMPARE(makeSeededIban(5, QStringLiteral("1X"), 7),
             makeSeededIban(5, QStringLiteral("DE"), 7));
    QCOMPARE(makeSeededBic(QStringLiteral("FRA"), 0), QStringLiteral("NDGJDEZ0000"));
    QCOMPARE(makeSeededIban(5, QStringLiteral("us"), 7).size(), 22);
    QCOMPARE(lowDecimalDigits(~quint64(0), 19), QStringLiteral("8446744073709551615"));
    QCOMPARE(lowDecimalDigits(7, 22), QStringLiteral("0000000000000000000007"));
}

void TestSeededCodes::ibansOfEveryCountry()
{
    for (auto it = ibanLengthTable.cbegin(); it != ibanLengthTable.cend(); ++it) {
        QSet<QString> seen;
        for (quint64 seed = 0; seed < 3000; ++seed) {
            const QString iban = makeSeededIban(seed, it.key(), 7);
            QVERIFY2(iban.size() == it.value() && iban.startsWith(it.key()), qPrintable(iban));
            // The standard check: country and check digits moved to the end give 1 mod 97.
            QVERIFY2(ibanMod97(ibanLettersToDigits(iban.mid(4) + iban.left(4))) == 1,
                     qPrintable(iban));
            seen.insert(iban);
        }
        QCOMPARE(seen.size(), 3000);
    }
}

void TestSeededCodes::bicShape()
{
    const QRegularExpression shape(QStringLiteral("^[A-Z]{4}AT[A-Z]0[0-9A-Z]{3}$"));
    // Enough seeds to meet every letter; branch codes wrap beyond "ZZZ".
    QList<quint64> seeds = {46656, ~quint64(0)};
    for (quint64 seed = 0; seed < 1000; ++seed)
        seeds.append(seed);
    for (const quint64 seed : seeds) {
        const QString bic = makeSeededBic(QStringLiteral(" at"), seed);
        QVERIFY2(shape.match(bic).hasMatch(), qPrintable(bic));
    }
    QCOMPARE(toBase36(35, 3), QStringLiteral("00Z"));
    QCOMPARE(toBase36(36, 1), QStringLiteral("0"));
}

void TestSeededCodes::alphabetsAtTheEdgeOfTheirInput_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("n");
    // Nothing to take characters from gives nothing, never a division by zero.
    QTest::newRow("no bytes") << 0 << 4;
    for (const int size : {1, 31, 32, 33}) {
        for (const int n : {size - 1, size, size + 1, 2 * size + 1})
            QTest::addRow("%d bytes, %d characters", size, n) << size << n;
    }
}

void TestSeededCodes::alphabetsAtTheEdgeOfTheirInput()
{
    // A buffer of exactly size bytes, so that an address sanitizer sees any read past it.
    QFETCH(int, size);
    QFETCH(int, n);
    const auto buffer = std::make_unique<char[]>(size_t(size));
    for (int i = 0; i < size; ++i)
        buffer[size_t(i)] = char(200 + 7 * i);
    const QByteArrayView bytes(buffer.get(), size);
    QString letters;
    QString digits;
    for (int i = 0; i < n && size > 0; ++i) {
        const uchar byte = uchar(buffer[size_t(i % size)]);
        letters += QChar(u'a' + byte % 26);
        digits += QChar(u'0' + byte % 10);
    }
    QCOMPARE(lettersFromBytes(bytes, n), letters);
    QCOMPARE(digitsFromBytes(bytes, n), digits);
}

void TestSeededCodes::weakKeys()
{
    QVERIFY(isWeakKey(QByteArray()));
    QVERIFY(isWeakKey(QByteArray(16, '\x42')));
    QVERIFY(isWeakKey(QByteArray("ababababab")));
    QVERIFY(isWeakKey(QByteArray("aaaaaaaaaaabcdef")));
    QVERIFY(!isWeakKey(QByteArray::fromHex("000102030405060708090a0b0c0d0e0f")));
    QVERIFY(!isWeakKey(QByteArray::fromHex("f0f1f2f3f4f5f6f7f8f9fafbfcfdfeff")));
}

QTEST_GUILESS_MAIN(TestSeededCodes)
#include "tst_seededcodes.moc"
