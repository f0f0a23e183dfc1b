#include "TranslationSource.h"
#include "UiLanguage.h"
#include "WindowTest.h"

#include <QLabel>
#include <QTest>
#include <QTranslator>

// The main window for a user whose system does not speak German: the translation is
// installed before anything is built, as at the program's start.
class TestEnglishWindow : public WindowTest
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void noTranslatedTextStaysGerman();

private:
    QTranslator m_translator;
};

namespace {

QStringList visibleTexts(const QWidget &window)
{
    QStringList texts {window.windowTitle()};
    for (const QAbstractButton *button : window.findChildren<QAbstractButton *>())
        texts.append(button->text());
    for (const QLabel *label : window.findChildren<QLabel *>())
        texts.append(label->text());
    for (const QComboBox *combo : window.findChildren<QComboBox *>()) {
        for (int i = 0; i < combo->count(); ++i)
            texts.append(combo->itemText(i));
    }
    return texts;
}

} // namespace

void TestEnglishWindow::initTestCase()
{
    WindowTest::initTestCase();
    QVERIFY(loadEnglishTranslation(m_translator));
    QVERIFY(QCoreApplication::installTranslator(&m_translator));
}

void TestEnglishWindow::cleanupTestCase()
{
    QCoreApplication::removeTranslator(&m_translator);
}

void TestEnglishWindow::noTranslatedTextStaysGerman()
{
    const QStringList texts = visibleTexts(*m_dialog);
    for (const char *english : {"Test and Create", "Map file", "Assign", "Exit", "Semicolon",
                                "Data field contents\nto delete:", "Running number"})
        QVERIFY2(texts.contains(QLatin1String(english)), english);
    QVERIFY(m_dialog->windowTitle().contains(QLatin1String("Data pseudonymisation tool:")));

    // Whatever has an English entry shows in English, wherever the window shows it.
    QString error;
    const QList<TranslationEntry> entries =
        readTranslationSource(QStringLiteral(TRANSLATION_SOURCE), &error);
    QVERIFY2(!entries.isEmpty(), qPrintable(error));
    for (const TranslationEntry &entry : entries) {
        if (entry.source != entry.translation)
            QVERIFY2(!texts.contains(entry.source), qPrintable(entry.source));
    }
}

QTEST_MAIN(TestEnglishWindow)
#include "tst_englishwindow.moc"
