#include "Pseudonymizer.h"

#include "ByteAlphabets.h"
#include "TextSplitting.h"

#include <QCryptographicHash>
#include <QHostAddress>
#include <QTimeZone>
#include <QtEndian>

#include <algorithm>

using vondrel::HmacDigest;
using vondrel::HmacKey;
namespace FieldTypeId = vondrel::FieldTypeId;

namespace {

constexpr std::array<FieldType, 15> keyedTypes = {
    FieldTypeId::Text,   FieldTypeId::Email,    FieldTypeId::Place,    FieldTypeId::Name,
    FieldTypeId::Street, FieldTypeId::StreetNo, FieldTypeId::Zip,      FieldTypeId::Company,
    FieldTypeId::Phone,  FieldTypeId::TaxNo,    FieldTypeId::VatId,    FieldTypeId::Domain,
    FieldTypeId::Ip,     FieldTypeId::Date,     FieldTypeId::DateTime,
};

// The scope of the shift shared by all dates; an empty scope stands for it too.
constexpr QByteArrayView datasetScope("dataset");

bool isDatasetScope(const QByteArray &scope)
{
    return scope.isEmpty() || scope == datasetScope;
}

int keyIndex(FieldType type)
{
    if (type >= FieldTypeId::Text && type <= FieldTypeId::Ip)
        return type - 1;
    if (type == FieldTypeId::Date)
        return 13;
    if (type == FieldTypeId::DateTime)
        return 14;
    return -1;
}

// Equal texts must give equal pseudonyms however they were composed or padded.
QString normalizedText(const QString &text)
{
    return text.normalized(QString::NormalizationForm_C).trimmed();
}

QByteArray normalizedUtf8(const QString &text)
{
    return normalizedText(text).toUtf8();
}

quint64 leadingUInt64(const HmacDigest &digest)
{
    return qFromBigEndian<quint64>(digest.data());
}

using CharacterWriter = void (*)(QByteArrayView, int, QChar *);

// The first n bytes of the key stream of data under key, written to out as characters.
void writeKeyStream(const HmacKey &key, QByteArrayView data, int n, CharacterWriter write,
                    QChar *out)
{
    if (n <= 0)
        return;
    if (n > int(sizeof(HmacDigest))) {
        write(hmacCounterStream(key, data, n), n, out);
        return;
    }
    // The usual token fits into the stream's first block, whose counter is 0.
    static constexpr char counterZero[4] = {};
    const HmacDigest block = key.mac(data, QByteArrayView(counterZero, 4));
    write(QByteArrayView(block.data(), n), n, out);
}

QString keyedToken(const QString &text, const HmacKey &key, const HmacKey &extKey,
                   const QString &prefix, int len1, int len2, CharacterWriter write)
{
    const QByteArray u = normalizedUtf8(text);
    const int n1 = std::max(len1, 0);
    const int n2 = std::max(len2, 0);
    QString token(prefix.size() + n1 + n2, Qt::Uninitialized);
    QChar *out = std::copy(prefix.cbegin(), prefix.cend(), token.data());
    writeKeyStream(key, u, n1, write, out);
    writeKeyStream(extKey, u, n2, write, out + n1);
    return token;
}

// The key of a token part that has no characters.
const HmacKey &unusedKey()
{
    static const HmacKey key;
    return key;
}

} // namespace

Pseudonymizer::Pseudonymizer(QByteArray key, const PseudoSettings &settings)
    : m_masterKey(key.size() == 32 ? std::move(key)
                                   : QCryptographicHash::hash(key, QCryptographicHash::Sha256))
    , m_settings(settings)
{
    const HmacKey master(m_masterKey);
    for (size_t i = 0; i < keyedTypes.size(); ++i) {
        const QByteArray message = "PSEUDO|" + placeholderForFieldType(keyedTypes[i]).toLatin1();
        m_keys[i].subkey = hmacSha256(master, message);
        m_keys[i].extSubkey = hmacSha256(master, message + "/EXT");
    }
    // One shift for all dates is the usual mode: its offsets are needed for every value.
    m_datasetShift.dateDays =
        scopedOffset(subkey(FieldTypeId::Date), datasetScope, m_settings.maxShiftDays);
    m_datasetShift.dateTimeDays =
        scopedOffset(subkey(FieldTypeId::DateTime), datasetScope, m_settings.maxShiftDays);
    m_datasetShift.dateTimeSeconds =
        scopedOffset(extSubkey(FieldTypeId::DateTime), datasetScope, m_settings.maxShiftSeconds);
}

const Pseudonymizer::KeyPair &Pseudonymizer::keyPair(FieldType type) const
{
    static const KeyPair none;
    const int index = keyIndex(type);
    return index < 0 ? none : m_keys[size_t(index)];
}

const HmacKey &Pseudonymizer::subkey(FieldType type) const
{
    return keyPair(type).subkey;
}

const HmacKey &Pseudonymizer::extSubkey(FieldType type) const
{
    return keyPair(type).extSubkey;
}

int Pseudonymizer::scopedOffset(const HmacKey &key, QByteArrayView scope, int range)
{
    if (range <= 0)
        return 0;
    const quint64 v = leadingUInt64(key.mac("SCOPE|", scope));
    const quint64 m = 2 * quint64(range) + 1;
    return int(qint64(v % m) - range);
}

QString Pseudonymizer::keyedDigitString(const QString &text, const HmacKey &key, int n)
{
    if (n <= 0)
        return QStringLiteral("0");
    return vondrel::lowDecimalDigits(leadingUInt64(key.mac(normalizedUtf8(text))), n);
}

QString Pseudonymizer::keyedLetterToken(const QString &text, const HmacKey &key,
                                        const HmacKey &extKey, const QString &prefix, int len1,
                                        int len2)
{
    return keyedToken(text, key, extKey, prefix, len1, len2, vondrel::writeLetters);
}

QString Pseudonymizer::keyedDigitToken(const QString &text, const HmacKey &key,
                                       const HmacKey &extKey, const QString &prefix, int len1,
                                       int len2)
{
    return keyedToken(text, key, extKey, prefix, len1, len2, vondrel::writeDigits);
}

QString Pseudonymizer::tokenFor(FieldType type, const QString &text) const
{
    const KeyPair &keys = keyPair(type);
    return keyedLetterToken(text, keys.subkey, keys.extSubkey, m_settings.prefix(type),
                            m_settings.tokenLength(type), m_settings.extLength(type));
}

QString Pseudonymizer::digitTokenFor(FieldType type, const QString &text) const
{
    const KeyPair &keys = keyPair(type);
    return keyedDigitToken(text, keys.subkey, keys.extSubkey, m_settings.prefix(type),
                           m_settings.tokenLength(type), m_settings.extLength(type));
}

QString Pseudonymizer::keyedPseudonym(FieldType type, const QString &text) const
{
    const bool real = m_settings.simulateReal;
    switch (type) {
    case FieldTypeId::Text:
    case FieldTypeId::Place:
    case FieldTypeId::Name:
    case FieldTypeId::Street:
    case FieldTypeId::Company:
        return tokenFor(type, text);
    case FieldTypeId::Email:
        return emailPseudonym(text);
    case FieldTypeId::StreetNo:
        return streetPseudonym(text);
    case FieldTypeId::Zip:
    case FieldTypeId::TaxNo:
        if (real)
            return keyedDigitString(text, subkey(type), m_settings.tokenLength(type));
        return digitTokenFor(type, text);
    case FieldTypeId::Phone:
        if (real) {
            const auto digits = std::count_if(text.cbegin(), text.cend(),
                                              [](QChar c) { return c >= u'0' && c <= u'9'; });
            return keyedDigitString(text, subkey(type), std::max(int(digits), 6));
        }
        return digitTokenFor(type, text);
    case FieldTypeId::VatId:
        return real ? vatPseudonym(text) : tokenFor(type, text);
    case FieldTypeId::Domain:
        return keyedLetterToken(text, subkey(type), unusedKey(), {}, m_settings.tokenLength(type),
                                0) +
            u'.' + m_settings.topLevelDomain;
    case FieldTypeId::Ip:
        return real ? ipPseudonym(text) : tokenFor(type, text);
    default:
        return QString();
    }
}

QString Pseudonymizer::emailPseudonym(const QString &text) const
{
    const KeyPair &keys = keyPair(FieldTypeId::Email);
    return keyedLetterToken(text, keys.subkey, keys.extSubkey, QString(),
                            m_settings.tokenLength(FieldTypeId::Email),
                            m_settings.extLength(FieldTypeId::Email)) +
        u'@' + m_settings.emailDomain;
}

QString Pseudonymizer::streetPseudonym(const QString &text) const
{
    const auto [street, number] = vondrel::splitStreetAndNumber(normalizedText(text));

    // Only the street is keyed; the house number stays as written.
    const KeyPair &keys = keyPair(FieldTypeId::StreetNo);
    const bool real = m_settings.simulateReal;
    const QString part =
        keyedLetterToken(street, keys.subkey, keys.extSubkey,
                         real ? QString() : m_settings.prefix(FieldTypeId::StreetNo),
                         m_settings.tokenLength(FieldTypeId::StreetNo),
                         real ? 0 : m_settings.extLength(FieldTypeId::StreetNo));
    return number.isEmpty() ? part : part + u' ' + number;
}

QString Pseudonymizer::vatPseudonym(const QString &text) const
{
    const auto [cc, rest] = vondrel::splitVatNumber(normalizedText(text));
    const int length = m_settings.tokenLength(FieldTypeId::VatId);
    const QString digits = keyedDigitString(cc + rest, subkey(FieldTypeId::VatId), length);
    return cc + digits.left(length - cc.size());
}

QString Pseudonymizer::ipPseudonym(const QString &text) const
{
    const HmacDigest h = subkey(FieldTypeId::Ip).mac(normalizedUtf8(text));
    // Addresses from the documentation prefix 2001:db8::/32 never reach a real host.
    Q_IPV6ADDR address = {{0x20, 0x01, 0x0d, 0xb8}};
    std::copy(h.cbegin(), h.cbegin() + 12, address.c + 4);
    return QHostAddress(address).toString();
}

QDate Pseudonymizer::shiftDate(const QDate &date, bool perDataSet) const
{
    const QByteArray scope = perDataSet ? QByteArray() : date.toString(Qt::ISODate).toUtf8();
    if (isDatasetScope(scope))
        return date.addDays(m_datasetShift.dateDays);
    return date.addDays(scopedOffset(subkey(FieldTypeId::Date), scope, m_settings.maxShiftDays));
}

QDateTime Pseudonymizer::shiftDateTimeForDataset(const QDateTime &dateTime,
                                                 const QByteArray &scope) const
{
    if (!dateTime.isValid())
        return dateTime;
    const bool dataset = isDatasetScope(scope);
    const qint64 days = dataset
        ? m_datasetShift.dateTimeDays
        : scopedOffset(subkey(FieldTypeId::DateTime), scope, m_settings.maxShiftDays);
    const qint64 seconds = dataset
        ? m_datasetShift.dateTimeSeconds
        : scopedOffset(extSubkey(FieldTypeId::DateTime), scope, m_settings.maxShiftSeconds);

    QDateTime shifted = dateTime.toUTC();
    const qint64 step = m_settings.timeStepSeconds;
    if (step > 1) {
        const qint64 s = shifted.toSecsSinceEpoch();
        shifted = QDateTime::fromSecsSinceEpoch(s - s % step, Qt::UTC);
    }
    // 64-bit on purpose: day ranges beyond 24,855 days overflow 32-bit seconds.
    shifted = shifted.addSecs(days * 86400 + seconds);

    switch (m_settings.timeSpecMode) {
    case 0:
        return shifted.toLocalTime();
    case 1:
        return shifted;
    default:
        return shifted.toTimeZone(QTimeZone::systemTimeZone());
    }
}
