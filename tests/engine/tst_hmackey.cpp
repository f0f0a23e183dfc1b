#include "HmacKey.h"

#include <QMessageAuthenticationCode>
#include <QTest>

class TestHmacKey : public QObject
{
    Q_OBJECT

private slots:
    void rfc4231_data();
    void rfc4231();
    void agreesWithQtAcrossKeyLengths();
    void counterStream_data();
    void counterStream();
};

namespace {

QByteArray qtHmac(const QByteArray &key, const QByteArray &message)
{
    return QMessageAuthenticationCode::hash(message, key, QCryptographicHash::Sha256);
}

QByteArray littleEndianCounter(quint32 counter)
{
    QByteArray bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[i] = char((counter >> (8 * i)) & 0xff);
    return bytes;
}

} // namespace

void TestHmacKey::rfc4231_data()
{
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("case 1") << QByteArray(20, '\x0b') << QByteArray("Hi There")
                            << QByteArray("b0344c61d8db38535ca8afceaf0bf12b"
                                          "881dc200c9833da726e9376c2e32cff7");
    QTest::newRow("case 2 short key")
        << QByteArray("Jefe") << QByteArray("what do ya want for nothing?")
        << QByteArray("5bdcc146bf60754e6a042426089575c7"
                      "5a003f089d2739839dec58b964ec3843");
    QTest::newRow("case 3") << QByteArray(20, '\xaa') << QByteArray(50, '\xdd')
                            << QByteArray("773ea91e36800e46854db8ebd09181a7"
                                          "2959098b3ef8c122d9635514ced565fe");
    QTest::newRow("case 4") << QByteArray::fromHex(
                                   "0102030405060708090a0b0c0d0e0f10111213141516171819")
                            << QByteArray(50, '\xcd')
                            << QByteArray("82558a389a443c0ea4cc819899f2083a"
                                          "85f0faa3e578f8077a2e3ff46729665b");
    QTest::newRow("case 6 key longer than a block")
        << QByteArray(131, '\xaa')
        << QByteArray("Test Using Larger Than Block-Size Key - Hash Key First")
        << QByteArray("60e431591ee0b67f0d8a26aacbf5b77f8e0bc6213728c5140546040f0ee37f54");
    QTest::newRow("case 7 long key and message")
        << QByteArray(131, '\xaa')
        << QByteArray("This is a test using a larger than block-size key and a larger than "
                      "block-size data. The key needs to be hashed before being used by the HMAC "
                      "algorithm.")
        << QByteArray("9b09ffa71b942fcb27635fbcd5b0e944bfdc63644f0713938a7f51535c3a35e2");
}

void TestHmacKey::rfc4231()
{
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, message);
    QFETCH(QByteArray, expected);
    QCOMPARE(hmacSha256(key, message).toHex(), expected);
    // A prepared key gives the same result for every message, also when reused.
    const HmacKey prepared(key);
    QCOMPARE(hmacSha256(prepared, message).toHex(), expected);
    QCOMPARE(hmacSha256(prepared, message).toHex(), expected);
}

void TestHmacKey::agreesWithQtAcrossKeyLengths()
{
    // Key lengths around the 64-byte block, where padding and key hashing switch.
    const QByteArray message("PSEUDO|<NAME>");
    for (int length : {0, 1, 16, 32, 63, 64, 65, 128, 200}) {
        QByteArray key(length, '\0');
        for (int i = 0; i < length; ++i)
            key[i] = char(i * 7 + 3);
        QCOMPARE(hmacSha256(key, message), qtHmac(key, message));
        QCOMPARE(HmacKey(key).bytes(), key);
    }
    QCOMPARE(hmacSha256(QByteArray("k"), QByteArray()), qtHmac("k", QByteArray()));
}

void TestHmacKey::counterStream_data()
{
    QTest::addColumn<int>("n");
    QTest::newRow("none") << 0;
    QTest::newRow("negative") << -5;
    QTest::newRow("one byte") << 1;
    QTest::newRow("one block") << 32;
    QTest::newRow("block boundary") << 33;
    QTest::newRow("three blocks") << 70;
}

void TestHmacKey::counterStream()
{
    QFETCH(int, n);
    const QByteArray key = QByteArray::fromHex("000102030405060708090a0b0c0d0e0f");
    const QByteArray data = QByteArrayLiteral("M\xc3\xbcller");

    QByteArray expected;
    for (quint32 counter = 0; expected.size() < n; ++counter)
        expected += qtHmac(key, data + littleEndianCounter(counter));
    expected.truncate(qMax(n, 0));

    QCOMPARE(hmacCounterStream(key, data, n), expected);
}

QTEST_GUILESS_MAIN(TestHmacKey)
#include "tst_hmackey.moc"
