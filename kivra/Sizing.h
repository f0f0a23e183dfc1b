#pragma once

#include <QMap>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <QVariantMap>
#include <QWidget>
#include <Qt>

#include <optional>

class QLineEdit;

// Sizes, policies, stretch and alignment of a field's widgets, read from the option words
// keyed per widget: the word followed by the widget's kind, its sub-kind or its index among
// the field's widgets ("maxwidth50006", "minwidth0", "indexalign1").
namespace kivra {

// Applies minwidth, maxwidth, minheight, maxheight, sizepolicyh, sizepolicyv, fixedwidth and
// fixedheight, keyed by kind, then sub-kind, then index: the later key wins.
void applySizeOptions(QWidget *widget, int index, const QMap<QString, QVariant> &options);

// The layout stretch of a widget: stretch keyed by kind, else sub-kind, else index; the
// first found wins. 0 for a gone widget, null options or no stretch.
int stretchFor(const QPointer<QWidget> &widget, int index, const QMap<QString, QVariant> *options);

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

// The width at which the line edit shows text on one line, frame and margins included;
// 0 for a null edit.
int lineEditWidthFor(const QLineEdit *edit, const QString &text);

// Fixes the height of a QTextEdit or QPlainTextEdit to show that many lines of its font;
// other widgets and lines <= 0 are left alone.
void setHeightForLines(QWidget *widget, int lines);

} // namespace kivra
