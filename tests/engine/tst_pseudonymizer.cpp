#include <engine/Pseudonymizer.h>

#include <QCryptographicHash>
#include <QMessageAuthenticationCode>
#include <QTest>

using vondrel::HmacKey;
namespace FieldTypeId = vondrel::FieldTypeId;

class TestPseudonymizer : public QObject
{
    Q_OBJECT

private slots:
    void keys();
    void offsetsAndDigits();
    void pseudonyms_data();
    void pseudonyms();
    void dateTimeShifts();
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

void addRow(const char *name, int type, bool real, const char *text, const char *expected)
{
    QTest::newRow(name) << type << real << QString::fromUtf8(text) << QString::fromUtf8(expected);
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
    QCOMPARE(Pseudonymizer::scopedOffset(key, "dataset", std::numeric_limits<int>::max()),
             -1377860068);

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
    QTest::addColumn<QString>("expected");
    // Pinned values: pseudonyms must stay the same across versions, byte for byte.
    addRow("text", 1, false, "Müller", "txtjsqswxuetpuhai");
    addRow("place", 3, false, "Müller", "placexfluvbgjhqxd");
    addRow("name", 4, false, "Müller", "nameoqysizjayhgteo");
    addRow("name decomposed, padded", 4, false, " Mu\u0308ller\t", "nameoqysizjayhgteo");
    addRow("street", 5, false, "Hauptstraße 12a", "strefglmgsovlgq");
    addRow("company", 8, false, "Müller", "compxaqkalosjijjox");
    addRow("tax no", 10, false, "12345", "stno85614796044135");
    addRow("tax no, real", 10, true, "12345", "2896677312");
    addRow("zip, real", 7, true, "10115", "56966");
    addRow("zip", 7, false, "10115", "07184839");
    addRow("street no, blanks around", 6, false, " Hauptstraße  12b ", "strvziotitokdlc 12b");
    addRow("street no", 6, false, "Hauptstraße 12a", "strvziotitokdlc 12a");
    addRow("street no, real", 6, true, "Hauptstraße 12a", "vziotito 12a");
    addRow("domain", 12, false, " example.org", "olsrjgpkjzvx.invalid");
    addRow("email", 2, false, "Max.Mustermann@example.com", "hshiwvzsjswznbdr@example.invalid");
    addRow("email, real", 2, true, "Max.Mustermann@example.com",
           "hshiwvzsjswznbdr@example.invalid");
    addRow("email decomposed, padded", 2, false, " ju\u0308rgen.mu\u0308ller@beispiel.de\t",
           "leabikiqmcbitklr@example.invalid");
    addRow("phone", 9, false, "0171 1234567", "tel76837062939179");
    addRow("phone, real, short", 9, true, "1234", "890678");
    addRow("phone, real", 9, true, "0171 1234567", "37249118747");
    // Every digit counts, the nines too.
    addRow("phone, real, nines", 9, true, "99999999", "63066999");
    addRow("phone, real, grouped", 9, true, "+49 (0)911 / 99 99-9", "74540118504");
    addRow("vat id", 11, false, "DE123456789", "vatggqhgvulgcvfadtn");
    addRow("vat id, real", 11, true, "DE123456789", "DE5409645528");
    addRow("ip", 13, false, "10.0.0.1", "ipetzzdmebcqhxqiyy");
    addRow("ip, real", 13, true, "10.0.0.1", "2001:db8:fe43:b05e:2769:14c:6fde:ab06");
    addRow("not a keyed type", 14, false, "10", "");
}

void TestPseudonymizer::pseudonyms()
{
    QFETCH(int, type);
    QFETCH(bool, real);
    QFETCH(QString, text);
    QTEST(engine(real).keyedPseudonym(type, text), "expected");
}

void TestPseudonymizer::dateTimeShifts()
{
    Pseudonymizer p = engine(false, 0);
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

    // Shifts of more than 2^31 seconds.
    p = engine(false, 1000000);
    const QDateTime start(QDate(2000, 1, 1), QTime(12, 0), Qt::UTC);
    const qint64 days =
        Pseudonymizer::scopedOffset(p.subkey(FieldTypeId::DateTime), "dataset", 1000000);
    const qint64 seconds =
        Pseudonymizer::scopedOffset(p.extSubkey(FieldTypeId::DateTime), "dataset", 86400);
    QVERIFY(qAbs(days) > 24855);
    QCOMPARE(start.secsTo(p.shiftDateTimeForDataset(start, QByteArray())), days * 86400 + seconds);

    // A time step rounds down before the shift.
    PseudoSettings settings;
    settings.timeStepSeconds = 60;
    p = Pseudonymizer(testKey, settings);
    QCOMPARE(p.shiftDateTimeForDataset(start.addSecs(59), QByteArray()),
             p.shiftDateTimeForDataset(start, QByteArray()));
}

QTEST_GUILESS_MAIN(TestPseudonymizer)
#include "tst_pseudonymizer.moc"
