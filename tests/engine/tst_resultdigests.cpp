// Results that stored outputs and mapping files depend on: generated IBANs and BICs
// and scaled amounts must stay the same, byte for byte, whatever makes them faster.
// The digests cover many inputs at once; the small tables say what broke.

#include <engine/EngineTables.h>
#include <engine/NumberConversion.h>
#include <engine/PseudoContext.h>
#include <engine/Pseudonymizer.h>
#include <engine/SeededCodes.h>

#include <QCryptographicHash>
#include <QTest>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>

using namespace Qt::StringLiterals;
using vondrel::DateTextSettings;
namespace FieldTypeId = vondrel::FieldTypeId;

class TestResultDigests : public QObject
{
    Q_OBJECT

private slots:
    void codes_data();
    void codes();
    void codesDigest();
    void amounts_data();
    void amounts();
    void amountsDigest();
};

namespace {

struct Run
{
    Run()
        : engine(QByteArray::fromHex("000102030405060708090a0b0c0d0e0f"), PseudoSettings())
        , context(engine, dates)
    { }

    QString resolve(FieldType type, const QString &text)
    {
        int typeOut = 0;
        return Pseudonymizer::replacePlaceholders(context, text, QVariant(),
                                                  placeholderForFieldType(type), typeOut);
    }

    Pseudonymizer engine;
    DateTextSettings dates;
    PseudoContext context;
};

// Draws from a fixed sequence; the standard distributions differ between libraries.
class Draw
{
public:
    explicit Draw(quint64 seed)
        : m_engine(seed)
    { }
    int below(int n) { return int(m_engine() % quint64(n)); }
    bool chance(int percent) { return below(100) < percent; }
    QChar digit() { return QChar(char16_t(u'0' + below(10))); }
    QString digits(int n)
    {
        QString out;
        for (int i = 0; i < n; ++i)
            out += digit();
        return out;
    }
    quint64 bits() { return m_engine(); }

private:
    std::mt19937_64 m_engine;
};

QString ibanInput(Draw &draw, const QStringList &countries)
{
    static const QStringList odd = {
        u""_s,        u"   "_s,     u"D"_s,
        u"XX"_s,      u"US"_s,      u"de"_s,
        u"De"_s,      u"dE"_s,      u"12"_s,
        u"D1"_s,      u"\u0131t"_s, // dotless i upper-cases to I
        u"\u017fe"_s, // long s upper-cases to S
        u"\u00df"_s,  u"\u00e9s"_s, u"\uff24\uff25"_s,
        u"\tfr"_s,    u"D E"_s,     u"\u00a0DE"_s,
    };
    QString cc = draw.chance(15) ? odd[draw.below(int(odd.size()))]
                                 : countries[draw.below(int(countries.size()))];
    if (draw.chance(10))
        cc = cc.toLower();
    QString text = draw.chance(5) ? u" "_s : QString();
    text += cc;
    if (draw.chance(90))
        text += draw.digits(2 + draw.below(28));
    return text;
}

QString bicInput(Draw &draw, const QStringList &countries)
{
    static const QString alphabet = u"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789abc -"_s;
    QString text;
    const int length = draw.chance(80) ? (draw.chance(50) ? 8 : 11) : draw.below(14);
    for (int i = 0; i < length; ++i)
        text += alphabet[draw.below(i < 4 || i >= 6 ? 26 : 36)];
    if (text.size() >= 6 && draw.chance(70))
        text.replace(4, 2, countries[draw.below(int(countries.size()))]);
    if (draw.chance(5))
        text = alphabet[draw.below(int(alphabet.size()))] + text;
    if (draw.chance(5))
        text = text.toLower();
    // Dotless i and long s upper-case to ASCII letters.
    if (!text.isEmpty() && draw.chance(3))
        text[draw.below(int(text.size()))] = draw.chance(50) ? u'\u0131' : u'\u017f';
    return text;
}

// A number token in one of the shapes tables hold, with text around it at times.
QString amountInput(Draw &draw)
{
    static const QString groupings[] = {QString(), u"."_s, u","_s, u"'"_s, u" "_s, u"\u00a0"_s};
    static const QString specials[] = {
        u"1e5"_s,
        u"1,5E-3"_s,
        u"2.5e+3 EUR"_s,
        u"1e308"_s,
        u"-1e999"_s,
        u"0"_s,
        u"-0"_s,
        u"(0,00)"_s,
        u"abc"_s,
        u"- 12"_s,
        u"12-"_s,
        u"1..2"_s,
        u"\uff11\uff12"_s,
        u"1\u202f234,5"_s,
        u"9007199254740993"_s,
        u"18446744073709551617"_s,
        u"0,000000000000000000000001"_s,
        u"123456789012345678901234567890,5"_s,
        u"1.7976931348623157e308"_s,
        u"4.9e-324"_s,
    };
    if (draw.chance(3))
        return specials[draw.below(int(std::size(specials)))];

    const int integerDigits = draw.chance(10) ? 9 + draw.below(14) : draw.below(9);
    QString integerPart = draw.digits(integerDigits);
    if (draw.chance(70) && integerPart.size() > 1 && integerPart.front() == u'0')
        integerPart[0] = u'1';
    const QString &grouping = groupings[draw.below(int(std::size(groupings)))];
    if (!grouping.isEmpty() && draw.chance(60)) {
        for (qsizetype at = integerPart.size() - 3; at > 0; at -= 3)
            integerPart.insert(at, grouping);
    }
    QString token = integerPart;
    if (draw.chance(75)) {
        const int fractionDigits = draw.chance(10) ? 5 + draw.below(16) : draw.below(5);
        token += draw.chance(50) ? u',' : u'.';
        token += draw.digits(fractionDigits);
    }
    if (draw.chance(5)) {
        // One draw per statement: the operands of + may be evaluated in either order.
        const QString exponent = draw.digits(1 + draw.below(3));
        token += (draw.chance(50) ? u"e"_s : u"E-"_s) + exponent;
    }
    switch (draw.below(8)) {
    case 0:
        token.prepend(u'-');
        break;
    case 1:
        token = u'(' + token + u')';
        break;
    default:
        break;
    }
    switch (draw.below(10)) {
    case 0:
        return u"EUR "_s + token;
    case 1:
        return token + u" netto"_s;
    case 2:
        return u"  "_s + token + u"\t"_s;
    default:
        return token;
    }
}

double drawFactor(Draw &draw)
{
    static const double factors[] = {
        1.37,        1,    0.5,  3,         2.5,  1.005,
        123.456,     1e10, 1e-3, 1.0000001, 7.77, std::numeric_limits<double>::infinity(),
        std::nan("")};
    if (draw.chance(30))
        return 1 + double(draw.below(100000)) / 1000;
    return factors[draw.below(int(std::size(factors)))];
}

// One scaling written out in full: the text, whether it scaled, the separator and
// the value handed back (its bits, so that -0 and NaN count as well).
QString scaledRecord(const QString &text, double factor, int mode, int decimals)
{
    QString out;
    QChar separator(u'?');
    QVariant value(u"untouched"_s);
    const bool ok = scaleNumericString(text, factor, out, mode, decimals, &separator, &value);
    QString valueText = value.toString();
    if (value.typeId() == QMetaType::Double) {
        const double v = value.toDouble();
        quint64 bits;
        std::memcpy(&bits, &v, sizeof bits);
        valueText = QString::number(bits, 16);
    }
    return u"%1|%2|%3|%4"_s.arg(out, ok ? u"1"_s : u"0"_s, QString::number(separator.unicode()),
                                valueText);
}

QByteArray sha256(const QStringList &results)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const QString &result : results) {
        hash.addData(result.toUtf8());
        hash.addData(QByteArrayView("\n"));
    }
    return hash.result().toHex();
}

} // namespace

void TestResultDigests::codes_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("seed");
    QTest::addColumn<QString>("expected");

    const int iban = FieldTypeId::Iban;
    const int bic = FieldTypeId::Bic;
    QTest::newRow("iban de") << iban << u"DE89370400440532013000"_s << 0
                             << u"DE95000000000006545177"_s;
    QTest::newRow("iban lower case, blank")
        << iban << u" de12"_s << 1 << u"DE13000010000035259899"_s;
    QTest::newRow("iban shortest") << iban << u"NO9386011117947"_s << 2 << u"NO1900069151774"_s;
    QTest::newRow("iban longest") << iban << u"MT84MALT011000012345MTLCAST001S"_s << 3
                                  << u"MT08000000000030000092990016110"_s;
    QTest::newRow("iban unsupported") << iban << u"US1234"_s << 4 << u"Unsupported"_s;
    QTest::newRow("iban one letter") << iban << u"D"_s << 5 << u"Unsupported"_s;
    QTest::newRow("iban blank") << iban << u"  "_s << 6 << QString();
    QTest::newRow("iban dotless i")
        << iban << u"\u0131t60X0542811101000000123456"_s << 7 << u"IT5900000007000021063790345"_s;
    QTest::newRow("iban long s") << iban << u"\u017fe4550000000058398257466"_s << 9
                                 << u"SE2900000090000275716375"_s;
    QTest::newRow("iban tab, lower case")
        << iban << u"\tfr14"_s << 10 << u"FR8500000010000030399380348"_s;
    QTest::newRow("iban sharp s") << iban << u"\u00df"_s << 8 << u"Unsupported"_s;
    QTest::newRow("bic") << bic << u"COBADEFF"_s << 0 << u"NDGJDEZ0000"_s;
    QTest::newRow("bic lower case, blank") << bic << u" cobadeffxxx"_s << 1 << u"HZODDEC0FLV"_s;
    QTest::newRow("bic short") << bic << u"abc"_s << 2 << u"Unsupported"_s;
    QTest::newRow("bic nine letters") << bic << u"COBADEFFX"_s << 3 << u"Unsupported"_s;
    QTest::newRow("bic austria") << bic << u"BKAUATWW"_s << 4 << u"ECAPATK0QFG"_s;
}

void TestResultDigests::codes()
{
    QFETCH(int, type);
    QFETCH(QString, text);
    QFETCH(int, seed);
    // The seed the run has reached: the codes handed out before take the ones below it.
    Run run;
    run.context.ibanSeed = quint64(seed) * 1000003;
    run.context.bicSeed = quint64(seed) * 1000003;
    QTEST(run.resolve(type, text), "expected");
}

void TestResultDigests::codesDigest()
{
    Run run;
    const QStringList countries = ibanLengthTable.keys();
    // Codes handed out already make the run skip seeds: every fifth German one,
    // and a stretch longer than the run tries before it gives up.
    for (quint64 seed = 0; seed < 250000; seed += 5)
        run.context.usedIbans.insert(makeSeededIban(seed, u"DE"_s, 7));
    for (quint64 seed = 150000; seed < 151200; ++seed)
        run.context.usedIbans.insert(makeSeededIban(seed, u"DE"_s, 7));
    for (quint64 seed = 0; seed < 20000; seed += 3)
        run.context.usedBics.insert(makeSeededBic(u"DE"_s, seed));

    QTest::ignoreMessage(QtWarningMsg, "No unused generated code after 1000 attempts");
    Draw draw(29);
    QStringList results;
    for (int i = 0; i < 200000; ++i)
        results << run.resolve(FieldTypeId::Iban, ibanInput(draw, countries));
    for (int i = 0; i < 50000; ++i)
        results << run.resolve(FieldTypeId::Bic, bicInput(draw, countries));
    results << QString::number(run.context.ibanSeed) << QString::number(run.context.bicSeed);
    QCOMPARE(sha256(results),
             QByteArray("b1099c989c02aaac62a0d4ecbe4f1b922c43b24e5a90c28a20b53189372f2f95"));
}

void TestResultDigests::amounts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("factor");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("expected");

    QTest::newRow("amount") << u"91882,86"_s << 1.37 << 0 << -1
                            << u"125879,52|1|0|40febb7851eb851f"_s;
    QTest::newRow("grouped amount")
        << u"EUR 1.234.567,89"_s << 1.37 << 0 << -1 << u"EUR 1.691.358,01|1|46|4139cede028f5c29"_s;
    QTest::newRow("english grouped")
        << u"-1,234.5"_s << 2.5 << 1 << -1 << u"-3,086.3|1|44|c0a81c999999999a"_s;
    QTest::newRow("parentheses") << u"(1.234)"_s << 3.0 << 1 << 0
                                 << u"-3702|1|0|c0acec0000000000"_s;
    QTest::newRow("apostrophes") << u"1'234'567.125"_s << 1.005 << 1 << -1
                                 << u"1'240'739.961|1|39|4132eea3f6041893"_s;
    QTest::newRow("no-break spaces")
        << u"1\u00a0234,5"_s << 1.37 << 0 << 2 << u"1691,27|1|0|409a6d147ae147ae"_s;
    QTest::newRow("exponent") << u"1,5E-3"_s << 123.456 << 1 << -1
                              << u"1.85|1|0|3ffd99999999999a"_s;
    QTest::newRow("many decimals") << u"0,123456789012345678"_s << 1.37 << 0 << -1
                                   << u"0,169135800946913578|1|0|3fc5a63deed32b53"_s;
    QTest::newRow("huge amount") << u"123456789012345678901234567890,5"_s << 1.37 << 0 << -1
                                 << u"169135800946913588895943753728,0|1|0|4601140ed7ecb015"_s;
    QTest::newRow("huge integer") << u"18446744073709551617"_s << 1.37 << 1 << 0
                                  << u"25272039380982085715|1|0|untouched"_s;
    QTest::newRow("beyond 2^53") << u"9007199254740993"_s << 1.0 << 1 << 0
                                 << u"9007199254740993|1|0|untouched"_s;
    QTest::newRow("half at two decimals")
        << u"0,125"_s << 1.0 << 0 << 2 << u"0,13|1|0|3fc0a3d70a3d70a4"_s;
    QTest::newRow("negative rounds to zero") << u"-0,004"_s << 1.0 << 0 << 2 << u"0,00|1|0|0"_s;
    QTest::newRow("factor below one")
        << u"12,5"_s << 0.5 << 1 << -1 << u"12.5|1|0|4029000000000000"_s;
    QTest::newRow("large factor") << u"4711"_s << 10000000000.0 << 0 << 3
                                  << u"47110000000000,000|1|0|untouched"_s;
    QTest::newRow("overflow") << u"1.7976931348623157e308"_s << 2.0 << 0 << -1
                              << u"1.7976931348623157e308|0|63|untouched"_s;
    QTest::newRow("no number") << u"netto"_s << 1.37 << 0 << -1 << u"netto|1|63|untouched"_s;
}

void TestResultDigests::amounts()
{
    QFETCH(QString, text);
    QFETCH(double, factor);
    QFETCH(int, mode);
    QFETCH(int, decimals);
    QTEST(scaledRecord(text, factor, mode, decimals), "expected");
}

void TestResultDigests::amountsDigest()
{
    Draw draw(1234);
    QStringList results;
    static const int decimalChoices[] = {-1, -1, -1, 0, 0, 2, 3, 1, 6};
    for (int i = 0; i < 150000; ++i) {
        const QString text = amountInput(draw);
        const double factor = drawFactor(draw);
        const int mode = draw.below(2);
        const int decimals = decimalChoices[draw.below(int(std::size(decimalChoices)))];
        results << scaledRecord(text, factor, mode, decimals);
    }
    QCOMPARE(sha256(results),
             QByteArray("5694f825a69a84b91e69c76fcb4c4cb1edceea931455b33fd88548f2fe980f34"));
}

QTEST_GUILESS_MAIN(TestResultDigests)
#include "tst_resultdigests.moc"
