#include "INFO.h"

namespace kivra {

INFO::INFO(quint32 type, const FieldFlags &flags, const QVariant &options, const InfoValue &value,
           const QString &name, const CallbackVariant &callback, const std::any &payload,
           const QVariant &extra)
    : type(type)
    , flags(flags)
    , options(options)
    , value(infoValueToVariant(value))
    , name(name)
    , callback(callback)
    , payload(payload)
    , extra(extra)
{ }

QVariant infoValueToVariant(const InfoValue &value)
{
    return std::visit(
        [](const auto &alternative) -> QVariant {
            using T = std::decay_t<decltype(alternative)>;
            if constexpr (std::is_same_v<T, QVariant>)
                return alternative;
            else
                return QVariant::fromValue(alternative);
        },
        value);
}

} // namespace kivra
