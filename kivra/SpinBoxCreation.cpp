#include "WidgetCreation_p.h"

#include <kivra/FieldFlags.h>
#include <kivra/ListData.h>
#include <kivra/Options.h>
#include <kivra/Registry.h>
#include <kivra/ValueExchange.h>
#include <kivra/helper/DynamicWidgetEventFilter.h>

#include "FieldPreparation_p.h"
#include "FormBuild_p.h"
#include "NumberKind_p.h"
#include "SignalWiring_p.h"

#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QSpinBox>

namespace kivra {

namespace {

// The type of the numbers the box shows: the option "metatype", else the type of the field's
// own value (a bound variable followed), else of its start value.
int numberTypeOf(const Field &field)
{
    const QVariant metatype = Option::metatype(field.options);
    if (metatype.isValid())
        return metatype.toInt();
    const QVariant own =
        isVariantPtr(field.record.value) ? plainValue(field.record.value) : field.record.value;
    return own.isValid() ? own.metaType().id() : field.start.metaType().id();
}

QSpinBox *createIntegerBox(const NumberKind &kind, const Field &field)
{
    auto *box = new QSpinBox;
    const IntegerRange range = integerRange(kind, field.options);
    box->setRange(range.minimum, range.maximum);
    if (const QVariant step = Option::spinboxSinglestep(field.options); step.isValid())
        box->setSingleStep(variantToInt(step));
    if (const QString prefix = Option::prefix(field.options); !prefix.isEmpty())
        box->setPrefix(prefix);
    if (const QString suffix = Option::suffix(field.options); !suffix.isEmpty())
        box->setSuffix(suffix);
    box->setEnabled(false);
    box->setValue(saturatedInt(field.start));
    box->setEnabled(true);
    return box;
}

QDoubleSpinBox *createFloatingBox(const NumberKind &kind, const Field &field)
{
    auto *box = new QDoubleSpinBox;
    // Decimals first: the range and the value are rounded to them.
    box->setDecimals(Option::precision(field.options));
    const FloatingRange range = floatingRange(kind, field.options);
    box->setRange(range.minimum, range.maximum);
    if (const QVariant step = Option::spinboxSinglestep(field.options); step.isValid())
        box->setSingleStep(step.toDouble());
    if (const QString prefix = Option::prefix(field.options); !prefix.isEmpty())
        box->setPrefix(prefix);
    if (const QString suffix = Option::suffix(field.options); !suffix.isEmpty())
        box->setSuffix(suffix);
    box->setEnabled(false);
    box->setValue(field.start.toDouble());
    box->setEnabled(true);
    return box;
}

} // namespace

void createSpinBox(FormBuild &build, Field &field)
{
    const FieldFlags &flags = field.record.flags;
    const NumberKind kind =
        numberKindOf(numberTypeOf(field), Option::signedDatatype(field.options));
    QAbstractSpinBox *box = kind.integer
        ? static_cast<QAbstractSpinBox *>(createIntegerBox(kind, field))
        : createFloatingBox(kind, field);

    if (build.formFlags & kWheelNeedsFocus)
        helper::DynamicWidgetEventFilter::installOn(box);
    QLineEdit *editor = box->findChild<QLineEdit *>();
    if (field.locale) {
        box->setLocale(*field.locale);
        if (editor)
            editor->setLocale(*field.locale);
    }
    box->setReadOnly(hasFlags(flags, kReadOnly));
    box->setGroupSeparatorShown(!kind.isBool && Option::groupsep(field.options));
    if (hasFlags(flags, kSpinTextReadOnly) && editor)
        editor->setReadOnly(true);
    if (!Option::spinbox(field.options) && !hasFlags(flags, kDateSpinButtons))
        box->setButtonSymbols(QAbstractSpinBox::NoButtons);

    field.captionPairs.append(CaptionPair {nullptr, {}});
    registerFieldWidget(build, field, box, kNumberSpinBox, Enrolment::Value);
    connectValueWidget(build, field, box);
}

} // namespace kivra
