#include "ByteAlphabets.h"
#include "EngineTables.h"
#include "SeededCodes.h"
#include "WeakKey.h"

#include <QRegularExpression>
#include <QSet>
#include <QTest>

class TestSeededCodes : public QObject
{
    Q_OBJECT

private slots:
    void randomDigitsKnownValues();
    void seededIbanKnownValues_data();
    void seededIbanKnownValues();
    void seededIbansOfEveryCountry();
    void seededIbanFallbacks();
    void ibanCheckOfPublishedExample();
    void seededBics();
    void alphabets();
    void weakKeys_data();
    void weakKeys();
};

void TestSeededCodes::randomDigitsKnownValues()
{
    QCOMPARE(randomDigits(0, 10), QStringLiteral("6545177685"));
    // Seed 0 would keep xorshift at 0, so it stands for a fixed seed.
    QCOMPARE(randomDigits(0, 40), randomDigits(0xA5F00D1234ULL, 40));
    QVERIFY(randomDigits(1, 40) != randomDigits(0, 40));
    QVERIFY(randomDigits(0, 10).startsWith(randomDigits(0, 3)));
    QCOMPARE(randomDigits(7, 0), QString());
    QCOMPARE(randomDigits(7, -1), QString());
    QVERIFY(QRegularExpression(QStringLiteral("^[0-9]{200}$"))
                .match(randomDigits(~quint64(0), 200))
                .hasMatch());
}

void TestSeededCodes::seededIbanKnownValues_data()
{
    QTest::addColumn<quint64>("seed");
    QTest::addColumn<QString>("country");
    QTest::addColumn<QString>("iban");
    QTest::newRow("de seed 0") << quint64(0) << "de"
                               << "DE95000000000006545177";
    QTest::newRow("DE seed 1") << quint64(1) << "DE"
                               << "DE13000000000011492101";
    QTest::newRow("NO seed 0") << quint64(0) << "NO"
                               << "NO7200006545177";
    QTest::newRow("padded") << quint64(0) << " de "
                            << "DE95000000000006545177";
}

void TestSeededCodes::seededIbanKnownValues()
{
    QFETCH(quint64, seed);
    QFETCH(QString, country);
    QFETCH(QString, iban);
    QCOMPARE(makeSeededIban(seed, country, 7), iban);
}

void TestSeededCodes::seededIbansOfEveryCountry()
{
    for (auto it = ibanLengthTable.cbegin(); it != ibanLengthTable.cend(); ++it) {
        const QString &cc = it.key();
        QSet<QString> seen;
        for (quint64 seed = 0; seed < 3000; ++seed) {
            const QString iban = makeSeededIban(seed, cc, 7);
            QVERIFY2(iban.size() == it.value() && iban.startsWith(cc), qPrintable(iban));
            // Standard check: country and check digits moved to the end, mod 97 is 1.
            const QString rearranged = iban.mid(4) + iban.left(4);
            QVERIFY2(ibanMod97(ibanLettersToDigits(rearranged)) == 1, qPrintable(iban));
            seen.insert(iban);
        }
        QVERIFY2(seen.size() == 3000, qPrintable(cc));
    }
}

void TestSeededCodes::seededIbanFallbacks()
{
    // Not two letters: German IBAN. Two letters without a length: 18 digits.
    QCOMPARE(makeSeededIban(5, QStringLiteral("D"), 7), makeSeededIban(5, QStringLiteral("DE"), 7));
    QCOMPARE(makeSeededIban(5, QStringLiteral("1X"), 7),
             makeSeededIban(5, QStringLiteral("DE"), 7));
    const QString us = makeSeededIban(5, QStringLiteral("us"), 7);
    QCOMPARE(us.size(), 22);
    QVERIFY(us.startsWith(QLatin1String("US")));
    // A longer account part leaves no room for the seed in the middle.
    const QString longAccount = makeSeededIban(0, QStringLiteral("DE"), 14);
    QCOMPARE(longAccount.mid(4), QStringLiteral("0000") + randomDigits(0, 14));
    QCOMPARE(makeSeededIban(0, QStringLiteral("DE"), 30), longAccount);
    QCOMPARE(makeSeededIban(0, QStringLiteral("DE"), 0),
             makeSeededIban(0, QStringLiteral("DE"), 7));
}

void TestSeededCodes::ibanCheckOfPublishedExample()
{
    QCOMPARE(ibanLettersToDigits(QStringLiteral("AZ9")), QStringLiteral("10359"));
    const QString iban = QStringLiteral("DE89370400440532013000");
    QCOMPARE(ibanMod97(ibanLettersToDigits(iban.mid(4) + iban.left(4))), 1);
    QCOMPARE(ibanMod97(QStringLiteral("9 7-x")), 0);
}

void TestSeededCodes::seededBics()
{
    QCOMPARE(makeSeededBic(QStringLiteral("DE"), 0), QStringLiteral("NDGJDEZ0000"));
    QCOMPARE(makeSeededBic(QStringLiteral("DE"), 1), QStringLiteral("BCAADEA0001"));
    QCOMPARE(makeSeededBic(QStringLiteral(" fr"), 0), QStringLiteral("NDGJFRZ0000"));
    QCOMPARE(makeSeededBic(QStringLiteral("FRA"), 0), QStringLiteral("NDGJDEZ0000"));

    const QRegularExpression shape(QStringLiteral("^[A-Z]{4}AT[A-Z]0[0-9A-Z]{3}$"));
    QSet<QString> seen;
    for (quint64 seed = 0; seed < 5000; ++seed) {
        const QString bic = makeSeededBic(QStringLiteral("AT"), seed);
        QVERIFY2(shape.match(bic).hasMatch(), qPrintable(bic));
        seen.insert(bic);
    }
    QCOMPARE(seen.size(), 5000);
    QVERIFY(makeSeededBic(QStringLiteral("AT"), ~quint64(0)).size() == 11);
}

void TestSeededCodes::alphabets()
{
    const QByteArray bytes = QByteArray::fromHex("00190a1aff");
    QCOMPARE(lettersFromBytes(bytes, 7), QStringLiteral("azkavaz"));
    QCOMPARE(digitsFromBytes(bytes, 7), QStringLiteral("0506505"));
    QCOMPARE(lettersFromBytes(bytes, 0), QString());
    // Nothing to take characters from: empty, never a division by zero.
    QCOMPARE(lettersFromBytes(QByteArray(), 4), QString());
    QCOMPARE(digitsFromBytes(QByteArray(), 4), QString());

    QCOMPARE(toBase36(35, 3), QStringLiteral("00Z"));
    QCOMPARE(toBase36(36, 1), QStringLiteral("0"));
    QCOMPARE(toBase36(36 * 36 + 10, 3), QStringLiteral("10A"));
    QCOMPARE(toBase36(~quint64(0), 13), QStringLiteral("3W5E11264SGSF"));
    QCOMPARE(toBase36(5, 0), QString());

    QCOMPARE(lowDecimalDigits(12345, 3), QStringLiteral("345"));
    QCOMPARE(lowDecimalDigits(7, 4), QStringLiteral("0007"));
    QCOMPARE(lowDecimalDigits(~quint64(0), 19), QStringLiteral("8446744073709551615"));
    QCOMPARE(lowDecimalDigits(~quint64(0), 22), QStringLiteral("0018446744073709551615"));
    QCOMPARE(lowDecimalDigits(7, 0), QString());
}

void TestSeededCodes::weakKeys_data()
{
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<bool>("weak");
    QByteArray ascending;
    for (int i = 0; i < 16; ++i)
        ascending.append(char(i));
    QTest::newRow("empty") << QByteArray() << true;
    QTest::newRow("16 equal bytes") << QByteArray(16, '\x42') << true;
    QTest::newRow("two alternating values") << QByteArray("ababababab") << true;
    QTest::newRow("five distinct values") << QByteArray("abcdeabcdeabcdea") << true;
    QTest::newRow("six distinct, low entropy") << QByteArray("aaaaaaaaaaabcdef") << true;
    QTest::newRow("00 to 0F") << ascending << false;
    QTest::newRow("32 distinct bytes")
        << (ascending + QByteArray::fromHex("a0a1a2a3a4a5a6a7a8a9aaabacadaeaf")) << false;
}

void TestSeededCodes::weakKeys()
{
    QFETCH(QByteArray, key);
    QFETCH(bool, weak);
    QCOMPARE(isWeakKey(key), weak);
}

QTEST_GUILESS_MAIN(TestSeededCodes)
#include "tst_seededcodes.moc"
