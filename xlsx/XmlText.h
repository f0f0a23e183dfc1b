#pragma once

#include <QString>
#include <QStringView>

namespace QXlsx {

class ByteBuffer;

// Spreadsheet text can hold characters that XML 1.0 cannot (control characters, lone
// surrogates) or that an XML reader would change (a carriage return becomes a line feed). The
// file format writes them as "_xHHHH_" with the UTF-16 code unit in hex, and writes a literal
// "_xHHHH_" in the text with its underscore escaped ("_x005F_xHHHH_") so that it reads back as
// itself.

// Decodes every "_xHHHH_" escape.
QString decodeXmlEscapes(QStringView text);
// The same; a text without escapes comes back as itself, without a copy.
QString decodeXmlEscapes(const QString &text);

// Escapes what XML cannot carry unchanged; returns the text itself when nothing needs it.
// Formula text is not read with escapes, so a literal "_xHHHH_" in it must stay as it is:
// protectLookalikes false leaves it alone and only escapes characters XML cannot hold at all.
QString encodeXmlEscapes(const QString &text, bool protectLookalikes = true);

// Appends text as UTF-8 element content: escaped as above, with the markup characters written
// as entities.
void appendXmlText(ByteBuffer &out, const QString &text, bool protectLookalikes = true);

} // namespace QXlsx
