#include "NumberKind_p.h"

#include <kivra/Options.h>
#include <kivra/ValueExchange.h>

#include <QMetaType>

#include <algorithm>
#include <limits>

namespace kivra {

namespace {

constexpr double kLargestExactDouble = 9007199254740992.0; // 2^53

NumberKind integerKind(bool isSigned, qint64 minimum, quint64 maximum)
{
    NumberKind kind;
    kind.integer = true;
    kind.isSigned = isSigned;
    kind.minimum = minimum;
    kind.maximum = maximum;
    return kind;
}

int clampToInt(qint64 value)
{
    return int(std::clamp<qint64>(value, std::numeric_limits<int>::min(),
                                  std::numeric_limits<int>::max()));
}

int clampToInt(quint64 value)
{
    return int(std::min<quint64>(value, quint64(std::numeric_limits<int>::max())));
}

// A double out of range has no integer to convert to: it saturates, and NaN reads as 0.
qint64 toLongLongSaturated(const QVariant &value)
{
    const int id = value.metaType().id();
    if (id != QMetaType::Double && id != QMetaType::Float)
        return variantToLongLong(value);
    const double number = value.toDouble();
    if (number != number)
        return 0;
    if (number <= double(std::numeric_limits<qint64>::min()))
        return std::numeric_limits<qint64>::min();
    if (number >= double(std::numeric_limits<qint64>::max()))
        return std::numeric_limits<qint64>::max();
    return qint64(number);
}

bool isUnsignedType(const QVariant &value)
{
    switch (value.metaType().id()) {
    case QMetaType::UInt:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
    case QMetaType::UShort:
    case QMetaType::UChar:
        return true;
    default:
        return false;
    }
}

} // namespace

NumberKind numberKindOf(int metaTypeId, const QVariant &signedOption)
{
    switch (metaTypeId) {
    case QMetaType::Bool: {
        NumberKind kind = integerKind(false, 0, 1);
        kind.isBool = true;
        return kind;
    }
    case QMetaType::Short:
        return integerKind(true, std::numeric_limits<short>::min(),
                           std::numeric_limits<short>::max());
    case QMetaType::UShort:
        return integerKind(false, 0, std::numeric_limits<unsigned short>::max());
    case QMetaType::Int:
    case QMetaType::Long:
        return integerKind(true, std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    case QMetaType::UInt:
    case QMetaType::ULong:
        return integerKind(false, 0, std::numeric_limits<unsigned int>::max());
    case QMetaType::LongLong:
        return integerKind(true, std::numeric_limits<qint64>::min(),
                           std::numeric_limits<qint64>::max());
    case QMetaType::ULongLong:
        return integerKind(false, 0, std::numeric_limits<quint64>::max());
    case QMetaType::Double:
    case QMetaType::Float: {
        NumberKind kind;
        kind.isSigned = signedOption.isValid() ? signedOption.toBool() : true;
        return kind;
    }
    default:
        return NumberKind();
    }
}

IntegerRange integerRange(const NumberKind &kind, const QVariantMap &options)
{
    const QVariant min = Option::min(options);
    const QVariant max = Option::max(options);
    const bool useOptions = !kind.isBool;
    IntegerRange range;
    range.minimum = useOptions && min.isValid() ? clampToInt(toLongLongSaturated(min))
                                                : clampToInt(kind.minimum);
    if (useOptions && max.isValid())
        range.maximum = kind.isSigned || !isUnsignedType(max) ? clampToInt(toLongLongSaturated(max))
                                                              : clampToInt(variantToULongLong(max));
    else
        range.maximum = clampToInt(kind.maximum);
    return range;
}

FloatingRange floatingRange(const NumberKind &kind, const QVariantMap &options)
{
    const QVariant min = Option::min(options);
    const QVariant max = Option::max(options);
    FloatingRange range;
    range.minimum = min.isValid() ? min.toDouble() : (kind.isSigned ? -kLargestExactDouble : 0.0);
    range.maximum = max.isValid() ? max.toDouble() : kLargestExactDouble;
    return range;
}

int saturatedInt(const QVariant &value)
{
    if (isUnsignedType(value))
        return clampToInt(value.toULongLong());
    return clampToInt(toLongLongSaturated(value));
}

} // namespace kivra
