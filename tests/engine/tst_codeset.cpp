#include <engine/CodeSet.h>

#include <QRandomGenerator>
#include <QSet>
#include <QTest>

using namespace Qt::StringLiterals;
using vondrel::CodeSet;

class TestCodeSet : public QObject
{
    Q_OBJECT

private slots:
    void distinctCodes_data();
    void distinctCodes();
    void sameAsASetOfStrings();
};

void TestCodeSet::distinctCodes_data()
{
    QTest::addColumn<QStringList>("codes");
    // Every pair of codes below differs, often only where a compact key could blur them.
    QTest::newRow("empty and blank") << QStringList {QString(), u" "_s};
    QTest::newRow("trailing zero characters")
        << QStringList {u"AB"_s, QString(u"AB\0"_s), QString(u"AB\0\0"_s)};
    QTest::newRow("longest compact key and one more")
        << QStringList {QString(31, u'9'), QString(32, u'9'), QString(30, u'9')};
    QTest::newRow("latin-1 and beyond")
        << QStringList {u"\u00ff"_s, u"\u01ff"_s, u"\u00ff\u00ff"_s, u"\u0100"_s, u"\u0000"_s};
    QTest::newRow("case") << QStringList {u"DE00"_s, u"de00"_s};
}

void TestCodeSet::distinctCodes()
{
    QFETCH(QStringList, codes);
    CodeSet set;
    for (qsizetype i = 0; i < codes.size(); ++i) {
        for (qsizetype j = i; j < codes.size(); ++j)
            QVERIFY2(!set.contains(codes[j]), qPrintable(QString::number(j)));
        QVERIFY(set.insert(codes[i]));
        QVERIFY(set.contains(codes[i]));
        QVERIFY(!set.insert(codes[i]));
        QCOMPARE(set.size(), i + 1);
    }
}

void TestCodeSet::sameAsASetOfStrings()
{
    // Enough codes to grow the table several times, with repeats among them.
    QRandomGenerator random(7);
    CodeSet set;
    QSet<QString> reference;
    QVERIFY(set.isEmpty());
    for (int i = 0; i < 200000; ++i) {
        const QString code =
            u"DE"_s + QString::number(random.bounded(150000)).rightJustified(20, u'0');
        QCOMPARE(set.contains(code), reference.contains(code));
        const bool added = !reference.contains(code);
        reference.insert(code);
        QCOMPARE(set.insert(code), added);
    }
    QCOMPARE(set.size(), reference.size());
    for (int i = 0; i < 150000; i += 7) {
        const QString code = u"DE"_s + QString::number(i).rightJustified(20, u'0');
        QCOMPARE(set.contains(code), reference.contains(code));
    }
}

QTEST_GUILESS_MAIN(TestCodeSet)
#include "tst_codeset.moc"
