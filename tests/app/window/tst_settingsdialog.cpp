#include "DialogTestAccess.h"
#include "ModalDialogStep.h"
#include "WindowTest.h"

#include <kivra/Sizing.h>
#include <window/SettingsDialog.h>

#include <QApplication>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QTest>

#include <functional>

namespace {

QCheckBox *checkBoxIn(QDialog *settings, const QString &text, int index = 0)
{
    for (QCheckBox *box : settings->findChildren<QCheckBox *>()) {
        if (box->text() == text && index-- == 0)
            return box;
    }
    qFatal("No such check box");
}

// The format fields; spin boxes have line edits of their own.
QList<QLineEdit *> lineEdits(QDialog *settings)
{
    QList<QLineEdit *> edits;
    for (QLineEdit *edit : settings->findChildren<QLineEdit *>()) {
        if (!qobject_cast<QAbstractSpinBox *>(edit->parentWidget()))
            edits.append(edit);
    }
    return edits;
}

QSpinBox *shiftDays(QDialog *settings)
{
    return settings->findChildren<QSpinBox *>().constFirst();
}

void pressButton(QDialog *settings, const QString &text)
{
    for (QPushButton *button : settings->findChildren<QPushButton *>()) {
        if (button->text() == text)
            return button->click();
    }
    qFatal("No such button");
}

} // namespace

// The settings dialog "Einstellungen:" as a user meets it through "Konfigurieren".
class TestSettingsDialog : public WindowTest
{
    Q_OBJECT

private slots:
    void conversions_data();
    void conversions();
    void acceptKeepsSettingsTyped_data();
    void acceptKeepsSettingsTyped();
    void cancelTakesEditsBack();
    void formatsShowWhole();

private:
    // Opens the settings dialog of the window and runs step in it while it is open.
    void openSettings(const std::function<void(QDialog *settings)> &step);
    QVariant setting(const char *key) const
    {
        return DialogTestAccess::setting(*m_dialog, QLatin1String(key));
    }
};

void TestSettingsDialog::openSettings(const std::function<void(QDialog *settings)> &step)
{
    const auto ran = onNextModalDialog(m_dialog.get(), step);
    press("config_replacements");
    QVERIFY(*ran);
    QVERIFY(!QApplication::activeModalWidget());
}

void TestSettingsDialog::conversions_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QVariant>("expected");

    // As an options file gives them back: all text.
    QTest::newRow("factor") << "intScaleFactor" << QVariant("2.5") << QVariant(2.5);
    QTest::newRow("int factor") << "floatScaleFactor" << QVariant(3) << QVariant(3.0);
    QTest::newRow("days") << "dateMaxShiftDays" << QVariant("90") << QVariant(90);
    QTest::newRow("switch on") << "removeMetaData" << QVariant("true") << QVariant(true);
    QTest::newRow("switch as number") << "simulateReal" << QVariant(1) << QVariant(true);
    QTest::newRow("switch off") << "saveDateAsText" << QVariant("false") << QVariant(false);
    QTest::newRow("format") << "dateToTextFmt" << QVariant("yyyy-MM-dd")
                            << QVariant(QStringLiteral("yyyy-MM-dd"));
}

void TestSettingsDialog::conversions()
{
    QFETCH(QString, key);
    QFETCH(QVariant, stored);
    QFETCH(QVariant, expected);

    QMap<QString, QVariant> values;
    SettingsDialog::Values bound;
    for (const SettingsDialog::Setting &setting : SettingsDialog::settings())
        bound.insert(setting.key, &values[setting.key]);

    SettingsDialog::takeFromOptionMap(bound, {{key, stored}});
    QCOMPARE(values.value(key), expected);
    QCOMPARE(values.value(key).metaType(), expected.metaType());
    // A key the map lacks keeps its value, converted.
    if (key != QLatin1String("dateMaxShiftDays"))
        QCOMPARE(values.value("dateMaxShiftDays").metaType(), QMetaType::fromType<int>());
}

void TestSettingsDialog::acceptKeepsSettingsTyped_data()
{
    QTest::addColumn<bool>("byClosing");
    QTest::newRow("\"Beenden\"") << false;
    QTest::newRow("window closed") << true;
}

void TestSettingsDialog::acceptKeepsSettingsTyped()
{
    QFETCH(bool, byClosing);
    openSettings([byClosing](QDialog *settings) {
        settings->findChildren<QDoubleSpinBox *>().constFirst()->setValue(2.5);
        shiftDays(settings)->setValue(100);
        checkBoxIn(settings, QStringLiteral("Metadaten entfernen"))->click();
        // Four formats and two ISO switches, each different, so none can stand in for another.
        const QList<QLineEdit *> formats = lineEdits(settings);
        for (int i = 0; i < formats.size(); ++i)
            formats.at(i)->setText(QStringLiteral("yyyy-MM-dd").left(10 - i));
        checkBoxIn(settings, QStringLiteral("ISO-Format"), 1)->click();
        checkBoxIn(settings, QStringLiteral("ISO-Format"), 2)->click();
        if (byClosing)
            settings->close();
        else
            pressButton(settings, QStringLiteral("Beenden"));
    });

    const QMap<QString, QVariant> &options = m_dialog->optionMap();
    const QMap<SettingsDialog::Conversion, QMetaType> types {
        {SettingsDialog::Conversion::Double, QMetaType::fromType<double>()},
        {SettingsDialog::Conversion::Bool, QMetaType::fromType<bool>()},
        {SettingsDialog::Conversion::Int, QMetaType::fromType<int>()},
        {SettingsDialog::Conversion::String, QMetaType::fromType<QString>()}};
    for (const SettingsDialog::Setting &setting : SettingsDialog::settings()) {
        QVERIFY2(options.contains(setting.key), qPrintable(setting.key));
        QCOMPARE(options.value(setting.key).metaType(), types.value(setting.conversion));
    }
    QCOMPARE(options.value("intScaleFactor"), QVariant(2.5));
    QCOMPARE(options.value("floatScaleFactor"), QVariant(1.0));
    QCOMPARE(options.value("dateMaxShiftDays"), QVariant(100));
    QCOMPARE(options.value("removeMetaData"), QVariant(true));
    QCOMPARE(options.value("dateToTextFmt"), QVariant(QStringLiteral("yyyy-MM-dd")));
    QCOMPARE(setting("dateMaxShiftDays"), QVariant(100));
    // The run and the script take the date settings in the same places.
    const vondrel::DateTextSettings dates = DialogTestAccess::dateText(*m_dialog);
    QCOMPARE(QStringList({dates.dateToTextFmt, dates.dateTimeToTextFmt, dates.textToDateFmt,
                          dates.textToDateTimeFmt}),
             QStringList({"yyyy-MM-dd", "yyyy-MM-d", "yyyy-MM-", "yyyy-MM"}));
    QCOMPARE(QList<bool>({dates.dateToTextISO, dates.dateTimeToTextISO, dates.textToDateISO,
                          dates.textToDateTimeISO}),
             QList<bool>({false, true, true, false}));

    // The next start reads the settings the options file kept, not the defaults.
    QVERIFY(m_dialog->close());
    newDialog();
    QCOMPARE(setting("dateMaxShiftDays"), QVariant(100));
    QCOMPARE(setting("removeMetaData"), QVariant(true));
    QCOMPARE(setting("dateToTextFmt"), QVariant(QStringLiteral("yyyy-MM-dd")));
    QCOMPARE(setting("intScaleFactor"), QVariant(2.5));
}

void TestSettingsDialog::cancelTakesEditsBack()
{
    // Before any accept: the map holds nothing, the values keep their defaults.
    openSettings([](QDialog *settings) {
        const QList<QDoubleSpinBox *> factors = settings->findChildren<QDoubleSpinBox *>();
        QCOMPARE(factors.size(), 2);
        for (const QDoubleSpinBox *factor : factors)
            QCOMPARE(factor->decimals(), 2);
        QCOMPARE(shiftDays(settings)->minimum(), 30);
        shiftDays(settings)->setValue(200);
        checkBoxIn(settings, QStringLiteral("Echtwerte simulieren"))->click();
        pressButton(settings, QStringLiteral("Abbrechen"));
    });
    QVERIFY(!m_dialog->optionMap().contains(QStringLiteral("dateMaxShiftDays")));
    QCOMPARE(setting("dateMaxShiftDays").toInt(), 365);
    QCOMPARE(setting("simulateReal").toBool(), false);

    openSettings([](QDialog *settings) {
        QCOMPARE(shiftDays(settings)->value(), 365);
        shiftDays(settings)->setValue(100);
        pressButton(settings, QStringLiteral("Beenden"));
    });
    const QMap<QString, QVariant> accepted = m_dialog->optionMap();

    // After an accept: the accepted values stay, in the map and for the run.
    openSettings([](QDialog *settings) {
        shiftDays(settings)->setValue(300);
        lineEdits(settings).constLast()->setText(QStringLiteral("HH:mm"));
        pressButton(settings, QStringLiteral("Abbrechen"));
    });
    QCOMPARE(m_dialog->optionMap(), accepted);
    QCOMPARE(setting("dateMaxShiftDays"), QVariant(100));
    QCOMPARE(setting("textToDateTimeFmt"), QVariant(QStringLiteral("dd.MM.yyyy HH:mm:ss")));
}

void TestSettingsDialog::formatsShowWhole()
{
    // A format cut off at its start reads as another format.
    openSettings([](QDialog *settings) {
        for (const QLineEdit *format : lineEdits(settings)) {
            const int whole =
                kivra::lineEditWidthFor(format, QStringLiteral("dd.MM.yyyy HH:mm:ss"));
            QVERIFY2(format->width() >= whole, qPrintable(QString::number(format->width())));
        }
    });
}

QTEST_MAIN(TestSettingsDialog)
#include "tst_settingsdialog.moc"
