#include "TextCodecBridge.h"

#include "TablesLog.h"

#include <QTextCodec>

namespace vondrel {

QStringConverter::Encoding encodingForCodecName(const QByteArray &name)
{
    if (name == "System")
        return QStringConverter::System;
    if (const auto encoding = QStringConverter::encodingForName(name.constData()))
        return *encoding;
    qCWarning(lcTables) << "Text encoding" << name << "is not supported, using UTF-8";
    return QStringConverter::Utf8;
}

std::optional<QStringConverter::Encoding> encodingForCodec(const QTextCodec *codec)
{
    if (!codec)
        return std::nullopt;
    return encodingForCodecName(codec->name());
}

} // namespace vondrel
