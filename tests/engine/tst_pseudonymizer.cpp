#include "Pseudonymizer.h"

#include <QCryptographicHash>
#include <QMessageAuthenticationCode>
#include <QRegularExpression>
#include <QTest>
#include <QtEndian>

using vondrel::HmacKey;
namespace FieldTypeId = vondrel::FieldTypeId;

class TestPseudonymizer : public QObject
{
    Q_OBJECT

private slots:
    void keys();
    void offsetsAndDigits();
    void emailFromKeyStreams();
    void pseudonyms_data();
    void pseudonyms();
    void dateTimeShiftAcrossDaylightSaving();
    void dateTimeShiftBeyond32Bits();
};

namespace {

const QByteArray testKey = QByteArray::fromHex("000102030405060708090a0b0c0d0e0f");

Pseudonymizer engine(bool simulateReal = false, int maxShiftDays = 365)
{
    PseudoSettings settings;
    settings.simulateReal = simulateReal;
    settings.maxShiftDays = maxShiftDays;
    return Pseudonymizer(testKey, settings);
}

} // namespace

void TestPseudonymizer::keys()
{
    for (const QByteArray &key : {QByteArray(), testKey, QByteArray(33, 'k')})
        QCOMPARE(Pseudonymizer(key).masterKey(),
                 QCryptographicHash::hash(key, QCryptographicHash::Sha256));
    QCOMPARE(Pseudonymizer(QByteArray(32, 'k')).masterKey(), QByteArray(32, 'k'));

    const Pseudonymizer p = engine();
    QVERIFY(p.masterKey().toHex().startsWith("be45cb2605bf36be"));
    QVERIFY(p.subkey(FieldTypeId::Name).bytes().toHex().startsWith("13d6d56610c057c2"));
    // The message is the plain text, without a terminating zero byte.
    QCOMPARE(p.extSubkey(FieldTypeId::DateTime).bytes(),
             QMessageAuthenticationCode::hash("PSEUDO|<DATETIME>/EXT", p.masterKey(),
                                              QCryptographicHash::Sha256));
    QVERIFY(p.subkey(FieldTypeId::Iban).bytes().isEmpty());
}

void TestPseudonymizer::offsetsAndDigits()
{
    const Pseudonymizer p = engine();
    const HmacKey &key = p.subkey(FieldTypeId::Date);
    QCOMPARE(Pseudonymizer::scopedOffset(key, "dataset", 365), -72);
    for (int i = 0; i < 500; ++i)
        QVERIFY(qAbs(Pseudonymizer::scopedOffset(key, QByteArray::number(i), 365)) <= 365);
    // Ranges up to the int limit need 2 * range + 1 in 64 bits; negative ranges act as 0.
    QCOMPARE(Pseudonymizer::scopedOffset(key, "dataset", 0), 0);
    QCOMPARE(Pseudonymizer::scopedOffset(key, "dataset", -10), 0);
    const QByteArray mac =
        QMessageAuthenticationCode::hash("SCOPE|dataset", key.bytes(), QCryptographicHash::Sha256);
    const quint64 v = qFromBigEndian<quint64>(mac.constData());
    const int widest = std::numeric_limits<int>::max();
    QCOMPARE(Pseudonymizer::scopedOffset(key, "dataset", widest),
             int(qint64(v % (2 * quint64(widest) + 1)) - widest));

    const QString wide = Pseudonymizer::keyedDigitString(QStringLiteral("x"), key, 25);
    QVERIFY(wide.startsWith(QLatin1String("00000")));
    QCOMPARE(wide.right(19), Pseudonymizer::keyedDigitString(QStringLiteral("x"), key, 19));
    QCOMPARE(Pseudonymizer::keyedDigitString(QStringLiteral("x"), key, 0), QStringLiteral("0"));
}

void TestPseudonymizer::pseudonyms_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("real");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("pattern");
    QTest::newRow("name") << 4 << false << QString::fromUtf8("Müller") << "nameoqysizjayhgteo";
    QTest::newRow("name decomposed, padded")
        << 4 << false << QString::fromUtf8(" Mu\u0308ller\t") << "nameoqysizjayhgteo";
    QTest::newRow("zip, real") << 7 << true << "10115"
                               << "56966";
    QTest::newRow("zip") << 7 << false << "10115"
                         << "07184839";
    QTest::newRow("street no") << 6 << false << QString::fromUtf8(" Hauptstraße  12b ")
                               << "str[a-z]{12} 12b";
    // Pinned values: pseudonyms must stay the same across versions, byte for byte.
    QTest::newRow("street no, pinned")
        << 6 << false << QString::fromUtf8("Hauptstraße 12a") << "strvziotitokdlc 12a";
    QTest::newRow("street no, real")
        << 6 << true << QString::fromUtf8("Hauptstraße 12a") << "vziotito 12a";
    QTest::newRow("domain") << 12 << false << " example.org"
                            << "olsrjgpkjzvx\\.invalid";
    QTest::newRow("email") << 2 << false << "Max.Mustermann@example.com"
                           << "hshiwvzsjswznbdr@example\\.invalid";
    QTest::newRow("email, real") << 2 << true << "Max.Mustermann@example.com"
                                 << "hshiwvzsjswznbdr@example\\.invalid";
    QTest::newRow("email decomposed, padded")
        << 2 << false << QString::fromUtf8(" ju\u0308rgen.mu\u0308ller@beispiel.de\t")
        << "leabikiqmcbitklr@example\\.invalid";
    QTest::newRow("phone, real, short") << 9 << true << "1234"
                                        << "[0-9]{6}";
    QTest::newRow("phone, real") << 9 << true << "0171 1234567"
                                 << "[0-9]{11}";
    // Every digit counts, the nines too.
    QTest::newRow("phone, real, nines") << 9 << true << "99999999"
                                        << "63066999";
    QTest::newRow("phone, real, grouped") << 9 << true << "+49 (0)911 / 99 99-9"
                                          << "74540118504";
    QTest::newRow("vat id, real") << 11 << true << "DE123456789"
                                  << "DE[0-9]{10}";
    QTest::newRow("ip, real") << 13 << true << "10.0.0.1"
                              << "2001:db8:[0-9a-f:]+";
}

void TestPseudonymizer::emailFromKeyStreams()
{
    // The local part is 12 letters from the first key stream and 4 from the second, each
    // stream block being HMAC(subkey, normalised text || counter 0).
    const Pseudonymizer p = engine();
    const QByteArray text = QByteArrayLiteral("j\xc3\xbcrgen.m\xc3\xbcller@beispiel.de");
    const auto letters = [&](const HmacKey &key, int n) {
        const QByteArray block = QMessageAuthenticationCode::hash(
            text + QByteArray(4, '\0'), key.bytes(), QCryptographicHash::Sha256);
        QString out;
        for (int i = 0; i < n; ++i)
            out += QChar(u'a' + uchar(block[i]) % 26);
        return out;
    };
    QCOMPARE(p.keyedPseudonym(FieldTypeId::Email, QString::fromUtf8(text)),
             letters(p.subkey(FieldTypeId::Email), 12) +
                 letters(p.extSubkey(FieldTypeId::Email), 4) + QStringLiteral("@example.invalid"));
}

void TestPseudonymizer::pseudonyms()
{
    QFETCH(int, type);
    QFETCH(bool, real);
    QFETCH(QString, text);
    QFETCH(QString, pattern);
    const QString pseudonym = engine(real).keyedPseudonym(type, text);
    QVERIFY2(QRegularExpression(QRegularExpression::anchoredPattern(pattern))
                 .match(pseudonym)
                 .hasMatch(),
             qPrintable(pseudonym));
}

void TestPseudonymizer::dateTimeShiftAcrossDaylightSaving()
{
    const Pseudonymizer p = engine(false, 0);
    // A scope whose seconds offset moves across the switch to summer time at 02:00.
    QByteArray scope;
    int offset = 0;
    for (int i = 0; offset < 3600; ++i) {
        scope = QByteArray::number(i);
        offset = Pseudonymizer::scopedOffset(p.extSubkey(FieldTypeId::DateTime), scope, 86400);
    }
    const QDateTime before(QDate(2024, 3, 31), QTime(1, 0));
    const QDateTime shifted = p.shiftDateTimeForDataset(before, scope);
    QCOMPARE(before.secsTo(shifted), qint64(offset));
    QCOMPARE(shifted.timeSpec(), Qt::LocalTime);
    QCOMPARE(shifted.time(), before.time().addSecs(offset + 3600));
}

void TestPseudonymizer::dateTimeShiftBeyond32Bits()
{
    const Pseudonymizer p = engine(false, 1000000);
    const QDateTime start(QDate(2000, 1, 1), QTime(12, 0), Qt::UTC);
    const qint64 days =
        Pseudonymizer::scopedOffset(p.subkey(FieldTypeId::DateTime), "dataset", 1000000);
    const qint64 seconds =
        Pseudonymizer::scopedOffset(p.extSubkey(FieldTypeId::DateTime), "dataset", 86400);
    QVERIFY(qAbs(days) > 24855);
    QCOMPARE(start.secsTo(p.shiftDateTimeForDataset(start, QByteArray())), days * 86400 + seconds);
}

QTEST_GUILESS_MAIN(TestPseudonymizer)
#include "tst_pseudonymizer.moc"
