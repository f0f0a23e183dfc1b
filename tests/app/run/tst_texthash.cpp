#include <run/TextHash.h>

#include <QSet>
#include <QTest>

// The run's lookup tables find a text by this hash: equal texts must hash alike wherever their
// characters lie, and texts that differ only where the hash reads its last word or its length
// must not collide.
class TestTextHash : public QObject
{
    Q_OBJECT

private slots:
    void equalTextsHashAlike_data();
    void equalTextsHashAlike();
    void nearTextsDiffer();
};

void TestTextHash::equalTextsHashAlike_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QString();
    QTest::newRow("one character") << QStringLiteral("a");
    QTest::newRow("three characters") << QStringLiteral("Köl");
    QTest::newRow("four characters, one word") << QStringLiteral("Bonn");
    QTest::newRow("past a word") << QStringLiteral("DE89370400440532013000");
}

void TestTextHash::equalTextsHashAlike()
{
    QFETCH(QString, text);
    // The same characters inside a longer buffer, behind an odd offset, with text around them.
    const QString around = u'x' + text + QStringLiteral("yz");
    const QStringView view = QStringView(around).mid(1, text.size());
    QCOMPARE(view, QStringView(text));
    QCOMPARE(TextHash::of(view), TextHash::of(text));
}

void TestTextHash::nearTextsDiffer()
{
    // Lengths 0 to 12, each a prefix of the next, then every text with one character changed
    // at each place: a hash that ignored the length or a byte of the last word would collide.
    const QString base = QStringLiteral("Müller-Lüden");
    QSet<size_t> hashes;
    qsizetype texts = 0;
    for (qsizetype length = 0; length <= base.size(); ++length) {
        const QString prefix = base.left(length);
        hashes.insert(TextHash::of(prefix));
        ++texts;
        for (qsizetype at = 0; at < length; ++at) {
            QString changed = prefix;
            changed[at] = QChar(changed.at(at).unicode() + 1);
            hashes.insert(TextHash::of(changed));
            ++texts;
        }
    }
    hashes.insert(TextHash::of(QStringView(u"a\0", 2)));
    hashes.insert(TextHash::of(QStringView(u"a\0\0", 3)));
    texts += 2;
    QCOMPARE(hashes.size(), texts);
}

QTEST_GUILESS_MAIN(TestTextHash)
#include "tst_texthash.moc"
