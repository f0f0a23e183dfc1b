#pragma once

#include <QVariant>
#include <QVariantMap>
#include <QtGlobal>

// What a number spin box needs to know about the type of the numbers it shows: whether they
// are integers and signed, and the range of the type. Free of widgets.
namespace kivra {

struct NumberKind
{
    bool integer = false;
    bool isSigned = true;
    // A bool shows 0 and 1 whatever the options say, without group separators.
    bool isBool = false;
    // The type's range; for floating types the defaults of the box apply instead.
    qint64 minimum = 0;
    quint64 maximum = 0;
};

// The kind of a QMetaType id; unknown types count as signed floating point. For the floating
// types signedOption (the option "signed_datatype") decides the sign when it is valid.
NumberKind numberKindOf(int metaTypeId, const QVariant &signedOption);

// The limits of an integer box: the options "min" and "max" when they are valid, else the
// type's range, brought into the range of int by saturation.
struct IntegerRange
{
    int minimum = 0;
    int maximum = 0;
};
IntegerRange integerRange(const NumberKind &kind, const QVariantMap &options);

// The limits of a floating box: "min" and "max", else +-2^53 (0 as minimum when unsigned).
struct FloatingRange
{
    double minimum = 0;
    double maximum = 0;
};
FloatingRange floatingRange(const NumberKind &kind, const QVariantMap &options);

// A value for an integer box: texts cut before their point, unsigned values read as unsigned,
// saturated into the range of int.
int saturatedInt(const QVariant &value);

} // namespace kivra
