#include "VariantConversions.h"

#include <QString>

namespace kivra {

namespace {

QString beforePoint(const QString &text)
{
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    return point < 0 ? text : text.left(point);
}

// A text value cut before its point; other values untouched.
QVariant integralPart(const QVariant &value)
{
    if (value.metaType().id() == QMetaType::QString)
        return beforePoint(value.toString());
    return value;
}

} // namespace

QVariant variantToIntString(const QVariant &value)
{
    return beforePoint(value.toString());
}

int variantToInt(const QVariant &value)
{
    return integralPart(value).toInt();
}

qlonglong variantToLongLong(const QVariant &value)
{
    return integralPart(value).toLongLong();
}

qulonglong variantToULongLong(const QVariant &value)
{
    return integralPart(value).toULongLong();
}

} // namespace kivra
