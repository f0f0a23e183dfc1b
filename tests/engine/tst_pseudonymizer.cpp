#include "Pseudonymizer.h"

#include <QCryptographicHash>
#include <QHostAddress>
#include <QMessageAuthenticationCode>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <QTimeZone>
#include <QtEndian>

class TestPseudonymizer : public QObject
{
    Q_OBJECT

private slots:
    void masterKey_data();
    void masterKey();
    void subkeys();
    void scopedOffset();
    void keyedDigitString();
    void knownPseudonyms();
    void shapes_data();
    void shapes();
    void equalInputsGiveEqualPseudonyms();
    void streetKeepsHouseNumber();
    void phoneLengthWithRealValues();
    void documentationIpAddresses();
    void dateShifts();
    void dateTimeShiftAcrossDaylightSaving();
    void dateTimeShiftBeyond32Bits();
    void dateTimeShiftSettings();
};

namespace {

QByteArray testKey()
{
    return QByteArray::fromHex("000102030405060708090a0b0c0d0e0f");
}

Pseudonymizer engine(bool simulateReal = false)
{
    PseudoSettings settings;
    settings.simulateReal = simulateReal;
    return Pseudonymizer(testKey(), settings);
}

QByteArray qtHmac(const QByteArray &key, const QByteArray &message)
{
    return QMessageAuthenticationCode::hash(message, key, QCryptographicHash::Sha256);
}

} // namespace

void TestPseudonymizer::masterKey_data()
{
    QTest::addColumn<QByteArray>("key");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("16 bytes") << testKey();
    QTest::newRow("32 bytes") << QByteArray(32, '\x5a');
    QTest::newRow("33 bytes") << QByteArray(33, '\x5a');
}

void TestPseudonymizer::masterKey()
{
    QFETCH(QByteArray, key);
    const QByteArray expected =
        key.size() == 32 ? key : QCryptographicHash::hash(key, QCryptographicHash::Sha256);
    QCOMPARE(Pseudonymizer(key).masterKey(), expected);
}

void TestPseudonymizer::subkeys()
{
    const Pseudonymizer p = engine();
    QVERIFY(p.masterKey().toHex().startsWith("be45cb2605bf36be"));
    QVERIFY(p.subkey(FieldTypeId::Name).bytes().toHex().startsWith("13d6d56610c057c2"));
    // The message is the plain text, without a terminating zero byte.
    QCOMPARE(p.subkey(FieldTypeId::Name).bytes(), qtHmac(p.masterKey(), "PSEUDO|<NAME>"));
    QCOMPARE(p.extSubkey(FieldTypeId::Name).bytes(), qtHmac(p.masterKey(), "PSEUDO|<NAME>/EXT"));
    QCOMPARE(p.subkey(FieldTypeId::DateTime).bytes(), qtHmac(p.masterKey(), "PSEUDO|<DATETIME>"));

    QSet<QByteArray> distinct;
    for (FieldType type = FieldTypeId::First; type <= FieldTypeId::Last; ++type) {
        const bool keyed =
            type <= FieldTypeId::Ip || type == FieldTypeId::Date || type == FieldTypeId::DateTime;
        QCOMPARE(p.subkey(type).bytes().size(), keyed ? 32 : 0);
        if (keyed) {
            distinct.insert(p.subkey(type).bytes());
            distinct.insert(p.extSubkey(type).bytes());
        }
    }
    QCOMPARE(distinct.size(), 30);
}

void TestPseudonymizer::scopedOffset()
{
    const Pseudonymizer p = engine();
    const HmacKey &key = p.subkey(FieldTypeId::Date);
    QCOMPARE(Pseudonymizer::scopedOffset(key, "dataset", 365), -72);

    // Independently: the first 8 MAC bytes, big-endian, mod 2 * range + 1.
    const QByteArray mac = qtHmac(key.bytes(), "SCOPE|2024-02-29");
    const quint64 v = qFromBigEndian<quint64>(mac.constData());
    QCOMPARE(Pseudonymizer::scopedOffset(key, "2024-02-29", 365), int(v % 731) - 365);

    int lowest = 0;
    int highest = 0;
    for (int i = 0; i < 2000; ++i) {
        const int offset = Pseudonymizer::scopedOffset(key, QByteArray::number(i), 365);
        QVERIFY(offset >= -365 && offset <= 365);
        lowest = qMin(lowest, offset);
        highest = qMax(highest, offset);
    }
    QVERIFY(lowest < -300 && highest > 300);
    QCOMPARE(Pseudonymizer::scopedOffset(key, "dataset", 0), 0);
    QCOMPARE(Pseudonymizer::scopedOffset(key, "dataset", -10), 0);
    // The widest range needs 64-bit arithmetic for 2 * range + 1.
    const int widest = std::numeric_limits<int>::max();
    QCOMPARE(Pseudonymizer::scopedOffset(key, "2024-02-29", widest),
             int(qint64(v % (2 * quint64(widest) + 1)) - widest));
}

void TestPseudonymizer::keyedDigitString()
{
    const Pseudonymizer p = engine();
    const HmacKey &key = p.subkey(FieldTypeId::Zip);
    bool leadingZeroSeen = false;
    for (int i = 0; i < 200; ++i) {
        const QString digits = Pseudonymizer::keyedDigitString(QString::number(i), key, 5);
        QVERIFY(QRegularExpression(QStringLiteral("^[0-9]{5}$")).match(digits).hasMatch());
        leadingZeroSeen = leadingZeroSeen || digits.startsWith(u'0');
    }
    QVERIFY(leadingZeroSeen);

    const QString wide = Pseudonymizer::keyedDigitString(QStringLiteral("x"), key, 25);
    QCOMPARE(wide.size(), 25);
    QVERIFY(wide.startsWith(QLatin1String("00000")));
    QCOMPARE(wide.right(19), Pseudonymizer::keyedDigitString(QStringLiteral("x"), key, 19));
    QCOMPARE(Pseudonymizer::keyedDigitString(QStringLiteral("x"), key, 0), QStringLiteral("0"));
    QCOMPARE(Pseudonymizer::keyedDigitString(QStringLiteral("x"), key, -3), QStringLiteral("0"));
}

void TestPseudonymizer::knownPseudonyms()
{
    const QString name = QStringLiteral("nameoqysizjayhgteo");
    QCOMPARE(engine().keyedPseudonym(FieldTypeId::Name, QString::fromUtf8("Müller")), name);
    QCOMPARE(engine().keyedPseudonym(FieldTypeId::Name, QString::fromUtf8(" Mu\u0308ller\t")),
             name);
    QCOMPARE(engine(true).keyedPseudonym(FieldTypeId::Zip, QStringLiteral("10115")),
             QStringLiteral("56966"));
    QCOMPARE(engine(false).keyedPseudonym(FieldTypeId::Zip, QStringLiteral("10115")),
             QStringLiteral("07184839"));
}

void TestPseudonymizer::shapes_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("real");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("pattern");
    QTest::newRow("text") << 1 << false << "Hallo Welt"
                          << "txt[a-z]{14}";
    QTest::newRow("email") << 2 << false << "a@b.de"
                           << "[a-z]{16}@example\\.invalid";
    QTest::newRow("place") << 3 << true << "Berlin"
                           << "place[a-z]{12}";
    QTest::newRow("street") << 5 << false << "Hauptstr."
                            << "str[a-z]{12}";
    QTest::newRow("street no") << 6 << false << "Hauptstr. 5a"
                               << "str[a-z]{12} 5a";
    QTest::newRow("street no, real") << 6 << true << "Hauptstr. 5a"
                                     << "[a-z]{8} 5a";
    QTest::newRow("street without number") << 6 << false << "Marktplatz"
                                           << "str[a-z]{12}";
    QTest::newRow("company") << 8 << false << "ACME GmbH"
                             << "comp[a-z]{14}";
    QTest::newRow("phone") << 9 << false << "030 1234"
                           << "tel[0-9]{14}";
    QTest::newRow("tax number") << 10 << false << "12/345/67890"
                                << "stno[0-9]{14}";
    QTest::newRow("tax number, real") << 10 << true << "12/345/67890"
                                      << "[0-9]{10}";
    QTest::newRow("vat id") << 11 << false << "DE123456789"
                            << "vat[a-z]{16}";
    QTest::newRow("vat id, real") << 11 << true << "DE123456789"
                                  << "DE[0-9]{10}";
    QTest::newRow("vat id without country, real") << 11 << true << "123"
                                                  << "[0-9]{12}";
    QTest::newRow("domain") << 12 << true << "example.com"
                            << "[a-z]{12}\\.invalid";
    QTest::newRow("ip") << 13 << false << "10.0.0.1"
                        << "ip[a-z]{16}";
    QTest::newRow("zip") << 7 << false << "10115"
                         << "[0-9]{8}";
    QTest::newRow("not keyed") << 14 << false << "1"
                               << "";
}

void TestPseudonymizer::shapes()
{
    QFETCH(int, type);
    QFETCH(bool, real);
    QFETCH(QString, text);
    QFETCH(QString, pattern);
    const QString pseudonym = engine(real).keyedPseudonym(type, text);
    const QRegularExpression shape(QRegularExpression::anchoredPattern(pattern));
    QVERIFY2(shape.match(pseudonym).hasMatch(), qPrintable(pseudonym));
}

void TestPseudonymizer::equalInputsGiveEqualPseudonyms()
{
    const Pseudonymizer p = engine(true);
    QCOMPARE(p.keyedPseudonym(FieldTypeId::VatId, QStringLiteral(" de 123 456 789")),
             p.keyedPseudonym(FieldTypeId::VatId, QStringLiteral("DE123456789")));
    // Same value under another key or another type: another pseudonym.
    const Pseudonymizer other(QByteArray(16, '\x01'));
    QVERIFY(other.keyedPseudonym(FieldTypeId::Name, QStringLiteral("Anna")) !=
            engine().keyedPseudonym(FieldTypeId::Name, QStringLiteral("Anna")));
    QVERIFY(engine().keyedPseudonym(FieldTypeId::Text, QStringLiteral("Anna")).mid(3) !=
            engine().keyedPseudonym(FieldTypeId::Company, QStringLiteral("Anna")).mid(4));
    // A copy of the engine is the same engine.
    const Pseudonymizer copy = p;
    QCOMPARE(copy.keyedPseudonym(FieldTypeId::Ip, QStringLiteral("10.0.0.1")),
             p.keyedPseudonym(FieldTypeId::Ip, QStringLiteral("10.0.0.1")));
}

void TestPseudonymizer::streetKeepsHouseNumber()
{
    const Pseudonymizer p = engine();
    const QString five =
        p.keyedPseudonym(FieldTypeId::StreetNo, QString::fromUtf8("Hauptstraße 5"));
    const QString twelve =
        p.keyedPseudonym(FieldTypeId::StreetNo, QString::fromUtf8(" Hauptstraße   12b "));
    QCOMPARE(twelve.section(u' ', 0, 0), five.section(u' ', 0, 0));
    QCOMPARE(twelve.section(u' ', 1), QStringLiteral("12b"));
    // Only up to two letters belong to the number.
    QCOMPARE(p.keyedPseudonym(FieldTypeId::StreetNo, QStringLiteral("Weg 5abc")).count(u' '), 0);
}

void TestPseudonymizer::phoneLengthWithRealValues()
{
    const Pseudonymizer p = engine(true);
    QCOMPARE(p.keyedPseudonym(FieldTypeId::Phone, QStringLiteral("1234")).size(), 6);
    const QString international =
        p.keyedPseudonym(FieldTypeId::Phone, QStringLiteral("+49 (171) 123-4567"));
    QVERIFY(QRegularExpression(QStringLiteral("^[0-9]{12}$")).match(international).hasMatch());
    QCOMPARE(p.keyedPseudonym(FieldTypeId::Phone, QStringLiteral("0171 1234567")).size(), 11);
}

void TestPseudonymizer::documentationIpAddresses()
{
    const Pseudonymizer p = engine(true);
    const QString ip = p.keyedPseudonym(FieldTypeId::Ip, QStringLiteral("192.168.1.1"));
    const QHostAddress address(ip);
    QCOMPARE(address.protocol(), QAbstractSocket::IPv6Protocol);
    QVERIFY(address.isInSubnet(QHostAddress(QStringLiteral("2001:db8::")), 32));
    QCOMPARE(ip, address.toString());
    const QByteArray mac = qtHmac(p.subkey(FieldTypeId::Ip).bytes(), "192.168.1.1");
    const Q_IPV6ADDR bytes = address.toIPv6Address();
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(bytes.c + 4), 12), mac.left(12));
}

void TestPseudonymizer::dateShifts()
{
    const Pseudonymizer p = engine();
    const QDate first(2024, 1, 15);
    const QDate second(2021, 7, 3);
    const qint64 delta = first.daysTo(p.shiftDate(first, true));
    QCOMPARE(delta, -72);
    QCOMPARE(second.daysTo(p.shiftDate(second, true)), delta);

    const int ownOffset =
        Pseudonymizer::scopedOffset(p.subkey(FieldTypeId::Date), "2024-01-15", 365);
    QCOMPARE(first.daysTo(p.shiftDate(first, false)), qint64(ownOffset));

    PseudoSettings still;
    still.maxShiftDays = 0;
    QCOMPARE(Pseudonymizer(testKey(), still).shiftDate(first, false), first);
}

void TestPseudonymizer::dateTimeShiftAcrossDaylightSaving()
{
    PseudoSettings settings;
    settings.maxShiftDays = 0;
    const Pseudonymizer p(testKey(), settings);
    const HmacKey &seconds = p.extSubkey(FieldTypeId::DateTime);

    // A scope whose offset moves forward over the switch to summer time at 02:00.
    QByteArray scope;
    int offset = 0;
    for (int i = 0; offset < 3600; ++i) {
        scope = "s" + QByteArray::number(i);
        offset = Pseudonymizer::scopedOffset(seconds, scope, 86400);
    }
    const QDateTime before(QDate(2024, 3, 31), QTime(1, 0));
    const QDateTime shifted = p.shiftDateTimeForDataset(before, scope);
    QCOMPARE(before.secsTo(shifted), qint64(offset));
    QCOMPARE(shifted.timeSpec(), Qt::LocalTime);
    QVERIFY(shifted.offsetFromUtc() != before.offsetFromUtc());
    QCOMPARE(shifted.time(), before.time().addSecs(offset + 3600));
}

void TestPseudonymizer::dateTimeShiftBeyond32Bits()
{
    PseudoSettings settings;
    settings.maxShiftDays = 1000000;
    const Pseudonymizer p(testKey(), settings);
    const QDateTime start(QDate(2000, 1, 1), QTime(12, 0), Qt::UTC);
    const qint64 days =
        Pseudonymizer::scopedOffset(p.subkey(FieldTypeId::DateTime), "dataset", 1000000);
    const qint64 seconds =
        Pseudonymizer::scopedOffset(p.extSubkey(FieldTypeId::DateTime), "dataset", 86400);
    QVERIFY(qAbs(days) > 24855);
    QCOMPARE(start.secsTo(p.shiftDateTimeForDataset(start, QByteArray())), days * 86400 + seconds);
}

void TestPseudonymizer::dateTimeShiftSettings()
{
    PseudoSettings settings;
    settings.timeStepSeconds = 60;
    settings.timeSpecMode = 1;
    const Pseudonymizer p(testKey(), settings);
    const QDateTime start(QDate(2024, 5, 1), QTime(10, 20, 33, 250));
    const QDateTime shifted = p.shiftDateTimeForDataset(start, "x");
    QCOMPARE(shifted.timeSpec(), Qt::UTC);
    const qint64 days = Pseudonymizer::scopedOffset(p.subkey(FieldTypeId::DateTime), "x", 365);
    const qint64 seconds =
        Pseudonymizer::scopedOffset(p.extSubkey(FieldTypeId::DateTime), "x", 86400);
    const QDateTime cut(QDate(2024, 5, 1), QTime(10, 20));
    QCOMPARE(cut.secsTo(shifted), days * 86400 + seconds);
    QCOMPARE(shifted.time().msec(), 0);

    settings.timeSpecMode = 2;
    const QDateTime zoned = Pseudonymizer(testKey(), settings).shiftDateTimeForDataset(start, "x");
    QCOMPARE(zoned.timeSpec(), Qt::TimeZone);
    QCOMPARE(zoned, shifted);
    QVERIFY(!p.shiftDateTimeForDataset(QDateTime(), "x").isValid());
}

QTEST_GUILESS_MAIN(TestPseudonymizer)
#include "tst_pseudonymizer.moc"
