#pragma once

namespace kivra {

// Names of the dynamic properties that carry the framework's metadata on every widget.
namespace WidgetProperty {
// int: the widget's own kind (a base code: 20000 for every line edit, 20002 for every button).
inline constexpr char type[] = "kivra_type";
// int: the record's type code (the sub-kind).
inline constexpr char typeExt[] = "kivra_type_ext";
// int: running position of the registration within the form; absent = -1.
inline constexpr char pos[] = "kivra_pos";
// QString: the field name.
inline constexpr char paramName[] = "kivra_paramName";
// QBitArray of 256 bits: the field's flags.
inline constexpr char flags[] = "kivra_flags";
// QVariantMap: the field's options.
inline constexpr char options[] = "kivra_options";
// bool: callbacks for this widget are suppressed.
inline constexpr char blockEvent[] = "kivra_blockevent";
} // namespace WidgetProperty

} // namespace kivra
