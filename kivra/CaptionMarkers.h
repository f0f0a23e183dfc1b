#pragma once

#include <kivra/FieldFlags.h>

#include <QString>
#include <QStringList>

namespace kivra {

// Text put before the caption of a required field; empty in this system.
const QString &requiredMarkerPrefix();
// Text put after the caption of a required field: a red star.
const QString &requiredMarkerSuffix();

// The caption with the required markers when the flags ask for them (kRequired without
// kNoRequiredMarker) and the caption is not empty; otherwise the caption unchanged.
QString markRequiredCaption(const QString &caption, const FieldFlags &flags);

// The caption's ";"-parts (empty parts kept), or the whole caption with kNoCaptionSplit.
// The first part is the caption shown; the builder hands the others to the field's widgets.
QStringList captionParts(const QString &caption, const FieldFlags &flags);

} // namespace kivra
