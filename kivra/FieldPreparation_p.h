#pragma once

#include <kivra/Placement.h>
#include <kivra/Records.h>

#include <QList>
#include <QLocale>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>
#include <QWidget>

#include <optional>

namespace kivra {

struct FormBuild;

// One field while it is being built: its options and captions as the flags and the caption's
// inline options make them, its start value, where it goes, and the widgets made for it.
struct Field
{
    // Named as the start-value rules named it.
    INFO record;
    QVariantMap options;
    // The first ";"-part of the caption, without bold or required marker: the title of a
    // group box or a tab.
    QString caption;
    // What a caption label shows: bold and with the required marker where asked for.
    QString displayCaption;
    QStringList captionParts;
    // What the widgets start from, as the start-value rules gave it, a bound variable followed
    // to the variable (list data stays in the caller's list). The codes that show an object
    // take it from the record's own value instead.
    QVariant start;
    std::optional<QLocale> locale;
    // Captions of this field are bold.
    bool bold = false;

    // Grid column to start at (-1: the next free one).
    int column = -1;
    // Column span: 0 or 1 one column, -1 the rest of the row, more that many columns.
    int span = 0;
    // Text lines of a text edit (-1: no fixed height).
    int lines = -1;
    // Layout stretch of a layout field.
    int layoutStretch = 0;
    // Stretch added to the top layout after the field.
    std::optional<int> trailingStretch;
    // Alignment of the field's caption labels (0: none).
    int captionAlign = 0;

    WIDGET_INFO widgets;
    QList<CaptionPair> captionPairs;
    // A check box in a vertical layout asking for a row of its own.
    bool checkBoxOwnRow = false;
    // Widgets that already sit where they belong (a tab page, the main window's status bar).
    QList<QPointer<QWidget>> unplaced;
    // The name the widget list is registered under: the field's name, or the object name of an
    // unnamed fixed button.
    QString registrationName;
};

// Prepares a field for creation: its option map from the record, the flags and the caption's
// inline options, its captions, locale and placement values.
Field prepareField(const FormBuild &build, const INFO &record, const QVariant &start);

} // namespace kivra
