#pragma once

#include "Format.h"

class QXmlStreamAttributes;
class QXmlStreamWriter;

namespace QXlsx {

// The <alignment> element of a cell style: the reader and the writer share its attributes, so
// that every one the reader keeps is written back.

// Sets on format the alignment properties the attributes give other than the defaults; a
// format without any stays as it is (invalid if it was).
void readAlignment(const QXmlStreamAttributes &attributes, Format *format);
// Writes <alignment> with the properties that differ from the defaults; nothing when none do.
void writeAlignment(QXmlStreamWriter &xml, const Format &format);

} // namespace QXlsx
