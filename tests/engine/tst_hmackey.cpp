#include <engine/HmacKey.h>

#include <QMessageAuthenticationCode>
#include <QTest>

using vondrel::HmacKey;

class TestHmacKey : public QObject
{
    Q_OBJECT

private slots:
    void rfc4231_data();
    void rfc4231();
    void counterStreamBlocks();
    void everyMessageLength();
};

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
    QTest::newRow("case 6 key longer than a block")
        << QByteArray(131, '\xaa')
        << QByteArray("Test Using Larger Than Block-Size Key - Hash Key First")
        << QByteArray("60e431591ee0b67f0d8a26aacbf5b77f8e0bc6213728c5140546040f0ee37f54");
}

void TestHmacKey::rfc4231()
{
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, message);
    QFETCH(QByteArray, expected);
    // A prepared key must give the same result on every use.
    const HmacKey prepared(key);
    QCOMPARE(hmacSha256(prepared, message).toHex(), expected);
    QCOMPARE(hmacSha256(prepared, message).toHex(), expected);
}

void TestHmacKey::counterStreamBlocks()
{
    const QByteArray key = QByteArray::fromHex("000102030405060708090a0b0c0d0e0f");
    const QByteArray data = QByteArrayLiteral("M\xc3\xbcller");
    auto block = [&](const char *counter) {
        return QMessageAuthenticationCode::hash(data + QByteArray(counter, 4), key,
                                                QCryptographicHash::Sha256);
    };
    // Block 0 whole, then the first byte of block 1 (counter least significant byte first).
    QCOMPARE(hmacCounterStream(key, data, 33),
             block("\x00\x00\x00\x00") + block("\x01\x00\x00\x00").left(1));
    QCOMPARE(hmacCounterStream(key, data, 5), block("\x00\x00\x00\x00").left(5));
    QCOMPARE(hmacCounterStream(key, data, 0), QByteArray());
    QCOMPARE(hmacCounterStream(key, data, -1), QByteArray());
}

void TestHmacKey::everyMessageLength()
{
    // Around the lengths where the padding needs a second block, with and without a suffix.
    const QByteArray key = QByteArray::fromHex("00112233445566778899aabbccddeeff");
    const HmacKey prepared(key);
    for (int length = 0; length <= 130; ++length) {
        QByteArray message(length, '\0');
        for (int i = 0; i < length; ++i)
            message[i] = char(i * 37 + 11);
        const QByteArray expected =
            QMessageAuthenticationCode::hash(message, key, QCryptographicHash::Sha256);
        QCOMPARE(hmacSha256(prepared, message), expected);
        const vondrel::HmacDigest split = prepared.mac(QByteArrayView(message).first(length / 2),
                                                       QByteArrayView(message).sliced(length / 2));
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(split.data()), 32), expected);
    }
}

QTEST_GUILESS_MAIN(TestHmacKey)
#include "tst_hmackey.moc"
