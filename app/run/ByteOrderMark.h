#pragma once

#include <QByteArray>
#include <QStringConverter>

// The byte-order mark of a Unicode encoding in its own byte form (EF BB BF for UTF-8, FF FE
// for UTF-16LE, ...); empty for any other encoding, which has none.
QByteArray byteOrderMark(QStringConverter::Encoding encoding);

// The length of the byte-order mark at the start of data; 0 when there is none.
qsizetype byteOrderMarkLength(const QByteArray &data);
