#include "FormFixture.h"
#include "OptionSetters.h"
#include "SizeOptions.h"
#include "helper/ImageWidget.h"

#include <QLabel>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

using namespace kivra;

class TestKivraSizeOptions : public QObject
{
    Q_OBJECT

private slots:
    void sizeKeys();
    void stretchFirstFoundWins();
    void imageFromPath();
};

void TestKivraSizeOptions::sizeKeys()
{
    FormFixture form;
    auto *label = form.add<QLabel>("n", 20003, 20003);
    auto *spin = form.add<QSpinBox>("n", 50006, 50006);
    label->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Maximum);
    const QVariantMap options = optSizepolicyh(optMaxwidth({}, 50006, 100), 20003, 7);
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
    spin->setProperty("kivra_type", 20000);
    applySizeOptions(spin, 2,
                     {{"fixedwidth20000", 10},
                      {"fixedwidth50006", 20},
                      {"fixedwidth2", 30},
                      {"minheight20000", 5}});
    QCOMPARE(spin->maximumWidth(), 30);
    QCOMPARE(spin->minimumHeight(), 5);
}

void TestKivraSizeOptions::stretchFirstFoundWins()
{
    FormFixture form;
    auto *spin = form.add<QSpinBox>("n", 20000, 50006);
    QVariantMap options = optStretch(optStretch({}, 1, 7), 50006, 3);
    QCOMPARE(stretchFor(spin, 1, &options), 3);
    options = optStretch(options, 20000, 2);
    QCOMPARE(stretchFor(spin, 1, &options), 2);
    QCOMPARE(stretchFor(spin, 4, nullptr), 0);
    QCOMPARE(stretchFor(nullptr, 1, &options), 0);
}

void TestKivraSizeOptions::imageFromPath()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString png = dir.filePath("dot.png");
    QImage source(3, 2, QImage::Format_RGB32);
    source.fill(Qt::red);
    QVERIFY(source.save(png));

    helper::ImageWidget widget(png);
    QCOMPARE(widget.image().size(), QSize(3, 2));
    widget.setImagePath(QString());
    QVERIFY(widget.image().isNull());
    widget.setImagePath(dir.filePath("missing.png"));
    QVERIFY(widget.image().isNull());
}

QTEST_MAIN(TestKivraSizeOptions)
#include "tst_kivrasizeoptions.moc"
