// The processing run from the main window: the window's state taken as the run's settings,
// the run itself, its output shown and its outcome reported.

#include "Dialog.h"

#include "AppPrompt.h"
#include "HeaderLayoutSync.h"
#include "UiLog.h"
#include "WaitCursor.h"

#include <kivra/IniStore.h>
#include <kivra/Options.h>
#include <kivra/Registry.h>
#include <run/ProcessingRun.h>
#include <run/RowAddressing.h>
#include <run/RunKey.h>
#include <run/RunReport.h>
#include <run/SameFile.h>
#include <tables/QxtCsvModel.h>
#include <tables/SheetModel.h>
#include <xlsx/CellReference.h>
#include <xlsx/Document.h>
#include <xlsx/Worksheet.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QHeaderView>
#include <QListWidget>
#include <QScopedValueRollback>
#include <QTableView>
#include <QTimer>

#include <algorithm>
#include <optional>

namespace {

const QString kPseudoKey = QStringLiteral("pseudo_key");

// The options file as the window record names it, for the key alone: the window's other values
// are saved when it closes.
class OptionsFile
{
public:
    explicit OptionsFile(const QVariantMap &windowOptions)
        : m_file(kivra::Option::inifileName(windowOptions))
        , m_group(kivra::Option::inigroupname(windowOptions))
        , m_separateKeys(windowOptions.value(kivra::OptionKey::iniseparatekeys).toBool())
        , m_summary(kivra::Option::inisummapname(windowOptions).trimmed())
    {
        if (m_summary.isEmpty())
            m_summary = kivra::kDefaultSummaryName;
    }

    const QString &fileName() const { return m_file; }
    QMap<QString, QVariant> read() const
    {
        QMap<QString, QVariant> stored;
        kivra::readIniValues(&stored, m_file, m_group, m_separateKeys, m_summary);
        return stored;
    }
    bool write(const QMap<QString, QVariant> &stored) const
    {
        return kivra::saveValuesToIni(&stored, m_file, m_group, m_separateKeys, nullptr, m_summary);
    }

private:
    QString m_file;
    QString m_group;
    bool m_separateKeys;
    QString m_summary;
};

} // namespace

bool Dialog::createOutput()
{
    // The run reads the loaded table throughout; no load may replace it meanwhile.
    if (m_loading)
        return false;
    const QScopedValueRollback<bool> running(m_loading, true);
    takeKeyFromOptionsFile();
    RunSettings settings = runSettings();
    if (const QString refusal = runRefusal(settings); !refusal.isEmpty()) {
        qCInfo(lcUi) << "Run refused before it started";
        AppPrompt::information(this, tr("Fehler:"), refusal);
        return false;
    }

    const bool xlsx = inputIsXlsx();
    // Held here as well, so that the table stays whatever the window does while a prompt
    // of the run lets events run.
    const QSharedPointer<QxtCsvModel> inputCsv = xlsx ? nullptr : m_inputCsvModel;
    const QSharedPointer<QXlsx::Document> inputDocument = xlsx ? m_inputDocument : nullptr;
    RunInput input;
    input.isXlsx = xlsx;
    input.csvModel = inputCsv.data();
    input.document = inputDocument.data();
    input.rawInput = m_rawInput;

    std::optional<WaitCursor> cursor(std::in_place);
    ProcessingRun run(settings, std::move(input));
    run.setKeyStore([this](const QByteArray &key) { return storeNewKey(key); });
    // The window repaints and keeps its wait cursor while the run works; clicks and keys
    // wait until it is done.
    run.setPulse([] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); });
    run.setScriptStep(
        [&cursor, script = ScriptStep(scriptStepSetup())](const ScriptTarget &target) {
            // The script may report in a box, which is no place for the wait cursor.
            cursor.reset();
            script(target);
            cursor.emplace();
        });
    const RunResult result = run.exec();
    if (result.writtenFiles.size() > 1)
        m_lastMappingFile = result.writtenFiles.at(1);
    showRunOutput(result);
    cursor.reset();

    qCInfo(lcUi) << "Run" << (result.success ? "succeeded" : "failed");
    QString text = result.messageText;
    if (result.success) {
        for (const QString &note : RunReport::notes(settings, result))
            text += QStringLiteral("\r\n") + note;
    }
    if (!text.isEmpty())
        AppPrompt::information(this, result.messageTitle, text);
    return result.success;
}

QString Dialog::runRefusal(const RunSettings &settings) const
{
    // Without a table the run itself says that there is no data.
    if (m_rawInput.isEmpty())
        return QString();
    // Typing a name that cannot be read leaves the previous table; a run on it would name
    // the one file and process the other.
    const QString typed = settings.inputFileName.trimmed();
    if (!isSameFile(typed, settings.loadedFileName)) {
        return tr("Die Eingabedatei\r\n%1\r\nist nicht die geladene Datei\r\n%2\r\nBitte die "
                  "Eingabedatei laden.")
            .arg(typed, settings.loadedFileName.trimmed());
    }
    // The assignments are not kept across a restart; a run without any would hand out the
    // clear text as if it were pseudonymised. The user's script alone may pseudonymise.
    const bool scriptStep = settings.useScript && !settings.scriptFileName.trimmed().isEmpty();
    if (settings.templates.isEmpty() && settings.clearedColumns.isEmpty() && !scriptStep) {
        return tr("Keiner Spalte ist ein Feldtyp zugewiesen und keine Spalte ist zum Löschen "
                  "ausgewählt. Es wurde keine Ausgabedatei erstellt.");
    }
    // The lines above the table are copied as they are: a start past its last row would hand
    // out every line in clear.
    if (!hasDataRows(settings)) {
        return tr("Ab Zeile %1 enthält die Tabelle keine Datenzeile. Es wurde keine "
                  "Ausgabedatei erstellt.")
            .arg(qMax(1, settings.rowOffset));
    }
    return QString();
}

bool Dialog::hasDataRows(const RunSettings &settings) const
{
    // Without any row the run itself says that there is no data.
    if (inputIsXlsx()) {
        const QXlsx::Worksheet *sheet =
            m_inputDocument ? m_inputDocument->currentWorksheet() : nullptr;
        return !sheet || !sheet->dimension().isValid() ||
            RowAddressing::forSheet(settings.hasTitle, settings.rowOffset).dataRow <=
            sheet->dimension().lastRow();
    }
    return !m_inputCsvModel || m_inputCsvModel->rowCount() == 0 ||
        RowAddressing::forCsv(settings.hasTitle, settings.rowOffset).dataRow <
        m_inputCsvModel->rowCount();
}

RunSettings Dialog::runSettings() const
{
    RunSettings settings;
    settings.inputFileName = m_inputFilename.toString();
    settings.loadedFileName = m_loadedInputName.toString();
    settings.exportFileName = m_exportFilename.toString();
    settings.createMappingFile = m_createExportMapFile.toBool();
    settings.useScript = m_scriptUse.toBool();
    settings.scriptFileName = m_scriptFilename.toString();
    settings.optionsFileName = optionsFilePath();
    settings.optionsLockFileName = optionsLockPath();
    settings.optionsBackupFileName = optionsBackupPath();
    settings.configurationFileName = m_configurationFile;
    settings.lastMappingFileName = m_lastMappingFile;
    settings.inputEditable = m_inputEditable.toBool();
    settings.hasTitle = m_inputHasTitle.toBool();
    settings.rowOffset = m_inputRowOffset.toInt();

    settings.codec = textCodec();
    settings.separator = csvSeparator();
    settings.readQuoteMode = csvQuoteMode(false);
    settings.writeQuoteMode = csvQuoteMode(true);
    settings.inputHasBom = m_inputHasBom;

    settings.storedKey = m_optionMap.value(kPseudoKey).toByteArray();
    m_settings.applyTo(settings, m_optionMap);

    // Both lists hold one entry per column, in column order.
    for (int column = 0; column < m_columnCombo->count(); ++column) {
        const QString id = m_columnCombo->itemData(column, Qt::UserRole).toString();
        const QString fieldTemplate = m_columnTemplates.value(id).toString();
        if (!fieldTemplate.isEmpty())
            settings.templates.insert(column, fieldTemplate);
    }
    if (const auto *list =
            kivra::findWidget<QListWidget>(&m_optionMap, QStringLiteral("empty_data_fields"),
                                           kivra::kListWidget, kivra::kFirstOfKind)) {
        for (int column = 0; column < list->count(); ++column) {
            const QListWidgetItem *item = list->item(column);
            settings.columnCaptions.append(item->text());
            if (item->checkState() == Qt::Checked)
                settings.clearedColumns.insert(column);
        }
    }
    return settings;
}

QString Dialog::storeNewKey(const QByteArray &key)
{
    // Into the options file at once, not only when the window closes: an output made with a
    // key that a crash loses could never be made again. Only the key changes there; the
    // other values are saved when the window closes, as always.
    const OptionsFile options(windowRecord().options.toMap());
    QMap<QString, QVariant> stored = options.read();
    stored.insert(kPseudoKey, key);
    if (!options.write(stored)) {
        qCWarning(lcUi) << "A new key could not be stored; the run stops";
        return tr("Der neue Schlüssel konnte nicht in „%1“ gespeichert werden.")
            .arg(QDir::toNativeSeparators(options.fileName()));
    }
    m_optionMap.insert(kPseudoKey, key);
    return QString();
}

void Dialog::takeKeyFromOptionsFile()
{
    // Another window may have made the key since this one started, or the file may hold
    // another key than this window: the stored key is the one the outputs are made with.
    const QByteArray stored =
        OptionsFile(windowRecord().options.toMap()).read().value(kPseudoKey).toByteArray();
    if (RunKey::isUsable(stored))
        m_optionMap.insert(kPseudoKey, stored);
}

void Dialog::clearRunOutput()
{
    if (m_outputView) {
        m_outputView->clearSpans();
        m_outputView->setModel(nullptr);
    }
    m_outputCsvModel.reset();
    m_outputSheetModel.reset();
    m_outputDocument.reset();
}

void Dialog::showRunOutput(const RunResult &result)
{
    if (!m_outputView || (!result.outputCsvModel && !result.outputDocument))
        return;
    m_outputView->clearSpans();
    m_outputView->setModel(nullptr);
    if (result.outputCsvModel) {
        m_outputCsvModel = result.outputCsvModel;
        if (!m_inputHasTitle.toBool()) {
            for (int column = 0; column < m_outputCsvModel->columnCount(); ++column)
                m_outputCsvModel->setHeaderData(column, Qt::Horizontal,
                                                QXlsx::columnLetters(column + 1), Qt::DisplayRole);
        }
        m_outputView->horizontalHeader()->setStretchLastSection(false);
        m_outputView->setModel(m_outputCsvModel.data());
    } else {
        m_outputDocument = result.outputDocument;
        m_outputSheetModel = result.outputSheetModel
            ? result.outputSheetModel
            : QSharedPointer<QXlsx::SheetModel>::create(m_outputDocument);
        m_outputView->setModel(m_outputSheetModel.data());
        m_outputView->horizontalHeader()->setStretchLastSection(true);
        if (const QXlsx::Worksheet *sheet = m_outputDocument->currentWorksheet()) {
            for (const QXlsx::CellRange &range : sheet->mergedCells())
                m_outputView->setSpan(range.firstRow() - 1, range.firstColumn() - 1,
                                      range.rowCount(), range.columnCount());
        }
    }
    showRowsFromDataStart(std::max(0, m_inputRowOffset.toInt() - 1));
    QTimer::singleShot(0, this, [this] { syncHeaderLayout(m_inputView, m_outputView); });
}
