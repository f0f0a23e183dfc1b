#include <engine/TextSplitting.h>

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

using namespace Qt::StringLiterals;

class TestTextSplitting : public QObject
{
    Q_OBJECT

private slots:
    void splits_data();
    void splits();
    void sameAsThePatterns();
};

namespace {

// The patterns that define both splits, applied literally.
vondrel::StreetAndNumber streetByPattern(const QString &text)
{
    static const QRegularExpression pattern(u"(.*\\S)\\s+(\\d+\\w{0,2})\\s*$"_s);
    const QRegularExpressionMatch match = pattern.match(text);
    return match.hasMatch() ? vondrel::StreetAndNumber {match.captured(1), match.captured(2)}
                            : vondrel::StreetAndNumber {text, QString()};
}

vondrel::VatParts vatByPattern(const QString &text)
{
    static const QRegularExpression pattern(u"^\\s*([A-Za-z]{0,2})(.*)$"_s);
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return {};
    return {match.captured(1).toUpper(), match.captured(2).remove(QRegularExpression(u"\\D"_s))};
}

} // namespace

void TestTextSplitting::splits_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("street");
    // Street and number, or country and digits.
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::newRow("number with letter")
        << u"Hauptstraße 12a"_s << true << u"Hauptstraße"_s << u"12a"_s;
    QTest::newRow("blanks around") << u"  Am Weg   7  "_s << true << u"  Am Weg"_s << u"7"_s;
    QTest::newRow("three letters are no house number")
        << u"Hauptstraße 12abc"_s << true << u"Hauptstraße 12abc"_s << QString();
    QTest::newRow("tab before the number") << u"Weg\t12"_s << true << u"Weg"_s << u"12"_s;
    QTest::newRow("no-break space is no blank")
        << u"Weg\u00a012"_s << true << u"Weg\u00a012"_s << QString();
    QTest::newRow("line feed starts the match")
        << u"Haupt\nstraße 12"_s << true << u"straße"_s << u"12"_s;

    QTest::newRow("vat lower case with blanks")
        << u" de 123 456 789"_s << false << u"DE"_s << u"123456789"_s;
    QTest::newRow("vat other digits are dropped") << u"DE1\u06612"_s << false << u"DE"_s << u"12"_s;
    QTest::newRow("vat line break inside") << u"DE1\n2"_s << false << QString() << QString();
}

void TestTextSplitting::splits()
{
    QFETCH(QString, text);
    QFETCH(bool, street);
    if (street) {
        const vondrel::StreetAndNumber parts = vondrel::splitStreetAndNumber(text);
        QTEST(parts.street, "first");
        QTEST(parts.number, "second");
    } else {
        const vondrel::VatParts parts = vondrel::splitVatNumber(text);
        QTEST(parts.country, "first");
        QTEST(parts.digits, "second");
    }
}

void TestTextSplitting::sameAsThePatterns()
{
    // Characters whose class or line-break meaning the plain paths must get right.
    const QString alphabet =
        u"aZß _\t\n\r\v\u00a0\u2028\u0085\u0661\u00e4\u0001\u007f\u0099\u3000.-/0123456789"_s;
    QRandomGenerator random(1);
    for (int i = 0; i < 100000; ++i) {
        QString text;
        for (int length = random.bounded(12); length > 0; --length)
            text += alphabet[random.bounded(alphabet.size())];
        if (i % 50 == 0)
            text.insert(random.bounded(text.size() + 1), QChar(0xd800));
        const vondrel::StreetAndNumber street = vondrel::splitStreetAndNumber(text);
        const vondrel::StreetAndNumber expectedStreet = streetByPattern(text);
        QVERIFY2(street.street == expectedStreet.street && street.number == expectedStreet.number,
                 qPrintable(QString::fromLatin1(text.toUtf8().toHex())));
        const vondrel::VatParts vat = vondrel::splitVatNumber(text);
        const vondrel::VatParts expectedVat = vatByPattern(text);
        QVERIFY2(vat.country == expectedVat.country && vat.digits == expectedVat.digits,
                 qPrintable(QString::fromLatin1(text.toUtf8().toHex())));
    }
}

QTEST_GUILESS_MAIN(TestTextSplitting)
#include "tst_textsplitting.moc"
