#include "Placement.h"

#include <kivra/Registry.h>

#include "TypeCodes_p.h"

#include <QCheckBox>
#include <QLabel>
#include <QObject>
#include <QPushButton>

namespace kivra {

namespace {

void makeCaptionLabel(CaptionField &field)
{
    auto *label = new QLabel(field.caption);
    label->setWordWrap(hasFlags(field.flags, kWordWrap));
    registerWidget(field.widgets, label, kLabel, kLabel, field.position++, field.name, field.flags,
                   field.options, nullptr);
    // Lookups take widget 0 as a field's caption and widget 1 as its editor.
    field.widgets.move(field.widgets.size() - 1, 0);
}

void showPart(QWidget *target, const QString &part, const FieldFlags &flags)
{
    const bool bold = hasFlags(flags, kBoldGroupTitle);
    if (auto *button = qobject_cast<QPushButton *>(target)) {
        button->setText(part);
        if (bold)
            appendStyleSheet(button, QStringLiteral("QPushButton { font-weight: bold; }"));
    } else if (auto *checkBox = qobject_cast<QCheckBox *>(target)) {
        checkBox->setText(part);
        if (bold)
            appendStyleSheet(checkBox, QStringLiteral("QCheckBox { font-weight: bold; }"));
    } else if (auto *label = qobject_cast<QLabel *>(target)) {
        label->setWordWrap(hasFlags(flags, kWordWrap));
        label->setText(part);
    }
}

} // namespace

const QString &requiredMarkerPrefix()
{
    static const QString prefix;
    return prefix;
}

const QString &requiredMarkerSuffix()
{
    static const QString suffix =
        QStringLiteral("<big><strong style=\"color:red\">*</strong></big>");
    return suffix;
}

QString markRequiredCaption(const QString &caption, const FieldFlags &flags)
{
    if (caption.isEmpty() || !hasFlags(flags, kRequired) || hasFlags(flags, kNoRequiredMarker))
        return caption;
    QString result = caption;
    if (!requiredMarkerPrefix().isEmpty())
        result = requiredMarkerPrefix() + QLatin1Char(' ') + result;
    if (!requiredMarkerSuffix().isEmpty())
        result += QLatin1Char(' ') + requiredMarkerSuffix();
    return result;
}

QStringList captionParts(const QString &caption, const FieldFlags &flags)
{
    if (hasFlags(flags, kNoCaptionSplit))
        return {caption};
    return caption.split(QLatin1Char(';'));
}

QMap<int, QString> buttonCaptions()
{
    QMap<int, QString> captions;
    for (int code = int(kOkButton); code <= int(kHelpButton); ++code)
        if (const QString caption = buttonCaption(code); !caption.isEmpty())
            captions.insert(code, caption);
    return captions;
}

void applyCaptions(const QList<CaptionPair> &pairs, CaptionField &field)
{
    // Every place, filled or not, uses up one pair and one caption part, so that each
    // widget gets its own part (the selector's "+" and "-" buttons their own texts).
    int part = 0;
    for (int i = 0; i < pairs.size(); ++i, ++part) {
        if (!pairs.at(i).target) {
            if (i == 0 && !field.caption.isEmpty() && !hasFlags(field.flags, kNoBoldCaption)) {
                makeCaptionLabel(field);
                continue;
            }
            if (i + 1 >= pairs.size())
                break;
            ++i;
        }
        QString text = field.captionParts.value(part);
        if (text.isEmpty())
            text = pairs.at(i).defaultText;
        showPart(pairs.at(i).target, text, field.flags);
    }
}

void appendStyleSheet(QWidget *widget, const QString &rule)
{
    if (!widget)
        return;
    const QString old = widget->styleSheet();
    widget->setStyleSheet(old.isEmpty() ? rule : old + u' ' + rule);
}

} // namespace kivra
