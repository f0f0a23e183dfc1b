#pragma once

#include <QString>
#include <QVariant>

// QSettings turns a stored "@Variant(...)" into a variant with QDataStream (stream version
// Qt_4_0) and a date-time of its own, "@DateTime(...)", likewise (Qt_5_6). That decoder reserves
// room for as many elements as a list claims before it looks for them, so a few bytes can make
// it ask for gigabytes; a failed allocation ends the program. The store therefore checks these
// texts before QSettings sees them, and writes only values that pass the check again.
namespace kivra {

// How deeply lists and maps may nest in one stored value: QDataStream recurses once a level.
inline constexpr int kMaxStoredNesting = 32;

// Whether QSettings may decode a value text. A text it decodes with QDataStream must hold one
// variant of a kind the check knows (numbers, flags, characters, texts, bytes, dates and
// times, URLs, UUIDs, points, sizes, rectangles, lines, colours, fonts, key sequences, and
// lists and maps of these, nested at most kMaxStoredNesting deep) whose every element count
// and length fits in the bytes that follow; a date-time's time zone must name no path out of
// the system's zone folder. Every other text is safe as it is ("@ByteArray(...)" is copied,
// not decoded).
bool isBoundedValueText(const QString &text);

// Whether QSettings can write the value so that it reads back through isBoundedValueText:
// invalid values and values of the kinds listed there, also inside lists and maps, leaving one
// level for the summary map that holds them. Pointers, shared pointers, images and every other
// kind cannot; one such value would make the whole stored map unreadable.
bool isStorableValue(const QVariant &value);

} // namespace kivra
