#include "ApplyCaptions.h"

#include "AppendStyleSheet.h"
#include <kivra/Records.h>
#include <kivra/Registry.h>

#include <QCheckBox>
#include <QLabel>
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

} // namespace kivra
