#include "FieldPreparation_p.h"

#include <kivra/FieldFlags.h>
#include <kivra/ListData.h>
#include <kivra/Options.h>
#include <kivra/Registry.h>

#include "FormBuild_p.h"
#include "TypeCodes_p.h"

#include <QLabel>
#include <QSizePolicy>
#include <QTextDocumentFragment>

namespace kivra {

namespace {

// Alignment of one group of ten bits; every set bit adds its alignment.
int alignmentOfGroup(const FieldFlags &flags, int firstBit)
{
    static constexpr int alignments[] = {
        Qt::AlignLeft,    Qt::AlignRight,
        Qt::AlignHCenter, Qt::AlignJustify,
        Qt::AlignTop,     Qt::AlignBottom,
        Qt::AlignVCenter, Qt::AlignBaseline,
        Qt::AlignCenter,  Qt::AlignLeft | Qt::AlignTop,
    };
    int result = 0;
    for (int i = 0; i < 10; ++i)
        if (flags.testBit(firstBit + i))
            result |= alignments[i];
    return result;
}

QString toPlainText(const QString &html)
{
    return QTextDocumentFragment::fromHtml(html).toPlainText();
}

// The caption's text of the widget the field before this one registered last, when that is a
// label: an uncaptioned field takes it as its name in messages.
QString previousLabelText(const FormBuild &build)
{
    if (build.fieldWidgets.isEmpty() || build.fieldWidgets.last().isEmpty())
        return {};
    const auto *label = qobject_cast<QLabel *>(build.fieldWidgets.last().last().data());
    return label ? label->text() : QString();
}

void applyAlignmentFlags(Field &field)
{
    const quint32 type = field.record.type;
    const FieldFlags &flags = field.record.flags;
    if (const int align = alignmentOfGroup(flags, kAlignGroupFirst.lowestSetBit())) {
        if (typeCodeHas(type, TypeCode::kLayout)) {
            field.options.insert(perTypeKey(OptionKey::typealign, type), align);
        } else {
            for (int index = 0; index < 3; ++index)
                field.options.insert(perTypeKey(OptionKey::indexalign, index), align);
        }
    }
    field.captionAlign = alignmentOfGroup(flags, kCaptionAlignGroupFirst.lowestSetBit());
    if (field.captionAlign)
        field.options.insert(perTypeKey(OptionKey::typealign, kLabel), field.captionAlign);
}

void applySizePolicyFlags(Field &field)
{
    const quint32 type = field.record.type;
    const FieldFlags &flags = field.record.flags;
    const QString horizontal = perTypeKey(OptionKey::sizepolicyh, type);
    const QString vertical = perTypeKey(OptionKey::sizepolicyv, type);
    if (hasFlags(flags, kExpandingH))
        field.options.insert(horizontal, int(QSizePolicy::Expanding));
    if (hasFlags(flags, kExpandingV))
        field.options.insert(vertical, int(QSizePolicy::Expanding));
    if (hasFlags(flags, kMinimumExpandingH))
        field.options.insert(horizontal, int(QSizePolicy::MinimumExpanding));
    if (hasFlags(flags, kMinimumExpandingV))
        field.options.insert(vertical, int(QSizePolicy::MinimumExpanding));
}

// 1 + the group's value, or fallback when no bit of the group is set.
int oneBased(const FieldFlags &flags, const FieldFlags &first, const FieldFlags &last, int fallback)
{
    const int value = selectorValue(flags, first, last);
    return value < 0 ? fallback : value + 1;
}

void readPlacementFlags(Field &field)
{
    const FieldFlags &flags = field.record.flags;
    field.column = oneBased(flags, kColumnGroupFirst, kColumnGroupLast, -1);
    field.span =
        hasFlags(flags, kSpanRestOfRow) ? -1 : oneBased(flags, kSpanGroupFirst, kSpanGroupLast, 0);
    field.lines = oneBased(flags, kLinesGroupFirst, kLinesGroupLast, -1);
    const int stretch = selectorValue(flags, kLayoutStretchGroupFirst, kLayoutStretchGroupLast);
    if (stretch >= 0) {
        field.layoutStretch = stretch;
        field.options.insert(perTypeKey(OptionKey::stretch, field.record.type), stretch);
    }
    const int trailing =
        selectorValue(flags, kTrailingStretchGroupFirst, kTrailingStretchGroupLast);
    if (trailing >= 0)
        field.trailingStretch = trailing;
}

} // namespace

Field prepareField(const FormBuild &build, const INFO &record, const QVariant &start)
{
    Field field;
    field.record = record;
    field.start = isVariantPtr(start) ? plainValue(start) : start;
    const quint32 type = record.type;
    const FieldFlags &flags = record.flags;

    QString caption;
    if (record.options.metaType().id() == QMetaType::QVariantMap) {
        field.options = record.options.toMap();
        caption = Option::title(field.options);
    } else {
        caption = record.options.toString();
        field.options.insert(OptionKey::title, caption);
    }

    if (hasFlags(flags, kRequired))
        field.options.insert(OptionKey::required, true);
    if (hasFlags(flags, kFileMustExist))
        field.options.insert(OptionKey::fileMustExist, true);
    if (hasFlags(flags, kAutocorrectMinMax))
        field.options.insert(OptionKey::autocorrectMinmax, true);

    applyAlignmentFlags(field);

    const QVariant ownLocale = Option::locale(field.options);
    if (ownLocale.canConvert<QLocale>() && ownLocale.isValid())
        field.locale = ownLocale.value<QLocale>();
    else if (build.windowOptions.contains(OptionKey::locale))
        field.locale = Option::locale(build.windowOptions).value<QLocale>();

    applySizePolicyFlags(field);

    QVariantMap inline_;
    if (parseInlineOptions(inlineOptionDelimiters(), caption, inline_))
        for (auto it = inline_.cbegin(); it != inline_.cend(); ++it)
            field.options.insert(it.key(), it.value());

    field.captionParts = captionParts(caption, flags);
    if (field.captionParts.size() > 1)
        caption = field.captionParts.first();
    field.caption = caption;

    field.bold = ((build.formFlags & kBoldCaptions) != 0) != hasFlags(flags, kToggleBoldCaption);
    QString shown = caption;
    if (field.bold && !hasFlags(flags, kNoBoldCaption) && !shown.isEmpty() &&
        !shown.contains(QLatin1String("<b>")) && !shown.contains(QLatin1String("<strong>")))
        shown = QLatin1String("<b>") + shown + QLatin1String("</b>");

    QString plainTitle = toPlainText(shown);
    if (shown.isEmpty() && !typeCodeHas(type, TypeCode::kLayout) && type != kLabel)
        plainTitle = toPlainText(previousLabelText(build));
    field.options.insert(OptionKey::plaintitle, plainTitle);

    field.displayCaption = markRequiredCaption(shown, flags);
    readPlacementFlags(field);
    return field;
}

} // namespace kivra
