#pragma once

#include <QMap>
#include <QVariantMap>
#include <Qt>

#include <optional>

class QWidget;

namespace kivra {

// Default alignments per type code, the window option "defaulttypealign".
using TypeAlignments = QMap<int, Qt::Alignment>;

// The option "indexalign<index>" or "typealign<code>" as int; nothing when absent.
std::optional<int> indexAlign(const QVariantMap &options, int index);
std::optional<int> typeAlign(const QVariantMap &options, int code);

// The alignment of the widget at index of a field: the field's index alignment, then its
// type alignment for the widget's sub-kind and kind, then the window's defaults per type
// (sub-kind, kind), else defaultAlign. A horizontal line keeps no horizontal alignment and
// a vertical line no vertical one, so that they span their cell.
int alignmentFor(const QWidget *widget, int index, const QVariantMap &options, int defaultAlign,
                 const TypeAlignments *typeDefaults);

// The window option "defaulttypealign"; empty when absent or of another type.
TypeAlignments defaultTypeAlign(const QVariantMap &windowOptions);

} // namespace kivra
