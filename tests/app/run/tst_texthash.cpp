#include <run/TextHash.h>

#include <QSet>
#include <QTest>

// The run's lookup tables find a text by this hash: equal texts must hash alike wherever their
// characters lie, and texts that differ only where the hash reads its last block or its length
// must not collide. Both forms are checked, whichever this processor uses.
class TestTextHash : public QObject
{
    Q_OBJECT

private slots:
    void equalTextsHashAlike_data();
    void equalTextsHashAlike();
    void nearTextsDiffer_data();
    void nearTextsDiffer();
};

void TestTextHash::equalTextsHashAlike_data()
{
    QTest::addColumn<QString>("text");
    const QStringList texts = {QString(),
                               QStringLiteral("a"),
                               QStringLiteral("Köl"),
                               QStringLiteral("Bonn"),
                               QStringLiteral("Gartenweg"),
                               QStringLiteral("DE89370400440532013000")};
    for (const QString &text : texts) {
        QTest::addRow("%d characters", int(text.size())) << text;
    }
}

void TestTextHash::equalTextsHashAlike()
{
    QFETCH(QString, text);
    // The same characters inside a longer buffer, behind an odd offset, with text around them.
    const QString around = u'x' + text + QStringLiteral("yz");
    const QStringView view = QStringView(around).mid(1, text.size());
    QCOMPARE(view, QStringView(text));
    QCOMPARE(TextHash::of(view), TextHash::of(text));
    QCOMPARE(TextHash::portableOf(view), TextHash::portableOf(text));
}

void TestTextHash::nearTextsDiffer_data()
{
    QTest::addColumn<bool>("portable");
    QTest::newRow("as used") << false;
    QTest::newRow("portable") << true;
}

void TestTextHash::nearTextsDiffer()
{
    QFETCH(bool, portable);
    const auto hashOf = [portable](QStringView text) {
        return portable ? TextHash::portableOf(text) : TextHash::of(text);
    };
    // Every length up to 19 (past two blocks), each a prefix of the next, then every text with
    // one character changed at each place: a hash that ignored the length or a byte of the
    // last block would collide.
    const QString base = QStringLiteral("Müller-Lüdenscheidt");
    QSet<size_t> hashes;
    qsizetype texts = 0;
    for (qsizetype length = 0; length <= base.size(); ++length) {
        const QString prefix = base.left(length);
        hashes.insert(hashOf(prefix));
        ++texts;
        for (qsizetype at = 0; at < length; ++at) {
            QString changed = prefix;
            changed[at] = QChar(changed.at(at).unicode() + 1);
            hashes.insert(hashOf(changed));
            ++texts;
        }
    }
    hashes.insert(hashOf(QStringView(u"a\0", 2)));
    hashes.insert(hashOf(QStringView(u"a\0\0", 3)));
    texts += 2;
    QCOMPARE(hashes.size(), texts);
}

QTEST_GUILESS_MAIN(TestTextHash)
#include "tst_texthash.moc"
