#include "SizeOptions.h"

#include <kivra/Options.h>
#include <kivra/Registry.h>

#include <QSizePolicy>

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

} // namespace kivra
