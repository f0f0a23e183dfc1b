#pragma once

#include "Format.h"

#include <QString>
#include <QStringView>

namespace QXlsx {

// The names the file format gives border styles ("thin", "mediumDashed"); the reader and the
// writer share them.
QString borderStyleName(Format::BorderStyle style);
// BorderNone for "none", an empty and an unknown name.
Format::BorderStyle borderStyleFromName(QStringView name);

} // namespace QXlsx
