#include "FormFixture.h"

#include <kivra/Options.h>
#include <kivra/Placement.h>
#include <kivra/Records.h>
#include <kivra/Registry.h>
#include <kivra/Sizing.h>
#include <kivra/ValueExchange.h>
#include <kivra/helper/DynamicWidgetEventFilter.h>
#include <kivra/helper/FlowLayout.h>
#include <kivra/helper/FocusWheelComboBox.h>
#include <kivra/helper/ImageWidget.h>

#include <QApplication>
#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QStackedLayout>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

#include <memory>

using namespace kivra;
using helper::FlowLayout;
using helper::ImageWidget;

namespace {

// Column, row and column span of the grid's item i.
QRect gridCell(QGridLayout *grid, int i)
{
    int row, column, rowSpan, columnSpan;
    grid->getItemPosition(i, &row, &column, &rowSpan, &columnSpan);
    return QRect(column, row, columnSpan, 1);
}

// A single widget list with one widget, for one placement.
WIDGET_INFO one(QWidget *widget)
{
    return WIDGET_INFO {widget};
}

QWidget *fixedWidget(QWidget *parent, int width, int height)
{
    auto *widget = new QWidget(parent);
    widget->setFixedSize(width, height);
    return widget;
}

void turnWheelUp(QWidget *widget)
{
    const QPointF at(5, 5);
    QWheelEvent event(at, widget->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(widget, &event);
}

QImage filledImage(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::red);
    return image;
}

} // namespace

class TestKivraWidgets : public QObject
{
    Q_OBJECT

private slots:
    void layoutStack();
    void layoutsIntoLayouts();
    void layoutLikeModel_data();
    void layoutLikeModel();
    void alignment();
    void captions_data();
    void captions();
    void registrationAndCollection();
    void centredOnScreen();
    void sizeAndStretchKeys();
    void flowLayoutWraps_data();
    void flowLayoutWraps();
    void flowLayoutTakesChildLayout_data();
    void flowLayoutTakesChildLayout();
    void wheelNeedsFocus();
    void imageFitting();
    void imageValues();
    void parentlessImageStaysHidden();
};

void TestKivraWidgets::layoutStack()
{
    QWidget window;
    auto *grid = new QGridLayout(&window);
    LayoutStack stack {{grid, 0, 0}};
    int span = 0;
    for (const int column : {0, 0, 0, 5})
        placeWidget(stack, 0, one(new QLabel), column, span, 0, {});
    QCOMPARE(span, 1);
    span = 2;
    placeWidget(stack, 0, one(new QLabel), 0, span, 0, {});
    placeWidget(stack, 0, one(new QLabel), 0, span, 0, {});
    // A layout with a new row takes the current row; what follows starts the next row.
    placeLayout(stack, new QHBoxLayout, 0, span, true, true, {}, 0);
    QCOMPARE(span, 0);
    placeWidget(stack, 0, one(new QLabel), 0, span, 0, {});
    const QList<QRect> cells = {{0, 0, 1, 1}, {1, 0, 1, 1}, {2, 0, 1, 1}, {5, 0, 1, 1},
                                {6, 0, 2, 1}, {8, 0, 1, 1}, {9, 0, 1, 1}, {0, 1, 1, 1}};
    for (int i = 0; i < cells.size(); ++i)
        QCOMPARE(gridCell(grid, i), cells[i]);

    // Without keepTop the placed layout becomes the top with its own cursor.
    auto *inner = new QGridLayout;
    placeLayout(stack, inner, 0, span, false, false, {}, 0);
    QCOMPARE(stack.size(), 2);
    QVERIFY(topIsGrid(stack));
    QCOMPARE(stack.last().layout.data(), inner);
    QCOMPARE(stack.first().column, 2);

    // A form layout takes a label and its field as one row; a lone widget spans the row.
    auto *form = new QFormLayout;
    placeLayout(stack, form, 0, span, false, false, {}, 0);
    const WIDGET_INFO widgets = {new QLabel("Name"), new QLineEdit, new QCheckBox("Aktiv")};
    for (int i = 0; i < widgets.size(); ++i)
        placeWidget(stack, i, widgets, 0, span, 0, Qt::AlignRight);
    QCOMPARE(form->rowCount(), 2);
    QCOMPARE(form->itemAt(0, QFormLayout::LabelRole)->widget(), widgets[0].data());
    QCOMPARE(form->itemAt(0, QFormLayout::FieldRole)->widget(), widgets[1].data());
    QCOMPARE(form->itemAt(1, QFormLayout::SpanningRole)->widget(), widgets[2].data());
    QCOMPARE(form->labelAlignment(), Qt::AlignRight);
}

void TestKivraWidgets::layoutsIntoLayouts()
{
    QWidget window;
    auto *top = new QVBoxLayout(&window);
    auto *child = new QHBoxLayout;
    auto *grandChild = new QHBoxLayout;
    QVERIFY(addLayoutTo(top, child, 0, 0, 1, 1, Qt::AlignTop, 3));
    QVERIFY(addLayoutTo(child, grandChild, 0, 0, 1, 1, {}, 3));
    QCOMPARE(top->stretch(0), 3);
    QCOMPARE(top->itemAt(0)->alignment(), Qt::AlignTop);
    QCOMPARE(child->stretch(0), 0);

    // Visibility reaches the widgets of a layout and of its direct child layouts only.
    QList<QLabel *> labels;
    for (QBoxLayout *layout : std::initializer_list<QBoxLayout *> {top, child, grandChild}) {
        labels << new QLabel;
        layout->addWidget(labels.last());
    }
    window.show();
    setLayoutWidgetsVisible(top, false);
    QVERIFY(labels[0]->isHidden() && labels[1]->isHidden());
    QVERIFY(!labels[2]->isHidden());
    setLayoutWidgetsVisible(nullptr, false);
}

void TestKivraWidgets::layoutLikeModel_data()
{
    QTest::addColumn<int>("model"); // a layout code; 0: no model, -1: a kind the framework lacks
    QTest::addColumn<int>("like");

    for (const int code : {kVBoxLayout, kHBoxLayout, kGridLayout, kFormLayout, kFlowLayout})
        QTest::addRow("%d", code) << code << code;
    QTest::newRow("no model") << 0 << int(kHBoxLayout);
    QTest::newRow("stacked layout") << -1 << int(kHBoxLayout);
}

void TestKivraWidgets::layoutLikeModel()
{
    QFETCH(int, model);
    QFETCH(int, like);

    // The flow layout has no meta-object of its own; it is told apart by its class.
    const auto kindOf = [](const QLayout *layout) {
        if (dynamic_cast<const FlowLayout *>(layout))
            return QByteArray("FlowLayout");
        return QByteArray(layout->metaObject()->className());
    };
    std::unique_ptr<QLayout> modelLayout;
    if (model > 0)
        modelLayout.reset(createLayout(model));
    else if (model < 0)
        modelLayout = std::make_unique<QStackedLayout>();
    const std::unique_ptr<QLayout> expected(createLayout(like));
    const std::unique_ptr<QLayout> made(createLayoutLike(modelLayout.get()));
    QCOMPARE(kindOf(made.get()), kindOf(expected.get()));
    QCOMPARE(made->count(), 0);
    QVERIFY(made.get() != modelLayout.get());
}

void TestKivraWidgets::alignment()
{
    const TypeAlignments perType {{kOpenFileLineEdit, Qt::AlignBottom}, {kLineEdit, Qt::AlignTop}};
    const TypeAlignments defaults =
        defaultTypeAlign({{"defaulttypealign", QVariant::fromValue(perType)}});
    const auto align = [&defaults](int kind, int index, const QVariantMap &options) {
        QLabel widget;
        widget.setProperty(WidgetProperty::type, kind);
        widget.setProperty(WidgetProperty::typeExt,
                           kind == kLineEdit ? int(kOpenFileLineEdit) : kind);
        return alignmentFor(&widget, index, options, Qt::AlignVCenter, &defaults);
    };
    const QVariantMap options =
        optIndexalign(optTypealign({}, kLineEdit, Qt::AlignRight), 2, Qt::AlignHCenter);
    QCOMPARE(align(kLineEdit, 2, options), int(Qt::AlignHCenter)); // the index beats the kind
    QCOMPARE(align(kLineEdit, 1, options), int(Qt::AlignRight));
    QCOMPARE(align(kLineEdit, 0, {}), int(Qt::AlignBottom)); // the window's, per sub-kind
    QCOMPARE(align(kLabel, 0, {}), int(Qt::AlignVCenter));
    // A line drops the bits across its direction.
    const int leftTop = Qt::AlignLeft | Qt::AlignTop;
    QCOMPARE(align(kHLine, 0, optTypealign({}, kHLine, leftTop | Qt::AlignJustify)),
             int(Qt::AlignTop));
    QCOMPARE(align(kVLine, 0, optTypealign({}, kVLine, leftTop | Qt::AlignBaseline)),
             int(Qt::AlignLeft));
}

void TestKivraWidgets::captions_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("flags");
    QTest::addColumn<QStringList>("texts");

    // Rows name the widget kinds in the order the builder makes them.
    QTest::newRow("selector: each button its own text")
        << int(kSettingSelector) << "Konfiguration" << 0 << QStringList {"Konfiguration", "+", "-"};
    QTest::newRow("browse button takes the second part")
        << int(kOpenLineEdit) << "Datei;Wählen" << 0 << QStringList {"Datei", "Wählen"};
    QTest::newRow("browse button keeps its caption")
        << int(kOpenLineEdit) << "Datei" << 0 << QStringList {"Datei", "Öffnen..."};
    QTest::newRow("no caption label without caption")
        << int(kOpenLineEdit) << "" << 0 << QStringList {"Öffnen..."};
    QTest::newRow("check box") << int(kCheckBox) << "Aktiv" << 20 << QStringList {"Aktiv"};
}

void TestKivraWidgets::captions()
{
    QFETCH(int, kind);
    QFETCH(QString, caption);
    QFETCH(int, flags);
    QFETCH(QStringList, texts);

    QWidget window;
    WIDGET_INFO widgets;
    int position = 0;
    QList<CaptionPair> pairs;
    const FieldFlags fieldFlags = flags ? FieldFlags::bit(flags) : FieldFlags();
    if (kind == kSettingSelector) {
        pairs = {{new QLabel(&window), "Einstellungen:"},
                 {new QPushButton(&window), "+"},
                 {new QPushButton(&window), "-"}};
    } else if (kind == kCheckBox) {
        pairs = {{new QCheckBox(&window), ""}};
    } else {
        auto *edit = new QLineEdit(&window);
        registerWidget(widgets, edit, kLineEdit, kind, position++, "file", fieldFlags, {}, nullptr);
        pairs = {{nullptr, ""}, {new QPushButton(&window), "Öffnen..."}};
    }
    CaptionField field {caption, fieldFlags, widgets, position, "file", {}, caption.split(u';')};
    field.caption = field.captionParts.first();
    applyCaptions(pairs, field);

    QStringList shown;
    auto *label = qobject_cast<QLabel *>(widgetAt(widgets, 0).data());
    if (label) {
        // A caption label is the field's widget 0, ahead of the editor.
        shown << label->text();
        QCOMPARE(widgetKind(label), int(kLabel));
        QCOMPARE(widgetPos(label), 1);
        QCOMPARE(position, 2);
        QVERIFY(qobject_cast<QLineEdit *>(widgetAt(widgets, 1).data()));
        delete label;
    }
    for (const CaptionPair &pair : pairs) {
        if (auto *button = qobject_cast<QAbstractButton *>(pair.target.data()))
            shown << button->text();
        else if (auto *pairLabel = qobject_cast<QLabel *>(pair.target.data()))
            shown << pairLabel->text();
    }
    QCOMPARE(shown, texts);
    if (fieldFlags == kBoldGroupTitle)
        QCOMPARE(pairs.first().target->styleSheet(),
                 QStringLiteral("QCheckBox { font-weight: bold; }"));
}

void TestKivraWidgets::registrationAndCollection()
{
    QWidget window;
    QVariantMap vars;
    QList<ReconnectEntry> reconnect;
    // Registered out of position order on purpose: collection sorts by position.
    const std::tuple<QString, int, int, FieldFlags> fields[] = {
        {"b", kLineEdit, 3, kEmitInitialChangeIfSet | kImmediateUpdate},
        {"a", kLineEdit, 1, kEmitInitialChange},
        {"a", kPushButton, 2, {}},
        {"c", kLineEdit, 0, {}},
    };
    for (const auto &[name, kind, position, flags] : fields) {
        auto widgets = vars.value(widgetDataKey(name)).value<WIDGET_INFO>();
        registerWidget(widgets, new QLineEdit(&window), kind, kind, position, name, flags, {},
                       &reconnect);
        vars.insert(name, QVariant());
        vars.insert(widgetDataKey(name), QVariant::fromValue(widgets));
    }
    QCOMPARE(reconnect.size(), 2);
    QVERIFY(reconnect[0].immediate && reconnect[0].onlyIfSet);
    QVERIFY(!reconnect[1].immediate && !reconnect[1].onlyIfSet);

    const auto names = [](const QList<QPointer<QWidget>> &widgets) {
        QStringList result;
        for (const QPointer<QWidget> &widget : widgets)
            result << widget->property(WidgetProperty::paramName).toString();
        return result;
    };
    QCOMPARE(names(collectWidgets(&vars, kLineEdit)), QStringList({"c", "a", "b"}));
    QCOMPARE(names(collectWidgets(&vars, 0)), QStringList({"c", "a", "a", "b"}));
    // A destroyed widget ends its name's list.
    delete widgetByName(&vars, "a", 0).data();
    QCOMPARE(names(collectWidgets(&vars, 0)), QStringList({"c", "b"}));
}

void TestKivraWidgets::centredOnScreen()
{
    QWidget window;
    window.resize(200, 100);
    window.move(3, 7);
    window.show();
    showWindowDeferred(&window, kCentered);
    QCOMPARE(window.geometry().center(), window.screen()->availableGeometry().center());
    showWindowDeferred(nullptr, kCentered);
}

void TestKivraWidgets::sizeAndStretchKeys()
{
    FormFixture form;
    auto *label = form.add<QLabel>("n", kLabel, kLabel);
    auto *spin = form.add<QSpinBox>("n", kLineEdit, kNumberSpinBox);
    label->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Maximum);
    const QVariantMap options = optSizepolicyh(optMaxwidth({}, kNumberSpinBox, 100), kLabel, 7);
    applySizeOptions(label, 0, options);
    applySizeOptions(spin, 1, options);
    QCOMPARE(spin->maximumWidth(), 100);
    QCOMPARE(label->maximumWidth(), QWIDGETSIZE_MAX);
    QCOMPARE(label->sizePolicy().horizontalPolicy(), QSizePolicy::Expanding);
    QCOMPARE(label->sizePolicy().verticalPolicy(), QSizePolicy::Maximum);

    // Index 0 also matches every widget that carries no kind at all.
    QLabel plain;
    applySizeOptions(&plain, 3, {{"minwidth0", 40}});
    QCOMPARE(plain.minimumWidth(), 40);

    // Keyed by index beats keyed by sub-kind beats keyed by kind.
    applySizeOptions(spin, 2,
                     {{"fixedwidth20000", 10},
                      {"fixedwidth50006", 20},
                      {"fixedwidth2", 30},
                      {"minheight20000", 5}});
    QCOMPARE(spin->maximumWidth(), 30);
    QCOMPARE(spin->minimumHeight(), 5);

    // For the stretch the first found wins: kind, then sub-kind, then index.
    QVariantMap stretch = optStretch(optStretch({}, 1, 7), kNumberSpinBox, 3);
    QCOMPARE(stretchFor(spin, 1, &stretch), 3);
    stretch = optStretch(stretch, kLineEdit, 2);
    QCOMPARE(stretchFor(spin, 1, &stretch), 2);
    QCOMPARE(stretchFor(spin, 4, nullptr), 0);
    QCOMPARE(stretchFor(nullptr, 1, &stretch), 0);
}

void TestKivraWidgets::flowLayoutWraps_data()
{
    QTest::addColumn<QList<int>>("widths");
    QTest::addColumn<QList<QPoint>>("positions");
    QTest::addColumn<int>("height");

    QTest::newRow("third item wraps")
        << QList<int> {40, 40, 40} << QList<QPoint> {{0, 0}, {50, 0}, {0, 30}} << 50;
    QTest::newRow("item ending at the edge fits")
        << QList<int> {45, 45} << QList<QPoint> {{0, 0}, {55, 0}} << 20;
    QTest::newRow("too wide for any line stays first")
        << QList<int> {150, 40} << QList<QPoint> {{0, 0}, {0, 30}} << 50;
}

void TestKivraWidgets::flowLayoutWraps()
{
    QFETCH(QList<int>, widths);
    QFETCH(QList<QPoint>, positions);
    QFETCH(int, height);

    QWidget container;
    auto *flow = new FlowLayout(0, 10, 10);
    container.setLayout(flow);
    QList<QWidget *> widgets;
    for (const int width : widths) {
        widgets << fixedWidget(&container, width, 20);
        flow->addWidget(widgets.last());
        widgets.last()->move(77, 77);
    }
    QCOMPARE(flow->heightForWidth(100), height);
    QCOMPARE(widgets.first()->pos(), QPoint(77, 77));
    flow->setGeometry(QRect(0, 0, 100, 200));
    for (int i = 0; i < widgets.size(); ++i)
        QCOMPARE(widgets.at(i)->pos(), positions.at(i));
}

void TestKivraWidgets::flowLayoutTakesChildLayout_data()
{
    QTest::addColumn<bool>("spacingFromParentLayout");
    QTest::addColumn<QList<QPoint>>("positions"); // the widget, the nested row, the widget
    QTest::addColumn<int>("height");

    // Width 100: each item wraps, the nested row (two widgets of 30) being 60 wide.
    QTest::newRow("own spacing") << false << QList<QPoint> {{0, 0}, {0, 30}, {0, 60}} << 80;
    QTest::newRow("spacing of the parent layout")
        << true << QList<QPoint> {{0, 0}, {0, 27}, {0, 54}} << 74;
}

void TestKivraWidgets::flowLayoutTakesChildLayout()
{
    QFETCH(bool, spacingFromParentLayout);
    QFETCH(QList<QPoint>, positions);
    QFETCH(int, height);

    QPointer<QHBoxLayout> row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    QPointer<QWidget> inRow[2];
    {
        QWidget container;
        FlowLayout *flow = nullptr;
        if (spacingFromParentLayout) {
            auto *outer = new QVBoxLayout(&container);
            outer->setSpacing(7);
            flow = new FlowLayout(0, -1, -1);
            outer->addLayout(flow);
        } else {
            flow = new FlowLayout(0, 10, 10);
            container.setLayout(flow);
        }
        for (QPointer<QWidget> &widget : inRow) {
            widget = fixedWidget(nullptr, 30, 20);
            row->addWidget(widget);
        }
        auto *first = fixedWidget(&container, 40, 20);
        flow->addWidget(first);
        QVERIFY(addLayoutTo(flow, row, 0, 0, 1, 1, Qt::AlignLeft, 0));
        auto *last = fixedWidget(&container, 40, 20);
        flow->addWidget(last);
        QCOMPARE(row->parent(), flow);
        QCOMPARE(inRow[0]->parentWidget(), &container);
        QVERIFY(!flow->itemAt(-1));
        QVERIFY(!flow->takeAt(flow->count()));

        // The nested row has no widget and no style of its own; it is measured and placed
        // like any item.
        QCOMPARE(flow->heightForWidth(100), height);
        flow->setGeometry(QRect(0, 0, 100, 200));
        QCOMPARE(first->pos(), positions.at(0));
        QCOMPARE(inRow[0]->pos(), positions.at(1));
        QCOMPARE(inRow[1]->pos(), positions.at(1) + QPoint(30, 0));
        QCOMPARE(last->pos(), positions.at(2));
    }
    QVERIFY(row.isNull());
    QVERIFY(inRow[0].isNull() && inRow[1].isNull());
}

void TestKivraWidgets::wheelNeedsFocus()
{
    QWidget window;
    auto *combo = new helper::FocusWheelComboBox(&window);
    combo->addItems({"a", "b", "c"});
    combo->setCurrentIndex(1);
    auto *spin = new QSpinBox(&window);
    spin->setFocusPolicy(Qt::WheelFocus);
    spin->setValue(5);
    auto *guard = helper::DynamicWidgetEventFilter::installOn(spin);
    QCOMPARE(guard->parent(), spin);
    auto *other = new QLineEdit(&window);
    window.show();
    QApplication::setActiveWindow(&window);
    other->setFocus();

    turnWheelUp(combo);
    turnWheelUp(spin);
    QCOMPARE(combo->currentIndex(), 1);
    QCOMPARE(spin->value(), 5);
    QCOMPARE(spin->focusPolicy(), Qt::StrongFocus);

    combo->setFocus();
    QVERIFY(combo->hasFocus());
    turnWheelUp(combo);
    QCOMPARE(combo->currentIndex(), 0);
    spin->setFocus();
    turnWheelUp(spin);
    QCOMPARE(spin->value(), 6);
}

void TestKivraWidgets::imageFitting()
{
    // Where an image of the size goes in a 100 x 100 area, from the start rectangle.
    const auto fit = [](QSizeF image, bool enlarge, QRectF rect = {}) {
        return helper::fitImageRect(image.width(), image.height(), 100, 100, enlarge, &rect)
            ? rect
            : QRectF();
    };
    QCOMPARE(fit({200, 100}, false), QRectF(0, 25, 100, 50));
    QCOMPARE(fit({100, 400}, false), QRectF(37.5, 0, 25, 100));
    QCOMPARE(fit({50, 50}, false), QRectF(25, 25, 50, 50));
    QCOMPARE(fit({50, 25}, true), QRectF(0, 25, 100, 50));
    QCOMPARE(fit({200, 100}, false, {10, 20, 1, 1}), QRectF(10, 45, 100, 50));
    QRectF untouched(1, 2, 3, 4);
    QVERIFY(!helper::fitImageRect(0, 10, 100, 100, false, &untouched));
    QCOMPARE(untouched, QRectF(1, 2, 3, 4));

    QWidget window;
    auto *widget = new ImageWidget({}, &window);
    widget->setImage(filledImage(200, 100), {});
    widget->setFixedSize(100, 100);
    const QImage scaled = widget->grab().toImage();
    QCOMPARE(QColor(scaled.pixel(50, 50)), QColor(Qt::red));
    QVERIFY(QColor(scaled.pixel(50, 10)) != QColor(Qt::red));
    widget->setFixedSize(200, 100);
    const QImage oneToOne = widget->grab().toImage();
    QCOMPARE(QColor(oneToOne.pixel(0, 0)), QColor(Qt::red));
    QCOMPARE(QColor(oneToOne.pixel(199, 99)), QColor(Qt::red));
}

void TestKivraWidgets::imageValues()
{
    QTemporaryDir dir;
    const QString png = dir.filePath("dot.png");
    QVERIFY(filledImage(3, 2).save(png));
    ImageWidget fromPath(png);
    QCOMPARE(fromPath.image().size(), QSize(3, 2));
    fromPath.setImagePath(QString());
    QVERIFY(fromPath.image().isNull());

    // Reaches the widget through the value exchange, as a form value does.
    FormFixture form;
    auto *widget =
        form.adopt(new ImageWidget, "logo", kImage, kImage, kAdjustToContents | kFitHeight);
    form.vars.insert("logo", QVariant());
    QVERIFY(setWidgetData(&form.vars, {{"logo", filledImage(30, 20)}}, false));
    QCOMPARE(widget->image().size(), QSize(30, 20));
    QCOMPARE(widget->minimumSize(), QSize(30, 20));
    QCOMPARE(widget->maximumSize(), QSize(30, 20));

    // No value keeps the image, and the widget is still sized to it.
    widget->setFixedSize(1, 1);
    for (const QVariant &value : {QVariant(), QVariant(QString())}) {
        widget->setImage(value, kAdjustToContents);
        QCOMPARE(widget->image().size(), QSize(30, 20));
        QCOMPARE(widget->width(), 30);
    }
    QVERIFY(setWidgetData(&form.vars, {{"logo", png}}, false));
    QCOMPARE(widget->image().size(), QSize(3, 2));
    widget->setImage(dir.filePath("missing.png"), {});
    QVERIFY(widget->image().isNull());
}

void TestKivraWidgets::parentlessImageStaysHidden()
{
    auto *widget = new ImageWidget;
    widget->show();
    QVERIFY(!widget->isVisible());

    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    layout->addWidget(widget);
    window.show();
    QVERIFY(widget->isVisible());
}

QTEST_MAIN(TestKivraWidgets)
#include "tst_kivrawidgets.moc"
