#include "TranslationSource.h"

#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

// Every text the window and the form framework translate has an English entry: lupdate
// collects the texts from the sources as they are now, so a text changed in the code without
// its entry (a line end added, a word changed) is found before a user meets it in German.
class TestTranslationCoverage : public QObject
{
    Q_OBJECT

private slots:
    void everyTextHasAnEntry();
};

namespace {

// Texts kept German in the English interface: the settings dialog's captions and the three
// file fields' captions with their filters.
const QSet<QString> keptGerman {
    QStringLiteral("Einstellungen:"),
    QStringLiteral("ISO-Format"),
    QStringLiteral("Faktor für Ganzzahlen:"),
    QStringLiteral("Faktor für Gleitkommazahlen:"),
    QStringLiteral("Nur bei Werten ungleich 1 ändern"),
    QStringLiteral("Gleitkomma immer als Text"),
    QStringLiteral("Maximale Verschiebung für Datumswerte in Tagen:"),
    QStringLiteral("Gleiche Verschiebung für alle Datumswerte"),
    QStringLiteral("Datum immer als Text"),
    QStringLiteral("Datum-Zeit immer als Text"),
    QStringLiteral("Datum zu Text: Formatierung:"),
    QStringLiteral("Datum-Zeit zu Text: Formatierung:"),
    QStringLiteral("Text zu Datum: Formatierung:"),
    QStringLiteral("Text zu Datum-Zeit: Formatierung:"),
    QStringLiteral("Echtwerte simulieren"),
    QStringLiteral("Metadaten entfernen"),
    QStringLiteral("Eingabedatei:{{filefilter}{Unterstützte Dokumente (*.csv *.txt *.xlsx);;Alle "
                   "Dateien (*)}}"),
    QStringLiteral("Ausgabedatei:{{filefilter}{Text Dateien (*.csv);;Excel-Dateien (*.xlsx)}}"),
    QStringLiteral("{{filefilter}{Script-Dateien (*.js)}}"),
};

} // namespace

void TestTranslationCoverage::everyTextHasAnEntry()
{
    QTemporaryDir scratch;
    QVERIFY(scratch.isValid());
    const QString collected = scratch.filePath(QStringLiteral("collected.ts"));
    QProcess lupdate;
    lupdate.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    lupdate.start(QStringLiteral(LUPDATE),
                  {QStringLiteral("-silent"), QStringLiteral("-locations"), QStringLiteral("none"),
                   QStringLiteral(SOURCE_DIR "/app"), QStringLiteral(SOURCE_DIR "/kivra"),
                   QStringLiteral("-ts"), collected});
    QVERIFY2(lupdate.waitForFinished(120000), qPrintable(lupdate.errorString()));
    QCOMPARE(lupdate.exitStatus(), QProcess::NormalExit);
    QCOMPARE(lupdate.exitCode(), 0);

    QString error;
    const QList<TranslationEntry> texts = readTranslationSource(collected, &error);
    // The window alone has far more texts; fewer means lupdate read nothing.
    QVERIFY2(texts.size() > 100, qPrintable(error));
    QSet<QString> translated;
    for (const TranslationEntry &entry :
         readTranslationSource(QStringLiteral(TRANSLATION_SOURCE), &error)) {
        if (entry.finished)
            translated.insert(entry.context + QLatin1Char('|') + entry.source);
    }
    QVERIFY2(!translated.isEmpty(), qPrintable(error));

    QStringList missing;
    for (const TranslationEntry &text : texts) {
        const QString key = text.context + QLatin1Char('|') + text.source;
        if (!translated.contains(key) &&
            !(text.context == QLatin1String("Dialog") && keptGerman.contains(text.source)))
            missing.append(key);
    }
    QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QLatin1Char('\n'))));
}

QTEST_GUILESS_MAIN(TestTranslationCoverage)
#include "tst_translationcoverage.moc"
