#include "AppIdentity.h"
#include "AppPrompt.h"
#include "Dialog.h"
#include "DialogTestAccess.h"
#include "ModalDialogStep.h"
#include "SettingsDialog.h"

#include <kivra/Registry.h>

#include <QApplication>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>

// The settings dialog "Einstellungen:" as a user meets it through "Konfigurieren".
class TestSettingsDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void conversions_data();
    void conversions();
    void firstOpeningShowsDefaults();
    void acceptStoresAllSettingsTyped();
    void cancelTakesEditsBack();
    void closingTheWindowAccepts();
    void restartReadsSettingsFromOptions();

private:
    using Step = std::function<void(QDialog *settings)>;
    // Opens the settings dialog of the window and runs step in it while it is open.
    void openSettings(const Step &step);
    static QCheckBox *checkBox(QDialog *settings, const QString &text, int index = 0);
    static QList<QLineEdit *> lineEdits(QDialog *settings);
    static void press(QDialog *settings, const QString &text);
    QVariant setting(const char *key) const
    {
        return DialogTestAccess::setting(*m_dialog, QLatin1String(key));
    }

    std::unique_ptr<QTemporaryDir> m_settingsDir;
    std::unique_ptr<Dialog> m_dialog;
    QStringList m_prompts;
};

void TestSettingsDialog::initTestCase()
{
    setApplicationIdentity();
    AppPrompt::setHandler([this](const AppPrompt::Request &request) {
        m_prompts.append(request.title + QLatin1Char(' ') + request.text);
        return QVariant();
    });
}

void TestSettingsDialog::init()
{
    m_settingsDir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_settingsDir->isValid());
    m_prompts.clear();
    m_dialog = std::make_unique<Dialog>(nullptr, m_settingsDir->path());
}

void TestSettingsDialog::cleanup()
{
    m_dialog.reset();
    QVERIFY2(m_prompts.isEmpty(), qPrintable(m_prompts.join(QLatin1Char('\n'))));
}

void TestSettingsDialog::openSettings(const Step &step)
{
    const auto ran = onNextModalDialog(m_dialog.get(), step);
    kivra::findWidget<QPushButton>(&m_dialog->optionMap(), QStringLiteral("config_replacements"),
                                   kivra::kPushButton)
        ->click();
    QVERIFY(*ran);
    QVERIFY(!QApplication::activeModalWidget());
}

QCheckBox *TestSettingsDialog::checkBox(QDialog *settings, const QString &text, int index)
{
    for (QCheckBox *box : settings->findChildren<QCheckBox *>()) {
        if (box->text() == text && index-- == 0)
            return box;
    }
    qFatal("No such check box");
}

QList<QLineEdit *> TestSettingsDialog::lineEdits(QDialog *settings)
{
    // Spin boxes have line edits of their own.
    QList<QLineEdit *> edits;
    for (QLineEdit *edit : settings->findChildren<QLineEdit *>()) {
        if (!qobject_cast<QAbstractSpinBox *>(edit->parentWidget()))
            edits.append(edit);
    }
    return edits;
}

void TestSettingsDialog::press(QDialog *settings, const QString &text)
{
    for (QPushButton *button : settings->findChildren<QPushButton *>()) {
        if (button->text() == text) {
            button->click();
            return;
        }
    }
    qFatal("No such button");
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
    QCOMPARE(bound.size(), 18);

    const QMap<QString, QVariant> optionMap {{key, stored}};
    SettingsDialog::takeFromOptionMap(bound, optionMap);
    QCOMPARE(values.value(key), expected);
    QCOMPARE(values.value(key).metaType(), expected.metaType());
    // A key the map lacks keeps its value, converted.
    if (key != QLatin1String("dateMaxShiftDays"))
        QCOMPARE(values.value("dateMaxShiftDays").metaType(), QMetaType::fromType<int>());
}

void TestSettingsDialog::firstOpeningShowsDefaults()
{
    openSettings([](QDialog *settings) {
        QCOMPARE(settings->windowTitle(), QStringLiteral("Einstellungen:"));
        const QList<QDoubleSpinBox *> factors = settings->findChildren<QDoubleSpinBox *>();
        QCOMPARE(factors.size(), 2);
        for (const QDoubleSpinBox *factor : factors) {
            QCOMPARE(factor->value(), 1.0);
            QCOMPARE(factor->decimals(), 2);
        }
        const QList<QSpinBox *> shifts = settings->findChildren<QSpinBox *>();
        QCOMPARE(shifts.size(), 1);
        QCOMPARE(shifts.constFirst()->value(), 365);
        QCOMPARE(shifts.constFirst()->minimum(), 30);
        QVERIFY(checkBox(settings, QStringLiteral("Gleiche Verschiebung für alle Datumswerte"))
                    ->isChecked());
        for (const char *text :
             {"Gleitkomma immer als Text", "Datum immer als Text", "Datum-Zeit immer als Text"})
            QVERIFY(!checkBox(settings, QString::fromUtf8(text))->isChecked());
        for (int i = 0; i < 4; ++i)
            QVERIFY(!checkBox(settings, QStringLiteral("ISO-Format"), i)->isChecked());
        QStringList formats;
        for (const QLineEdit *edit : lineEdits(settings))
            formats.append(edit->text());
        QCOMPARE(formats,
                 QStringList(
                     {"dd.MM.yyyy", "dd.MM.yyyy HH:mm:ss", "dd.MM.yyyy", "dd.MM.yyyy HH:mm:ss"}));
        press(settings, QStringLiteral("Abbrechen"));
    });
}

void TestSettingsDialog::acceptStoresAllSettingsTyped()
{
    openSettings([](QDialog *settings) {
        settings->findChildren<QDoubleSpinBox *>().constFirst()->setValue(2.5);
        settings->findChildren<QSpinBox *>().constFirst()->setValue(100);
        checkBox(settings, QStringLiteral("Metadaten entfernen"))->click();
        lineEdits(settings).constFirst()->setText(QStringLiteral("yyyy-MM-dd"));
        press(settings, QStringLiteral("Beenden"));
    });

    const QMap<QString, QVariant> &options = m_dialog->optionMap();
    for (const SettingsDialog::Setting &setting : SettingsDialog::settings()) {
        QVERIFY2(options.contains(setting.key), qPrintable(setting.key));
        const QMetaType type = options.value(setting.key).metaType();
        switch (setting.conversion) {
        case SettingsDialog::Conversion::Double:
            QCOMPARE(type, QMetaType::fromType<double>());
            break;
        case SettingsDialog::Conversion::Bool:
            QCOMPARE(type, QMetaType::fromType<bool>());
            break;
        case SettingsDialog::Conversion::Int:
            QCOMPARE(type, QMetaType::fromType<int>());
            break;
        case SettingsDialog::Conversion::String:
            QCOMPARE(type, QMetaType::fromType<QString>());
            break;
        }
    }
    QCOMPARE(options.value("intScaleFactor"), QVariant(2.5));
    QCOMPARE(options.value("floatScaleFactor"), QVariant(1.0));
    QCOMPARE(options.value("dateMaxShiftDays"), QVariant(100));
    QCOMPARE(options.value("removeMetaData"), QVariant(true));
    QCOMPARE(options.value("dateToTextFmt"), QVariant(QStringLiteral("yyyy-MM-dd")));
    // The run reads the same.
    QCOMPARE(setting("dateMaxShiftDays"), QVariant(100));
    QCOMPARE(setting("removeMetaData"), QVariant(true));
}

void TestSettingsDialog::cancelTakesEditsBack()
{
    // Before any accept: the map holds nothing, the values keep their defaults.
    openSettings([](QDialog *settings) {
        settings->findChildren<QSpinBox *>().constFirst()->setValue(200);
        checkBox(settings, QStringLiteral("Echtwerte simulieren"))->click();
        press(settings, QStringLiteral("Abbrechen"));
    });
    QVERIFY(!m_dialog->optionMap().contains(QStringLiteral("dateMaxShiftDays")));
    QCOMPARE(setting("dateMaxShiftDays").toInt(), 365);
    QCOMPARE(setting("simulateReal").toBool(), false);

    openSettings([](QDialog *settings) {
        QCOMPARE(settings->findChildren<QSpinBox *>().constFirst()->value(), 365);
        settings->findChildren<QSpinBox *>().constFirst()->setValue(100);
        press(settings, QStringLiteral("Beenden"));
    });
    const QMap<QString, QVariant> accepted = m_dialog->optionMap();

    // After an accept: the accepted values stay, in the map and for the run.
    openSettings([](QDialog *settings) {
        settings->findChildren<QSpinBox *>().constFirst()->setValue(300);
        lineEdits(settings).constLast()->setText(QStringLiteral("HH:mm"));
        press(settings, QStringLiteral("Abbrechen"));
    });
    QCOMPARE(m_dialog->optionMap(), accepted);
    QCOMPARE(setting("dateMaxShiftDays"), QVariant(100));
    QCOMPARE(setting("textToDateTimeFmt"), QVariant(QStringLiteral("dd.MM.yyyy HH:mm:ss")));
}

void TestSettingsDialog::closingTheWindowAccepts()
{
    openSettings([](QDialog *settings) {
        settings->findChildren<QSpinBox *>().constFirst()->setValue(60);
        settings->close();
    });
    QCOMPARE(m_dialog->optionMap().value("dateMaxShiftDays"), QVariant(60));
}

void TestSettingsDialog::restartReadsSettingsFromOptions()
{
    openSettings([](QDialog *settings) {
        settings->findChildren<QSpinBox *>().constFirst()->setValue(90);
        checkBox(settings, QStringLiteral("Metadaten entfernen"))->click();
        lineEdits(settings).constFirst()->setText(QStringLiteral("d.M.yy"));
        press(settings, QStringLiteral("Beenden"));
    });
    QVERIFY(m_dialog->close());

    // The next start reads the settings the options file kept, not the defaults.
    m_dialog = std::make_unique<Dialog>(nullptr, m_settingsDir->path());
    QCOMPARE(setting("dateMaxShiftDays"), QVariant(90));
    QCOMPARE(setting("removeMetaData"), QVariant(true));
    QCOMPARE(setting("dateToTextFmt"), QVariant(QStringLiteral("d.M.yy")));
    QCOMPARE(setting("intScaleFactor"), QVariant(1.0));
}

QTEST_MAIN(TestSettingsDialog)
#include "tst_settingsdialog.moc"
