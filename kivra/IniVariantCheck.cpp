#include "IniVariantCheck_p.h"

#include <QByteArrayView>
#include <QDataStream>
#include <QDateTime>
#include <QTimeZone>
#include <QVariantHash>
#include <QVariantList>
#include <QVariantMap>
#include <QtEndian>

#include <algorithm>
#include <functional>

namespace kivra {

namespace {

// Type ids of the older numbering in which Qt_4_0 and Qt_5_6 streams name types.
constexpr quint32 kQt4UserType = 127;
constexpr quint32 kQt4SizePolicy = 75;
constexpr quint32 kQt5UserType = 1024;
constexpr quint32 kQt5FirstGuiType = 64;
constexpr quint32 kQt5LastGuiType = 87;
constexpr quint32 kQt5SizePolicy = 121;
constexpr quint32 kQt5RegExp = 27;

// A length of all ones stands for a null text or byte array.
constexpr quint32 kNullLength = 0xffffffff;

// The fewest bytes one element can take: a text or byte array is at least its length, a
// variant at least its type id and one byte of value (an invalid one its id and an empty text).
constexpr qsizetype kMinTextSize = 4;
constexpr qsizetype kMinVariantSize = 5;

// What QDataStream reads for a font at Qt_4_0 after the family name: point size, pixel size,
// style hint, style strategy, character set, weight and the style bits.
constexpr qsizetype kFontTail = 8 + 4 + 1 + 1 + 1 + 1 + 1;
// A key sequence holds at most four keys; more claimed are not read.
constexpr quint32 kMaxKeys = 4;

// How a UUID names itself in a Qt_4_0 stream, where it has no type id of its own.
constexpr QByteArrayView kUuidName("QUuid", 6); // with its terminating zero

// The bytes a value of a fixed-size kind takes at stream version Qt_4_0; 0 for other kinds.
qsizetype fixedSize(int typeId)
{
    switch (typeId) {
    case QMetaType::Bool:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return 1;
    case QMetaType::QChar:
    case QMetaType::Short:
    case QMetaType::UShort:
        return 2;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Float: // single precision before Qt_4_6
    case QMetaType::QDate: // a 32-bit Julian day before Qt_5_0
    case QMetaType::QTime:
        return 4;
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long: // streamed as 64 bits on every platform
    case QMetaType::ULong:
    case QMetaType::Double:
    case QMetaType::QSize:
    case QMetaType::QPoint:
        return 8;
    case QMetaType::QDateTime: // date, time and a byte for the kind of time
        return 9;
    case QMetaType::QColor: // colour model byte, then alpha, red, green, blue and padding
        return 11;
    case QMetaType::QRect:
    case QMetaType::QLine:
    case QMetaType::QSizeF:
    case QMetaType::QPointF:
    case QMetaType::QUuid:
        return 16;
    case QMetaType::QRectF:
    case QMetaType::QLineF:
        return 32;
    default:
        return 0;
    }
}

// The kinds with elements or lengths of their own that the walk knows.
bool isVariableKind(int typeId)
{
    switch (typeId) {
    case QMetaType::QString:
    case QMetaType::QByteArray:
    case QMetaType::QUrl:
    case QMetaType::QStringList:
    case QMetaType::QByteArrayList:
    case QMetaType::QVariantList:
    case QMetaType::QVariantMap:
    case QMetaType::QVariantHash:
    case QMetaType::QVariant:
    case QMetaType::QFont:
    case QMetaType::QKeySequence:
        return true;
    default:
        return false;
    }
}

bool isKnownKind(int typeId)
{
    return fixedSize(typeId) > 0 || isVariableKind(typeId);
}

// Qt looks a zone id up as a file name below the system's zone folder (on Linux), so an id
// that could climb out of it, or that is no plain printable text, is refused.
bool isPlainZoneId(const QString &id)
{
    return id.size() <= 256 && !id.contains(QLatin1String("..")) &&
        std::all_of(id.cbegin(), id.cend(),
                    [](QChar c) { return c.unicode() > 0x20 && c.unicode() < 0x7f; });
}

// Reads one stored variant the way QVariant::load does, without building it, and tells
// whether every element count and length fits in the bytes that remain. The first thing that
// does not fit, or that it does not know, ends the walk with false.
class VariantStreamWalk
{
public:
    explicit VariantStreamWalk(QByteArrayView stream)
        : m_stream(stream)
    { }

    // A variant at stream version Qt_4_0, nested depth levels deep.
    bool variant(int depth)
    {
        int typeId = QMetaType::UnknownType;
        return depth <= kMaxStoredNesting && readTypeId(QDataStream::Qt_4_0, &typeId) &&
            value(typeId, depth);
    }

    // A date-time variant at stream version Qt_5_6.
    bool dateTimeVariant()
    {
        int typeId = QMetaType::UnknownType;
        quint8 timeKind = 0;
        if (!readTypeId(QDataStream::Qt_5_6, &typeId) || typeId != QMetaType::QDateTime ||
            !skip(8 + 4) || !read8(&timeKind)) // a 64-bit Julian day, then milliseconds
            return false;
        switch (timeKind) {
        case Qt::LocalTime:
        case Qt::UTC:
            return true;
        case Qt::OffsetFromUTC:
            return skip(4);
        case Qt::TimeZone:
            return timeZone();
        default:
            return false;
        }
    }

private:
    // The type id QVariant::load makes of what it reads: an id of the stream's numbering
    // mapped to today's, then its null flag (from Qt_4_2 on), then the name of a user type.
    // A type the walk does not know gives UnknownType with false.
    bool readTypeId(QDataStream::Version version, int *typeId)
    {
        quint32 id = 0;
        if (!read32(&id))
            return false;
        if (version < QDataStream::Qt_5_0) {
            if (id == kQt4UserType)
                id = kQt5UserType;
            else if (id >= 128 && id != kQt5UserType)
                id -= 97;
            else if (id == kQt4SizePolicy)
                id = kQt5SizePolicy;
            else if (id > kQt4SizePolicy && id <= 86)
                id -= 1;
        }
        if (id == kQt5UserType)
            id = QMetaType::User;
        else if (id >= kQt5FirstGuiType && id <= kQt5LastGuiType)
            id += QMetaType::FirstGuiType - kQt5FirstGuiType;
        else if (id == kQt5SizePolicy || id == kQt5RegExp)
            return false;
        if (version >= QDataStream::Qt_4_2 && !skip(1))
            return false;
        if (id == QMetaType::User) {
            // Only the name QSettings writes for a UUID is known; any other name is not
            // looked up at all.
            QByteArrayView name;
            if (!readBytes(&name) || name != kUuidName)
                return false;
            *typeId = QMetaType::QUuid;
            return true;
        }
        // QVariant::load reads an invalid variant, or one of a type not registered, as a text.
        if (id == QMetaType::UnknownType)
            return true;
        // Ids are looked up only when the walk knows them; QMetaType warns about any other.
        if (id > quint32(QMetaType::LastGuiType) || !isKnownKind(int(id)) ||
            !QMetaType(int(id)).isValid())
            return false;
        *typeId = int(id);
        return true;
    }

    bool value(int typeId, int depth)
    {
        if (typeId == QMetaType::UnknownType)
            return readText(); // the empty text that follows an invalid variant before Qt_5_0
        if (const qsizetype size = fixedSize(typeId))
            return skip(size);
        switch (typeId) {
        case QMetaType::QString:
            return readText();
        case QMetaType::QByteArray:
        case QMetaType::QUrl: // its encoded form, as Latin-1 bytes before Qt_5_0
            return readBytes();
        case QMetaType::QStringList:
            return sequence(kMinTextSize, [this] { return readText(); });
        case QMetaType::QByteArrayList:
            return sequence(kMinTextSize, [this] { return readBytes(); });
        case QMetaType::QVariantList:
            return sequence(kMinVariantSize, [this, depth] { return variant(depth + 1); });
        case QMetaType::QVariantMap:
        case QMetaType::QVariantHash:
            return sequence(kMinTextSize + kMinVariantSize,
                            [this, depth] { return readText() && variant(depth + 1); });
        case QMetaType::QVariant:
            return variant(depth + 1);
        case QMetaType::QFont: // the family name, then fixed fields
            return readText() && skip(kFontTail);
        case QMetaType::QKeySequence: {
            quint32 count = 0;
            return read32(&count) && skip(4 * qsizetype(std::min(count, kMaxKeys)));
        }
        default:
            return false;
        }
    }

    // A count, then that many elements; the count must fit in the bytes that remain at the
    // smallest size an element can have, since the decoder reserves room for all of them.
    bool sequence(qsizetype minElementSize, const std::function<bool()> &element)
    {
        quint32 count = 0;
        if (!read32(&count) || qsizetype(count) > remaining() / minElementSize)
            return false;
        for (quint32 i = 0; i < count; ++i) {
            if (!element())
                return false;
        }
        return true;
    }

    // A time zone as QDataStream reads it for a date-time: its id, or a custom zone's fields.
    bool timeZone()
    {
        QString id;
        if (!readText(&id))
            return false;
        if (id == QLatin1String("-No Time Zone Specified!"))
            return true;
        if (id != QLatin1String("OffsetFromUtc"))
            return isPlainZoneId(id);
        // id, offset, name, abbreviation, territory, comment
        return readText(&id) && isPlainZoneId(id) && skip(4) && readText() && readText() &&
            skip(4) && readText();
    }

    // A text: its length in bytes, then UTF-16 code units. An odd length is corrupt.
    bool readText(QString *text = nullptr)
    {
        quint32 length = 0;
        if (!read32(&length))
            return false;
        if (length == kNullLength)
            return true;
        if (length % 2 != 0 || qsizetype(length) > remaining())
            return false;
        if (text) {
            text->resize(qsizetype(length / 2));
            const char *from = m_stream.data() + m_pos;
            for (qsizetype i = 0; i < text->size(); ++i)
                (*text)[i] = QChar(qFromBigEndian<quint16>(from + 2 * i));
        }
        m_pos += length;
        return true;
    }

    bool readBytes(QByteArrayView *bytes = nullptr)
    {
        quint32 length = 0;
        if (!read32(&length))
            return false;
        if (length == kNullLength) {
            if (bytes)
                *bytes = {};
            return true;
        }
        if (qsizetype(length) > remaining())
            return false;
        if (bytes)
            *bytes = m_stream.sliced(m_pos, length);
        m_pos += length;
        return true;
    }

    bool read8(quint8 *value)
    {
        if (remaining() < 1)
            return false;
        *value = quint8(m_stream[m_pos++]);
        return true;
    }

    bool read32(quint32 *value)
    {
        if (remaining() < 4)
            return false;
        *value = qFromBigEndian<quint32>(m_stream.data() + m_pos);
        m_pos += 4;
        return true;
    }

    bool skip(qsizetype count)
    {
        if (count > remaining())
            return false;
        m_pos += count;
        return true;
    }

    qsizetype remaining() const { return m_stream.size() - m_pos; }

    QByteArrayView m_stream;
    qsizetype m_pos = 0;
};

bool isStorable(const QVariant &value, int depth);

template<class Container>
bool allStorable(const Container &values, int depth)
{
    return std::all_of(values.cbegin(), values.cend(),
                       [depth](const QVariant &value) { return isStorable(value, depth); });
}

bool isStorable(const QVariant &value, int depth)
{
    if (depth > kMaxStoredNesting)
        return false;
    if (!value.isValid())
        return true;
    const int typeId = value.metaType().id();
    switch (typeId) {
    case QMetaType::QVariantList:
        return allStorable(value.toList(), depth + 1);
    case QMetaType::QVariantMap:
        return allStorable(value.toMap(), depth + 1);
    case QMetaType::QVariantHash:
        return allStorable(value.toHash(), depth + 1);
    case QMetaType::QVariant:
        return isStorable(*static_cast<const QVariant *>(value.constData()), depth + 1);
    case QMetaType::QDateTime: {
        // Stored on its own, a date-time keeps its time zone, whose id is checked on reading.
        const QDateTime dateTime = value.toDateTime();
        return dateTime.timeSpec() != Qt::TimeZone ||
            isPlainZoneId(QString::fromUtf8(dateTime.timeZone().id()));
    }
    default:
        return isKnownKind(typeId);
    }
}

} // namespace

bool isBoundedValueText(const QString &text)
{
    // What QSettings hands to QDataStream: the text after the prefix, closing parenthesis
    // included, as Latin-1 bytes.
    if (!text.startsWith(u'@') || !text.endsWith(u')'))
        return true;
    static const QLatin1String variantPrefix("@Variant(");
    static const QLatin1String dateTimePrefix("@DateTime(");
    if (text.startsWith(variantPrefix))
        return VariantStreamWalk(text.sliced(variantPrefix.size()).toLatin1()).variant(0);
    if (text.startsWith(dateTimePrefix))
        return VariantStreamWalk(text.sliced(dateTimePrefix.size()).toLatin1()).dateTimeVariant();
    return true;
}

bool isStorableValue(const QVariant &value)
{
    // One level down: the summary map holds every value.
    return isStorable(value, 1);
}

} // namespace kivra
