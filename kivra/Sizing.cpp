#include "Sizing.h"

#include <kivra/Options.h>
#include <kivra/Records.h>
#include <kivra/Registry.h>

#include <QFontMetrics>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSizePolicy>
#include <QStyle>
#include <QTextDocument>
#include <QTextEdit>

namespace kivra {

namespace {

void setHorizontalPolicy(QWidget *widget, int value)
{
    QSizePolicy policy = widget->sizePolicy();
    policy.setHorizontalPolicy(QSizePolicy::Policy(value));
    widget->setSizePolicy(policy);
}

void setVerticalPolicy(QWidget *widget, int value)
{
    QSizePolicy policy = widget->sizePolicy();
    policy.setVerticalPolicy(QSizePolicy::Policy(value));
    widget->setSizePolicy(policy);
}

struct SizeWord
{
    QLatin1String word;
    void (*apply)(QWidget *widget, int value);
};

// In the order they are applied.
const SizeWord sizeWords[] = {
    {OptionKey::minwidth,
     [](QWidget *w, int v) {
         w->setMinimumWidth(v);
     }},
    {OptionKey::maxwidth,
     [](QWidget *w, int v) {
         w->setMaximumWidth(v);
     }},
    {OptionKey::minheight,
     [](QWidget *w, int v) {
         w->setMinimumHeight(v);
     }},
    {OptionKey::maxheight,
     [](QWidget *w, int v) {
         w->setMaximumHeight(v);
     }},
    {OptionKey::sizepolicyh, setHorizontalPolicy},
    {OptionKey::sizepolicyv, setVerticalPolicy},
    {OptionKey::fixedwidth,
     [](QWidget *w, int v) {
         w->setFixedWidth(v);
     }},
    {OptionKey::fixedheight,
     [](QWidget *w, int v) {
         w->setFixedHeight(v);
     }},
};

constexpr int kHorizontalMask =
    Qt::AlignLeft | Qt::AlignRight | Qt::AlignHCenter | Qt::AlignJustify;
constexpr int kVerticalMask = Qt::AlignTop | Qt::AlignBottom | Qt::AlignVCenter | Qt::AlignBaseline;

std::optional<int> intOption(const QVariantMap &options, const QString &key)
{
    const QVariant value = options.value(key);
    if (!value.isValid())
        return std::nullopt;
    return value.toInt();
}

std::optional<int> typeDefault(const TypeAlignments *typeDefaults, int code)
{
    if (!typeDefaults || !typeDefaults->contains(code))
        return std::nullopt;
    return int(typeDefaults->value(code));
}

int verticalMargins(const QWidget *widget)
{
    const QMargins margins = widget->contentsMargins();
    return margins.top() + margins.bottom();
}

} // namespace

void applySizeOptions(QWidget *widget, int index, const QMap<QString, QVariant> &options)
{
    if (!widget)
        return;
    for (const int number : {widgetKind(widget), widgetSubKind(widget), index})
        for (const SizeWord &size : sizeWords) {
            const QVariant value = options.value(perTypeKey(size.word, number));
            if (value.isValid())
                size.apply(widget, value.toInt());
        }
}

int stretchFor(const QPointer<QWidget> &widget, int index, const QMap<QString, QVariant> *options)
{
    if (!widget || !options)
        return 0;
    for (const int number : {widgetKind(widget), widgetSubKind(widget), index}) {
        const QVariant value = options->value(perTypeKey(OptionKey::stretch, number));
        if (value.isValid())
            return value.toInt();
    }
    return 0;
}

std::optional<int> indexAlign(const QVariantMap &options, int index)
{
    return intOption(options, perTypeKey(OptionKey::indexalign, index));
}

std::optional<int> typeAlign(const QVariantMap &options, int code)
{
    return intOption(options, perTypeKey(OptionKey::typealign, code));
}

int alignmentFor(const QWidget *widget, int index, const QVariantMap &options, int defaultAlign,
                 const TypeAlignments *typeDefaults)
{
    const int kind = widgetKind(widget);
    const int subKind = widgetSubKind(widget);
    const std::optional<int> candidates[] = {
        indexAlign(options, index),      typeAlign(options, subKind),
        typeAlign(options, kind),        typeDefault(typeDefaults, subKind),
        typeDefault(typeDefaults, kind),
    };
    int alignment = defaultAlign;
    for (const std::optional<int> &candidate : candidates) {
        if (candidate) {
            alignment = *candidate;
            break;
        }
    }
    if (kind == kHLine || subKind == kHLine)
        return alignment & ~kHorizontalMask;
    if (kind == kVLine || subKind == kVLine)
        return alignment & ~kVerticalMask;
    return alignment;
}

TypeAlignments defaultTypeAlign(const QVariantMap &windowOptions)
{
    const QVariant value = windowOptions.value(OptionKey::defaulttypealign);
    return value.canConvert<TypeAlignments>() ? value.value<TypeAlignments>() : TypeAlignments();
}

int lineEditWidthFor(const QLineEdit *edit, const QString &text)
{
    if (!edit)
        return 0;
    const QMargins textMargins = edit->textMargins();
    const QMargins contents = edit->contentsMargins();
    int width = QFontMetrics(edit->font()).size(Qt::TextSingleLine, text).width() +
        textMargins.left() + textMargins.right() + contents.left() + contents.right() + 4;
    if (edit->hasFrame())
        width += 2 * edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
    return width;
}

void setHeightForLines(QWidget *widget, int lines)
{
    if (lines <= 0)
        return;
    if (auto *textEdit = qobject_cast<QTextEdit *>(widget)) {
        const QTextDocument *document = textEdit->document();
        const double height = QFontMetrics(document->defaultFont()).lineSpacing() * lines +
            2 * (document->documentMargin() + textEdit->frameWidth()) + verticalMargins(textEdit);
        textEdit->setFixedHeight(int(height));
    } else if (auto *plainEdit = qobject_cast<QPlainTextEdit *>(widget)) {
        const QTextDocument *document = plainEdit->document();
        const int margin = document ? int(document->documentMargin()) : 4;
        plainEdit->setFixedHeight(QFontMetrics(plainEdit->font()).lineSpacing() * lines +
                                  2 * plainEdit->frameWidth() + 2 * margin +
                                  verticalMargins(plainEdit));
    }
}

} // namespace kivra
