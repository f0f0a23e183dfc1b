#include "WidgetCreation_p.h"

#include <kivra/Callbacks.h>
#include <kivra/FieldFlags.h>
#include <kivra/IniStore.h>
#include <kivra/ListData.h>
#include <kivra/Options.h>
#include <kivra/Placement.h>
#include <kivra/Registry.h>
#include <kivra/Sizing.h>
#include <kivra/ValueExchange.h>
#include <kivra/helper/FocusWheelComboBox.h>
#include <kivra/helper/ImageWidget.h>
#include <kivra/helper/Validator.h>

#include "FieldPreparation_p.h"
#include "FormBuild_p.h"
#include "IniStore_p.h"
#include "ObjectValue_p.h"
#include "SignalWiring_p.h"
#include "TypeCodes_p.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDateTimeEdit>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <QSpacerItem>
#include <QTextEdit>

namespace kivra {

namespace {

constexpr int kCheckBoxRowAlignment = Qt::AlignLeft | Qt::AlignTop;

bool has(const Field &field, const FieldFlags &mask)
{
    return hasFlags(field.record.flags, mask);
}

void setDefaultButton(QPushButton *button, bool on)
{
    button->setAutoDefault(on);
    button->setDefault(on);
}

// Adds a stretch to the top layout: to a box layout as a stretch item, to a grid as the stretch
// of its last used column.
void addStretchToTop(FormBuild &build, int stretch)
{
    if (build.layouts.isEmpty())
        return;
    LayoutStackEntry &top = build.layouts.last();
    if (auto *box = qobject_cast<QBoxLayout *>(top.layout.data())) {
        box->addStretch(stretch);
    } else if (auto *grid = qobject_cast<QGridLayout *>(top.layout.data());
               grid && grid->columnCount() >= 1) {
        const int column = top.column < 1 ? grid->columnCount() - 1 : top.column - 1;
        grid->setColumnStretch(column, stretch);
    }
}

} // namespace

void registerFieldWidget(FormBuild &build, Field &field, QWidget *widget, int kind,
                         Enrolment enrolment, std::optional<int> subKind)
{
    const bool plain = enrolment == Enrolment::Plain;
    registerWidget(field.widgets, widget, kind, subKind.value_or(int(field.record.type)),
                   build.position++, field.registrationName,
                   plain ? FieldFlags() : field.record.flags,
                   plain ? QVariant() : QVariant(field.options),
                   enrolment == Enrolment::Value ? &build.initialNotifications : nullptr);
}

void openLayout(FormBuild &build, Field &field)
{
    const quint32 type = field.record.type;
    QLayout *layout = createLayout(int(type));
    // A spanning row must span the grid it is placed in.
    build.span = field.span;
    placeLayout(build.layouts, layout, field.column, build.span, false, false,
                Qt::Alignment(typeAlign(field.options, int(type)).value_or(0)),
                field.layoutStretch);
    if (field.caption.isEmpty() && !has(field, kGroupWithoutCaption))
        return;

    auto *box = new QGroupBox(field.caption);
    if (field.bold || has(field, kBoldGroupTitle))
        appendStyleSheet(box, QStringLiteral("QGroupBox { font-weight: bold; }"));
    layout->addWidget(box);
    QLayout *inner = createLayoutLike(layout);
    box->setLayout(inner);
    build.layouts.append({inner, 0, 0});
    build.groupInnerLayouts.append(inner);

    if (field.record.name.isEmpty() || !build.vars)
        return;
    box->setCheckable(true);
    box->setChecked(field.start.toBool());
    if (has(field, kHideUnchecked) && !box->isChecked())
        build.collapsedGroups.append(inner);
    connectGroupBox(build, field, box, inner);
}

void closeLayout(FormBuild &build, Field &)
{
    if (build.layouts.isEmpty())
        return;
    const QPointer<QLayout> top = build.layouts.takeLast().layout;
    if (top && build.groupInnerLayouts.contains(top) && !build.layouts.isEmpty())
        build.layouts.removeLast();
}

void nextGridRow(FormBuild &build, Field &)
{
    if (!topIsGrid(build.layouts))
        return;
    LayoutStackEntry &top = build.layouts.last();
    ++top.row;
    top.column = 0;
}

void createLabel(FormBuild &build, Field &field)
{
    auto *label = new QLabel(field.displayCaption);
    label->setWordWrap(has(field, kWordWrap));
    registerFieldWidget(build, field, label, kLabel, Enrolment::Part);
}

void createImage(FormBuild &build, Field &field)
{
    auto *image = new helper::ImageWidget;
    image->setImage(field.start, field.record.flags);
    image->show();
    field.captionPairs.append(CaptionPair {nullptr, {}});
    registerFieldWidget(build, field, image, kImage, Enrolment::Part);
}

void createCallerWidget(FormBuild &build, Field &field)
{
    QWidget *widget = objectFromValue<QWidget>(field.record.value);
    if (!widget)
        return;
    field.captionPairs.append(CaptionPair {nullptr, {}});
    registerFieldWidget(build, field, widget, kCallerWidget, Enrolment::Part);
}

void createSettingSelector(FormBuild &build, Field &field)
{
    auto *box = new QGroupBox;
    auto *row = new QHBoxLayout(box);
    QComboBox *combo = has(field, kFocusWheel) ? new helper::FocusWheelComboBox : new QComboBox;
    auto *label = new QLabel;
    auto *plus = new QPushButton(QStringLiteral("+"));
    auto *minus = new QPushButton(QStringLiteral("-"));
    row->addWidget(label);
    row->addWidget(combo, 1);
    row->addWidget(plus);
    row->addWidget(minus);

    const IniFormOptions ini = IniFormOptions::fromWindow(build.windowRecord);
    if (Option::iniusemulticonf(build.windowOptions) && ini.isOn()) {
        QStringList names;
        QString current;
        listIniConfigurations(ini.file, ini.group, &names, &current, false);
        if (current.isEmpty())
            current = ini.summaryName;
        if (!names.contains(current))
            names.append(current);
        const QSignalBlocker blocker(combo);
        for (const QString &name : std::as_const(names))
            combo->addItem(name, name);
        combo->setCurrentIndex(combo->findData(current));
    }

    field.captionPairs = {{label, QObject::tr("Einstellungen:")},
                          {plus, QStringLiteral("+")},
                          {minus, QStringLiteral("-")}};
    registerFieldWidget(build, field, box, kSettingSelector, Enrolment::Part);
    connectSettingSelector(build, field, combo, plus, minus);
}

void createLineEdit(FormBuild &build, Field &field)
{
    const int type = int(field.record.type);
    auto *edit = new QLineEdit(field.start.toString());
    if (has(field, kAdjustToContents) && !edit->text().isEmpty())
        edit->setMinimumWidth(lineEditWidthFor(edit, edit->text()));
    edit->setReadOnly(has(field, kReadOnly));
    if (has(field, kPasswordEcho))
        edit->setEchoMode(QLineEdit::Password);
    else if (has(field, kPasswordEchoOnEdit))
        edit->setEchoMode(QLineEdit::PasswordEchoOnEdit);
    if (const QVariant max = Option::max(field.options); max.isValid())
        edit->setMaxLength(variantToInt(max));
    registerFieldWidget(build, field, edit, kLineEdit, Enrolment::Value);
    field.captionPairs.append(CaptionPair {nullptr, {}});

    if (const QString caption = buttonCaption(type); !caption.isEmpty()) {
        auto *browse = new QPushButton(caption);
        setDefaultButton(browse, has(field, kDefaultButton));
        registerFieldWidget(build, field, browse, kPushButton, Enrolment::Plain);
        field.captionPairs.append(CaptionPair {browse, caption});
        connectBrowseButton(build, field, browse, edit);
    }
    connectValueWidget(build, field, edit);
}

void createPushButton(FormBuild &build, Field &field)
{
    const int type = int(field.record.type);
    auto *button = new QPushButton;
    // Qt makes every push button of a QDialog auto-default, so Enter in any field would
    // press whichever button it picks; only OK and buttons that ask for it take Enter.
    setDefaultButton(button, type == kOkButton || has(field, kDefaultButton));
    if (const QString fixedName = fixedButtonName(type); !fixedName.isEmpty())
        button->setObjectName(fixedName);
    if (buttonAction(type) == ButtonAction::Reject)
        build.hasCancelButton = true;
    registerFieldWidget(build, field, button, kPushButton, Enrolment::Plain);
    field.captionPairs.append(CaptionPair {button, buttonCaption(type)});
    connectPushButton(build, field, button);
}

void createColorButton(FormBuild &build, Field &field)
{
    const QString caption = buttonCaption(kColorButton);
    auto *button = new QPushButton(caption);
    setDefaultButton(button, has(field, kDefaultButton));
    // No colour yet shows no swatch rather than a black one.
    if (const auto color = field.start.value<QColor>(); color.isValid()) {
        QPixmap swatch(16, 16);
        swatch.fill(color);
        button->setIcon(QIcon(swatch));
        button->setIconSize(swatch.size());
    }
    appendStyleSheet(button, QStringLiteral("QPushButton { text-align:left; }"));
    field.captionPairs = {{nullptr, {}}, {button, caption}};
    registerFieldWidget(build, field, button, kPushButton, Enrolment::Plain);
    connectColorButton(build, field, button);
}

void createFontButton(FormBuild &build, Field &field)
{
    const auto font = field.start.value<QFont>();
    const QString text = QStringLiteral("%1, %2pt").arg(font.family()).arg(font.pointSize());
    auto *button = new QPushButton(text);
    setDefaultButton(button, has(field, kDefaultButton));
    button->setFont(font);
    field.captionPairs = {{nullptr, {}}, {button, text}};
    registerFieldWidget(build, field, button, kPushButton, Enrolment::Plain);
    connectFontButton(build, field, button);
}

void createTextEdit(FormBuild &build, Field &field)
{
    auto *edit = new QTextEdit;
    const bool rich = has(field, kRichText);
    // The value is read back as HTML exactly when rich text is accepted.
    edit->setAcceptRichText(rich);
    if (rich)
        edit->setHtml(field.start.toString());
    else
        edit->setPlainText(field.start.toString());
    edit->setReadOnly(has(field, kReadOnly));
    setHeightForLines(edit, field.lines);
    field.captionPairs.append(CaptionPair {nullptr, {}});
    registerFieldWidget(build, field, edit, kTextEdit, Enrolment::Value);
    connectValueWidget(build, field, edit);
}

void createPlainTextEdit(FormBuild &build, Field &field)
{
    auto *edit = new QPlainTextEdit(field.start.toString());
    edit->setReadOnly(has(field, kReadOnly));
    setHeightForLines(edit, field.lines);
    field.captionPairs.append(CaptionPair {nullptr, {}});
    registerFieldWidget(build, field, edit, kPlainTextEdit, Enrolment::Value);
    connectValueWidget(build, field, edit);
}

void createCheckBox(FormBuild &build, Field &field)
{
    auto *box = new QCheckBox;
    box->setChecked(field.start.toBool());
    if (has(field, kReadOnly))
        box->setEnabled(false);
    if (has(field, kCheckBoxOwnRow) && topIsGrid(build.layouts)) {
        field.captionPairs.append(CaptionPair {nullptr, {}});
    } else {
        field.captionPairs.append(CaptionPair {box, {}});
        if (has(field, kCheckBoxOwnRow)) {
            box->setLayoutDirection(Qt::RightToLeft);
            field.checkBoxOwnRow = true;
        }
    }
    registerFieldWidget(build, field, box, kCheckBox, Enrolment::Value);
    connectValueWidget(build, field, box);
}

void createListWidget(FormBuild &build, Field &field)
{
    auto *list = new QListWidget;
    if (has(field, kReadOnly))
        list->setEnabled(false);
    ListDataBinding items(field.start);
    if (items.isBound())
        fillListWidget(*items.data(), list, has(field, kAdjustToContents), has(field, kCheckList),
                       has(field, kMultiSelect), has(field, kSortItems));
    field.captionPairs.append(CaptionPair {nullptr, {}});
    registerFieldWidget(build, field, list, kListWidget, Enrolment::Value);
    connectValueWidget(build, field, list);
}

void createComboBox(FormBuild &build, Field &field)
{
    QComboBox *combo = has(field, kFocusWheel) ? new helper::FocusWheelComboBox : new QComboBox;
    if (has(field, kReadOnly))
        combo->setEnabled(false);
    combo->setFocusPolicy(Qt::StrongFocus);
    ListDataBinding items(field.start);
    if (items.isBound())
        fillComboBox(*items.data(), combo, kComboNeverSignal, has(field, kAdjustToContents),
                     has(field, kSortItems));
    field.captionPairs.append(CaptionPair {nullptr, {}});
    registerFieldWidget(build, field, combo, kComboBox, Enrolment::Value);
    connectValueWidget(build, field, combo);
}

void createDateEdit(FormBuild &build, Field &field)
{
    auto *edit = new QDateEdit;
    if (!Option::spinbox(field.options) && !has(field, kDateSpinButtons))
        edit->setButtonSymbols(QAbstractSpinBox::NoButtons);
    edit->setReadOnly(has(field, kReadOnly));
    if (const QVariant min = Option::min(field.options); min.isValid())
        edit->setMinimumDate(min.toDate());
    if (const QVariant max = Option::max(field.options); max.isValid())
        edit->setMaximumDate(max.toDate());
    switch (field.start.metaType().id()) {
    case QMetaType::QDate:
    case QMetaType::QDateTime:
    case QMetaType::QString:
        edit->setDate(field.start.toDate());
        break;
    default:
        break;
    }
    field.captionPairs.append(CaptionPair {nullptr, {}});
    registerFieldWidget(build, field, edit, kDateEdit, Enrolment::Value);
    connectValueWidget(build, field, edit);
}

void createDateTimeEdit(FormBuild &build, Field &field)
{
    auto *edit = new QDateTimeEdit;
    edit->setReadOnly(has(field, kReadOnly));
    if (const QVariant min = Option::min(field.options); min.isValid()) {
        if (min.metaType().id() == QMetaType::QDate)
            edit->setMinimumDate(min.toDate());
        else
            edit->setMinimumDateTime(min.toDateTime());
    }
    if (const QVariant max = Option::max(field.options); max.isValid()) {
        if (max.metaType().id() == QMetaType::QDate)
            edit->setMaximumDate(max.toDate());
        else
            edit->setMaximumDateTime(max.toDateTime());
    }
    switch (field.start.metaType().id()) {
    case QMetaType::QDate:
        edit->setDate(field.start.toDate());
        break;
    case QMetaType::QTime:
        edit->setDateTime(QDateTime(QDate::currentDate(), field.start.toTime()));
        break;
    case QMetaType::QDateTime:
    case QMetaType::QString:
        edit->setDateTime(field.start.toDateTime());
        break;
    default:
        break;
    }
    field.captionPairs.append(CaptionPair {nullptr, {}});
    registerFieldWidget(build, field, edit, kDateTimeEdit, Enrolment::Value);
    connectValueWidget(build, field, edit);
}

void createLine(FormBuild &build, Field &field)
{
    const int size = field.start.toInt();
    QFrame *line = field.record.type == kVLine ? createVLine(size) : createHLine(size);
    registerFieldWidget(build, field, line, int(field.record.type), Enrolment::Plain);
}

void addSpacer(FormBuild &build, Field &field)
{
    const int type = int(field.record.type);
    const auto policy = [](const QVariant &option) {
        return option.isValid() ? QSizePolicy::Policy(option.toInt()) : QSizePolicy::Minimum;
    };
    const int size = field.start.toInt();
    const bool horizontal = type == kHSpacer;
    if (QLayout *top = build.layouts.last().layout)
        top->addItem(new QSpacerItem(horizontal ? size : 0, horizontal ? 0 : size,
                                     policy(Option::sizepolicyh(field.options, type)),
                                     policy(Option::sizepolicyv(field.options, type))));
}

void addStretch(FormBuild &build, Field &field)
{
    addStretchToTop(build, field.start.toInt());
}

namespace {

void placeCaptions(FormBuild &build, Field &field)
{
    if (field.captionPairs.isEmpty())
        return;
    CaptionField captions {field.displayCaption, field.record.flags,     field.widgets,
                           build.position,       field.registrationName, field.options,
                           field.captionParts};
    applyCaptions(field.captionPairs, captions);
}

void adjustWidgets(const Field &field)
{
    const WIDGET_INFO &widgets = field.widgets;
    if (widgets.size() >= 2)
        if (auto *label = qobject_cast<QLabel *>(widgets.first().data()))
            label->setBuddy(widgets.at(1));

    const QString pattern = Option::regexPattern(field.options);
    for (int i = 0; i < widgets.size(); ++i) {
        QWidget *widget = widgets.at(i);
        if (!widget)
            continue;
        if (auto *edit = qobject_cast<QLineEdit *>(widget);
            edit && !pattern.isEmpty() && !Option::regexPatternWildcard(field.options)) {
            const QRegularExpression expression(
                pattern,
                QRegularExpression::PatternOptions(Option::regexPatternOptions(field.options)));
            edit->setValidator(new QRegularExpressionValidator(expression, edit));
        }
        // Spin boxes took the locale with their inner editor already.
        if (field.locale && widgetSubKind(widget) != kNumberSpinBox)
            widget->setLocale(*field.locale);
        applySizeOptions(widget, i, field.options);
        if (has(field, kHideMainWidget) && widgetSubKind(widget) == int(field.record.type))
            widget->setVisible(false);
    }
}

// The column span of widget index: a spanning field spans with its last widget, and a
// labelled field with its editor.
int spanOf(const Field &field, int index)
{
    const int span = field.span;
    const int count = field.widgets.size();
    if (span == 0 || span == 1)
        return span;
    if (span < 0)
        return index == count - 1 ? -1 : 0;
    const bool labelled = count > 1 && qobject_cast<QLabel *>(field.widgets.first().data());
    return labelled && index != 1 ? 0 : span;
}

bool topIsVBox(const FormBuild &build)
{
    return !build.layouts.isEmpty() &&
        qobject_cast<QVBoxLayout *>(build.layouts.last().layout.data());
}

void installCallbackValidator(const FormBuild &build, const Field &field, QLineEdit *edit)
{
    if (edit->validator() || field.record.name.isEmpty() || !has(field, kValidateCallback))
        return;
    if (!hasCallback(field.record.callback) && !hasCallback(build.windowRecord.callback))
        return;
    // The validator becomes the line edit's child; setValidator does not take it over.
    edit->setValidator(
        new helper::Validator(build.window, edit, build.windowRecord, field.record, build.vars));
}

void placeWidgets(FormBuild &build, Field &field)
{
    const WIDGET_INFO &widgets = field.widgets;
    const bool checkBoxRow = widgets.size() == 1 && field.checkBoxOwnRow;
    const bool openRow = (widgets.size() >= 2 || checkBoxRow) && topIsVBox(build);
    if (openRow) {
        auto *row = new QHBoxLayout;
        row->setContentsMargins(0, 0, 0, 0);
        const int alignment =
            checkBoxRow ? typeAlign(field.options, kCheckBox).value_or(kCheckBoxRowAlignment) : 0;
        placeLayout(build.layouts, row, field.column, build.span, false, false,
                    Qt::Alignment(alignment), 0);
    }

    for (int i = 0; i < widgets.size(); ++i) {
        QWidget *widget = widgets.at(i);
        if (!widget)
            continue;
        if (qobject_cast<QLabel *>(widget) && field.captionAlign) {
            field.options.insert(perTypeKey(OptionKey::typealign, kLabel), field.captionAlign);
            field.options.insert(perTypeKey(OptionKey::indexalign, i), field.captionAlign);
        }
        if (auto *edit = qobject_cast<QLineEdit *>(widget))
            installCallbackValidator(build, field, edit);
        if (field.unplaced.contains(widget))
            continue;
        build.span = spanOf(field, i);
        placeWidget(build.layouts, i, widgets, field.column, build.span,
                    stretchFor(widget, i, &field.options),
                    Qt::Alignment(alignmentFor(widget, i, field.options, build.defaultAlign,
                                               &build.typeAlignments)));
    }

    if (openRow && !build.layouts.isEmpty())
        build.layouts.removeLast();
}

void registerField(FormBuild &build, const Field &field)
{
    if (!field.registrationName.isEmpty() && build.vars)
        build.vars->insert(widgetDataKey(field.registrationName),
                           QVariant::fromValue(field.widgets));
    build.fieldWidgets.append(field.widgets);
}

} // namespace

bool isDroppedByTabContext(const FormBuild &build, quint32 type)
{
    if (type == kTabPage)
        return !build.hasOpenTab();
    if (build.hasOpenTab() && build.tabs.last().pageCount == 0)
        return type != kEndLayout && type != kEndTabPages;
    return false;
}

void buildField(FormBuild &build, const INFO &record, const QVariant &startValue)
{
    Field field = prepareField(build, record, startValue);
    field.registrationName =
        record.name.isEmpty() ? fixedButtonName(int(record.type)) : record.name;

    if (const TypeCode *code = typeCodeOf(record.type); code && code->create)
        code->create(build, field);
    placeCaptions(build, field);

    adjustWidgets(field);
    placeWidgets(build, field);
    if (field.trailingStretch)
        addStretchToTop(build, *field.trailingStretch);
    registerField(build, field);
}

} // namespace kivra
