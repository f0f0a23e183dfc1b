#include "DialogTestAccess.h"
#include "RunFixture.h"
#include "WindowTest.h"
#include "XlsxFixture.h"

#include <engine/PseudoSettings.h>
#include <engine/Pseudonymizer.h>
#include <tables/QxtCsvModel.h>
#include <xlsx/Document.h>

#include <QSettings>
#include <QSpinBox>
#include <QTest>

using RunFixture::key;
using RunFixture::readFile;
namespace FieldTypeId = vondrel::FieldTypeId;

namespace {

const QString kSuccess = QStringLiteral("Info:|Die Ausgabedatei wurde erstellt.");
const QDate kDay(2024, 1, 15);
const QDateTime kMoment(kDay, QTime(14, 30));

Pseudonymizer engine(const std::function<void(PseudoSettings &)> &change = {})
{
    PseudoSettings settings;
    if (change)
        change(settings);
    return Pseudonymizer(key(), settings);
}

QDate shifted(bool perDataSet = true)
{
    return engine().shiftDate(kDay, perDataSet);
}

QDateTime shiftedMoment()
{
    return engine().shiftDateTimeForDataset(kMoment, {});
}

// Each value with its type: a variant holding text equals one holding the same number.
QStringList typed(const QVariantList &values)
{
    QStringList texts;
    for (const QVariant &value : values)
        texts.append(QString::fromLatin1(value.typeName()) + u' ' + value.toString());
    return texts;
}

} // namespace

// The 18 settings of the settings dialog as an earlier session left them in the options file:
// each must reach the run and change what it writes. One row per setting; each row changes
// one setting (an amount written as text needs a factor too) and sees its effect in the file.
class TestSettingsEffects : public WindowTest
{
    Q_OBJECT

private slots:
    void eachSettingShowsInTheOutput_data();
    void eachSettingShowsInTheOutput();

private:
    // The first column of the output file, top to bottom.
    QVariantList firstColumn(const QString &output, bool workbook, int rows) const;
};

void TestSettingsEffects::eachSettingShowsInTheOutput_data()
{
    QTest::addColumn<QVariantMap>("stored");
    QTest::addColumn<QString>("placeholder");
    QTest::addColumn<bool>("workbook");
    QTest::addColumn<QVariant>("input");
    QTest::addColumn<QVariantList>("expected");

    // A text table keeps one line above its title; a workbook starts with its title.
    const QString head = QStringLiteral("# Export");
    const QString title = QStringLiteral("Wert");
    const auto text = [&](const QVariant &value) {
        return QVariantList {head, title, value};
    };
    const QString dayText = kDay.toString(QStringLiteral("dd.MM.yyyy"));
    const QString momentText = kMoment.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"));
    const QString isoDay = kDay.toString(Qt::ISODate);

    QTest::newRow("intScaleFactor") << QVariantMap {{"intScaleFactor", 3.0}} << "<INTEGER>" << false
                                    << QVariant("7") << text("21");
    QTest::newRow("floatScaleFactor") << QVariantMap {{"floatScaleFactor", 2.0}} << "<AMOUNT_COMMA>"
                                      << false << QVariant("10,50") << text("21,00");
    QTest::newRow("simulateReal")
        << QVariantMap {{"simulateReal", true}} << "<PHONE>" << false << QVariant("030 1234567")
        << text(engine([](PseudoSettings &s) {
                    s.simulateReal = true;
                }).keyedPseudonym(FieldTypeId::Phone, QStringLiteral("030 1234567")));
    // Off, an amount is scaled at factor 1 too: a text amount becomes a number.
    QTest::newRow("floatScaleFactorGreater1")
        << QVariantMap {{"floatScaleFactorGreater1", false}} << "<AMOUNT_COMMA>" << true
        << QVariant("10,5") << QVariantList {title, 10.5};
    QTest::newRow("saveFloatAsText")
        << QVariantMap {{"floatScaleFactor", 2.0}, {"saveFloatAsText", true}} << "<AMOUNT_DOT>"
        << true << QVariant(10.5) << QVariantList {title, QStringLiteral("21.0")};
    QTest::newRow("dateMaxShiftDays")
        << QVariantMap {{"dateMaxShiftDays", 30}} << "<DATE>" << false << QVariant(dayText)
        << text(engine([](PseudoSettings &s) { s.maxShiftDays = 30; })
                    .shiftDate(kDay, true)
                    .toString(QStringLiteral("dd.MM.yyyy")));
    QTest::newRow("dateShiftPerDataSet")
        << QVariantMap {{"dateShiftPerDataSet", false}} << "<DATE>" << false << QVariant(dayText)
        << text(shifted(false).toString(QStringLiteral("dd.MM.yyyy")));
    QTest::newRow("saveDateAsText")
        << QVariantMap {{"saveDateAsText", true}} << "<DATE>" << true << QVariant(kDay)
        << QVariantList {title, shifted().toString(QStringLiteral("dd.MM.yyyy"))};
    QTest::newRow("saveDateTimeAsText")
        << QVariantMap {{"saveDateTimeAsText", true}} << "<DATETIME>" << true << QVariant(kMoment)
        << QVariantList {title, shiftedMoment().toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"))};
    QTest::newRow("dateToTextFmt")
        << QVariantMap {{"dateToTextFmt", "yyyy/MM/dd"}} << "<DATE>" << false << QVariant(dayText)
        << text(shifted().toString(QStringLiteral("yyyy/MM/dd")));
    QTest::newRow("dateToTextISO") << QVariantMap {{"dateToTextISO", true}} << "<DATE>" << false
                                   << QVariant(dayText) << text(shifted().toString(Qt::ISODate));
    QTest::newRow("dateTimeToTextFmt")
        << QVariantMap {{"dateTimeToTextFmt", "yyyy/MM/dd HH:mm"}} << "<DATETIME>" << false
        << QVariant(momentText)
        << text(shiftedMoment().toString(QStringLiteral("yyyy/MM/dd HH:mm")));
    QTest::newRow("dateTimeToTextISO")
        << QVariantMap {{"dateTimeToTextISO", true}} << "<DATETIME>" << false
        << QVariant(momentText) << text(shiftedMoment().toString(Qt::ISODate));
    // Dates the user's format reads are shifted, not emptied; here written back the same way.
    QTest::newRow("textToDateFmt")
        << QVariantMap {{"textToDateFmt", "yyyy-MM-dd"}, {"dateToTextFmt", "yyyy-MM-dd"}}
        << "<DATE>" << false << QVariant(isoDay) << text(shifted().toString(Qt::ISODate));
    QTest::newRow("textToDateISO")
        << QVariantMap {{"textToDateISO", true}} << "<DATE>" << false << QVariant(isoDay)
        << text(shifted().toString(QStringLiteral("dd.MM.yyyy")));
    QTest::newRow("textToDateTimeFmt")
        << QVariantMap {{"textToDateTimeFmt", "yyyy-MM-dd HH:mm"}} << "<DATETIME>" << false
        << QVariant(QStringLiteral("2024-01-15 14:30"))
        << text(shiftedMoment().toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")));
    QTest::newRow("textToDateTimeISO")
        << QVariantMap {{"textToDateTimeISO", true}} << "<DATETIME>" << false
        << QVariant(QStringLiteral("2024-01-15T14:30:00"))
        << text(shiftedMoment().toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")));
    QTest::newRow("removeMetaData") << QVariantMap {{"removeMetaData", true}} << "<INTEGER>"
                                    << false << QVariant("7") << QVariantList {title, "7"};
}

void TestSettingsEffects::eachSettingShowsInTheOutput()
{
    QFETCH(QVariantMap, stored);
    QFETCH(QString, placeholder);
    QFETCH(bool, workbook);
    QFETCH(QVariant, input);
    QFETCH(QVariantList, expected);

    {
        QSettings options(m_settingsDir->filePath(QStringLiteral("vondrel.opt")),
                          QSettings::IniFormat);
        stored.insert(QStringLiteral("pseudo_key"), key());
        options.setValue(QStringLiteral("main/vmap"), stored);
    }
    newDialog();

    QString inputPath;
    if (workbook) {
        auto document = newWorkbook();
        writeRows(
            *document,
            {{QStringLiteral("Wert"), QStringLiteral("Name")}, {input, QStringLiteral("Anna")}});
        inputPath = saveWorkbook(QStringLiteral("ein.xlsx"), *document);
    } else {
        inputPath =
            writeFile(QStringLiteral("ein.csv"),
                      "# Export\r\nWert;Name\r\n" + input.toString().toUtf8() + ";Anna\r\n");
    }
    choose(inputPath);
    if (!workbook) {
        // The table begins on line 2; the change reloads it a moment later.
        field<QSpinBox>("input_row_offset", kivra::kNumberSpinBox)->setValue(2);
        QTRY_COMPARE(columnCaptions().value(0), QStringLiteral("1 [Wert]"));
    }
    assignType(0, placeholder);
    const QString output = path(workbook ? QStringLiteral("aus.xlsx") : QStringLiteral("aus.csv"));
    setText("export_filename", output);
    press("tmp_testen");

    // Where the factor stays 1, the box says that the numbers are unchanged.
    const QMap<QString, QString> notes {
        {QStringLiteral("floatScaleFactorGreater1"),
         QStringLiteral("\r\nSpalte A [Wert]: Faktor 1, die Beträge bleiben unverändert.")},
        {QStringLiteral("removeMetaData"),
         QStringLiteral("\r\nSpalte 1 [Wert]: Faktor 1, die Ganzzahlen bleiben unverändert.")}};
    QCOMPARE(takePrompts(),
             QStringList({kSuccess + notes.value(QLatin1String(QTest::currentDataTag()))}));
    QCOMPARE(typed(firstColumn(output, workbook, int(expected.size()))), typed(expected));
}

QVariantList TestSettingsEffects::firstColumn(const QString &output, bool workbook, int rows) const
{
    QVariantList column;
    if (workbook) {
        const auto document = XlsxFixture::load(readFile(output));
        for (int row = 1; row <= rows; ++row)
            column.append(document->read(row, 1));
        return column;
    }
    QxtCsvModel model;
    RunFixture::loadCsv(model, readFile(output), RunFixture::csvSettings(output, output));
    for (int row = 0; row < model.rowCount(); ++row)
        column.append(model.text(row, 0));
    return column;
}

QTEST_MAIN(TestSettingsEffects)
#include "tst_settingseffects.moc"
