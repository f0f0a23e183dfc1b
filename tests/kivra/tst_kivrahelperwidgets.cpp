#include "FormFixture.h"
#include "LayoutKinds.h"
#include "SetWidgetData.h"
#include "WidgetType.h"
#include "helper/DynamicWidgetEventFilter.h"
#include "helper/FlowLayout.h"
#include "helper/FocusWheelComboBox.h"
#include "helper/ImageWidget.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTest>
#include <QWheelEvent>

using namespace kivra;
using helper::FlowLayout;
using helper::ImageWidget;

namespace {

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

class TestKivraHelperWidgets : public QObject
{
    Q_OBJECT

private slots:
    void flowLayoutWraps_data();
    void flowLayoutWraps();
    void flowLayoutTakesChildLayout();
    void wheelNeedsFocus();
    void fitImageRect_data();
    void fitImageRect();
    void imagePainting();
    void imageFromValue();
    void parentlessImageStaysHidden();
};

void TestKivraHelperWidgets::flowLayoutWraps_data()
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

void TestKivraHelperWidgets::flowLayoutWraps()
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

void TestKivraHelperWidgets::flowLayoutTakesChildLayout()
{
    QPointer<QHBoxLayout> row = new QHBoxLayout;
    auto *label = new QLabel(QStringLiteral("Name"));
    row->addWidget(label);
    {
        QWidget container;
        auto *flow = new FlowLayout(-1, -1, -1);
        container.setLayout(flow);
        QVERIFY(addLayoutTo(flow, row, 0, 0, 1, 1, Qt::AlignLeft, 0));
        QCOMPARE(row->parent(), flow);
        QCOMPARE(label->parentWidget(), &container);
        QVERIFY(!flow->itemAt(-1));
        QVERIFY(!flow->takeAt(flow->count()));
        // The nested layout has no style of its own; measuring it must still work.
        QVERIFY(flow->heightForWidth(200) > 0);
    }
    QVERIFY(row.isNull());
}

void TestKivraHelperWidgets::wheelNeedsFocus()
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

void TestKivraHelperWidgets::fitImageRect_data()
{
    QTest::addColumn<QSizeF>("image");
    QTest::addColumn<bool>("enlarge");
    QTest::addColumn<QRectF>("start");
    QTest::addColumn<bool>("fits");
    QTest::addColumn<QRectF>("target");

    const QRectF none;
    QTest::newRow("landscape scaled down")
        << QSizeF(200, 100) << false << none << true << QRectF(0, 25, 100, 50);
    QTest::newRow("portrait scaled down")
        << QSizeF(100, 400) << false << none << true << QRectF(37.5, 0, 25, 100);
    QTest::newRow("small keeps its size")
        << QSizeF(50, 50) << false << none << true << QRectF(25, 25, 50, 50);
    QTest::newRow("small enlarged")
        << QSizeF(50, 25) << true << none << true << QRectF(0, 25, 100, 50);
    QTest::newRow("placed from target corner")
        << QSizeF(200, 100) << false << QRectF(10, 20, 1, 1) << true << QRectF(10, 45, 100, 50);
    QTest::newRow("empty image") << QSizeF(0, 10) << false << QRectF(1, 2, 3, 4) << false
                                 << QRectF(1, 2, 3, 4);
}

void TestKivraHelperWidgets::fitImageRect()
{
    QFETCH(QSizeF, image);
    QFETCH(bool, enlarge);
    QFETCH(QRectF, start);
    QFETCH(bool, fits);
    QFETCH(QRectF, target);

    QRectF rect = start;
    QCOMPARE(helper::fitImageRect(image.width(), image.height(), 100, 100, enlarge, &rect), fits);
    QCOMPARE(rect, target);
}

void TestKivraHelperWidgets::imagePainting()
{
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

void TestKivraHelperWidgets::imageFromValue()
{
    // Reaches the widget through the value exchange, as a form value does.
    FormFixture form;
    auto *widget =
        form.adopt(new ImageWidget, "logo", kImage, kImage, kAdjustToContents | kFitHeight);
    form.vars.insert("logo", QVariant());
    QVERIFY(setWidgetData(&form.vars, {{"logo", filledImage(30, 20)}}, false));
    QCOMPARE(widget->image().size(), QSize(30, 20));
    QCOMPARE(widget->minimumSize(), QSize(30, 20));
    QCOMPARE(widget->maximumSize(), QSize(30, 20));

    widget->setFixedSize(1, 1);
    for (const QVariant &value : {QVariant(), QVariant(QString())}) {
        widget->setImage(value, kAdjustToContents);
        QCOMPARE(widget->image().size(), QSize(30, 20));
        QCOMPARE(widget->width(), 30);
    }
    widget->setImage(QStringLiteral("/nonexistent/picture.png"), {});
    QVERIFY(widget->image().isNull());
}

void TestKivraHelperWidgets::parentlessImageStaysHidden()
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

QTEST_MAIN(TestKivraHelperWidgets)
#include "tst_kivrahelperwidgets.moc"
