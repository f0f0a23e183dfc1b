#include "ApplyCaptions.h"
#include "CollectWidgets.h"
#include "LayoutKinds.h"
#include "LayoutStack.h"
#include "OptionSetters.h"
#include "RegisterWidget.h"
#include "ReservedKeys.h"
#include "ShowWindowDeferred.h"
#include "WidgetAlignment.h"
#include "WidgetMetadata.h"
#include "WidgetProperties.h"
#include "WidgetRegistry.h"
#include "WidgetType.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>

using namespace kivra;

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

} // namespace

class TestKivraPlacement : public QObject
{
    Q_OBJECT

private slots:
    void gridCursor();
    void layoutsIntoLayouts();
    void formLayoutPairs();
    void visibilityReachesOneLevel();
    void alignment_data();
    void alignment();
    void captions_data();
    void captions();
    void registrationAndCollection();
    void centredOnScreen();
};

void TestKivraPlacement::gridCursor()
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
}

void TestKivraPlacement::layoutsIntoLayouts()
{
    QWidget window;
    auto *vbox = new QVBoxLayout(&window);
    auto *hbox = new QHBoxLayout;
    QVERIFY(addLayoutTo(vbox, hbox, 0, 0, 1, 1, Qt::AlignTop, 3));
    QCOMPARE(vbox->stretch(0), 3);
    QCOMPARE(vbox->itemAt(0)->alignment(), Qt::AlignTop);
    QVERIFY(addLayoutTo(hbox, new QVBoxLayout, 0, 0, 1, 1, {}, 3));
    QCOMPARE(hbox->stretch(0), 0);
}

void TestKivraPlacement::formLayoutPairs()
{
    QWidget window;
    auto *form = new QFormLayout(&window);
    LayoutStack stack {{form, 0, 0}};
    const WIDGET_INFO widgets = {new QLabel("Name"), new QLineEdit, new QCheckBox("Aktiv")};
    int span = 0;
    for (int i = 0; i < widgets.size(); ++i)
        placeWidget(stack, i, widgets, 0, span, 0, Qt::AlignRight);
    QCOMPARE(form->rowCount(), 2);
    QCOMPARE(form->itemAt(0, QFormLayout::LabelRole)->widget(), widgets[0].data());
    QCOMPARE(form->itemAt(0, QFormLayout::FieldRole)->widget(), widgets[1].data());
    QCOMPARE(form->itemAt(1, QFormLayout::SpanningRole)->widget(), widgets[2].data());
    QCOMPARE(form->labelAlignment(), Qt::AlignRight);
}

void TestKivraPlacement::visibilityReachesOneLevel()
{
    QWidget window;
    auto *top = new QVBoxLayout(&window);
    auto *direct = new QLabel;
    top->addWidget(direct);
    auto *child = new QHBoxLayout;
    top->addLayout(child);
    auto *inChild = new QLabel;
    child->addWidget(inChild);
    auto *grandChild = new QHBoxLayout;
    child->addLayout(grandChild);
    auto *deep = new QLabel;
    grandChild->addWidget(deep);
    window.show();

    setLayoutWidgetsVisible(top, false);
    QVERIFY(direct->isHidden());
    QVERIFY(inChild->isHidden());
    QVERIFY(!deep->isHidden());
    setLayoutWidgetsVisible(nullptr, false);
}

void TestKivraPlacement::alignment_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("index");
    QTest::addColumn<QVariantMap>("options");
    QTest::addColumn<int>("expected");

    const int leftTop = Qt::AlignLeft | Qt::AlignTop;
    const QVariantMap typeAligned = optTypealign({}, kLineEdit, Qt::AlignRight);
    QTest::newRow("index beats type")
        << int(kLineEdit) << 2 << optIndexalign(typeAligned, 2, Qt::AlignHCenter)
        << int(Qt::AlignHCenter);
    QTest::newRow("type for another index")
        << int(kLineEdit) << 1 << optIndexalign(typeAligned, 2, Qt::AlignHCenter)
        << int(Qt::AlignRight);
    QTest::newRow("window default per sub-kind")
        << int(kLineEdit) << 0 << QVariantMap() << int(Qt::AlignBottom);
    QTest::newRow("horizontal line drops horizontal bits")
        << int(kHLine) << 0 << optTypealign({}, kHLine, leftTop | Qt::AlignJustify)
        << int(Qt::AlignTop);
    QTest::newRow("vertical line drops vertical bits")
        << int(kVLine) << 0 << optTypealign({}, kVLine, leftTop | Qt::AlignBaseline)
        << int(Qt::AlignLeft);
    QTest::newRow("default") << int(kLabel) << 0 << QVariantMap() << int(Qt::AlignVCenter);
}

void TestKivraPlacement::alignment()
{
    QFETCH(int, kind);
    QFETCH(int, index);
    QFETCH(QVariantMap, options);
    QFETCH(int, expected);

    QLabel widget;
    widget.setProperty(WidgetProperty::type, kind);
    widget.setProperty(WidgetProperty::typeExt, kind == kLineEdit ? int(kOpenFileLineEdit) : kind);
    const TypeAlignments perType = {{kOpenFileLineEdit, Qt::AlignBottom},
                                    {kLineEdit, Qt::AlignTop}};
    const QVariantMap windowOptions = {{"defaulttypealign", QVariant::fromValue(perType)}};
    const TypeAlignments defaults = defaultTypeAlign(windowOptions);
    QCOMPARE(alignmentFor(&widget, index, options, Qt::AlignVCenter, &defaults), expected);
}

void TestKivraPlacement::captions_data()
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

void TestKivraPlacement::captions()
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

void TestKivraPlacement::registrationAndCollection()
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

void TestKivraPlacement::centredOnScreen()
{
    QWidget window;
    window.resize(200, 100);
    window.move(3, 7);
    window.show();
    showWindowDeferred(&window, kCentered);
    QCOMPARE(window.geometry().center(), window.screen()->availableGeometry().center());
    showWindowDeferred(nullptr, kCentered);
}

QTEST_MAIN(TestKivraPlacement)
#include "tst_kivraplacement.moc"
