#pragma once

#include <kivra/FieldFlags.h>
#include <kivra/Records.h>

#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QWidget>

namespace kivra {

// One place for a caption part: a widget that shows it, or none to ask for a caption label
// of its own; defaultText is shown where the caption has no non-empty part for the place.
struct CaptionPair
{
    QPointer<QWidget> target;
    QString defaultText;
};

// The field whose captions are placed. The widget list and the running position are the
// builder's and are updated when a caption label is made.
struct CaptionField
{
    QString caption;
    FieldFlags flags;
    WIDGET_INFO &widgets;
    int &position;
    QString name;
    QVariant options;
    // The caption's ";"-parts, one per place in order.
    QStringList captionParts;
};

// Gives each place its caption part in order: push buttons, check boxes and labels show it
// (bold buttons and check boxes with kBoldGroupTitle). A first place without widget gets a
// new label with the caption, registered as the field's widget 0 (unless the caption is
// empty or kNoBoldCaption asks for none; the next place then takes the part instead).
void applyCaptions(const QList<CaptionPair> &pairs, CaptionField &field);

} // namespace kivra
