#include "ProcessingRun.h"

#include "AppLog.h"
#include "CsvOutputFile.h"
#include "CsvPass.h"
#include "FileErrorMessage.h"
#include "MappingFile.h"
#include "OutputCopy.h"
#include "OutputTarget.h"
#include "ResultCache.h"
#include "RowAddressing.h"
#include "RunKey.h"
#include "SameFile.h"
#include "SettingLimits.h"
#include "XlsxPass.h"

#include <engine/PseudoContext.h>
#include <engine/PseudoSettings.h>
#include <engine/Pseudonymizer.h>
#include <tables/QxtCsvModel.h>
#include <tables/SheetModel.h>
#include <tables/TextCodecBridge.h>
#include <tables/WorkPulse.h>
#include <xlsx/Document.h>
#include <xlsx/Workbook.h>
#include <xlsx/Worksheet.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <exception>
#include <new>

namespace {

const QString xlsxSuffix = QStringLiteral(".xlsx");

} // namespace

ProcessingRun::ProcessingRun(RunSettings settings, RunInput input)
    : m_settings(std::move(settings))
    , m_input(std::move(input))
{
    // Whoever made the settings, the run stays within the limits the settings dialog keeps:
    // a shift of 0 days would leave the original dates in the output.
    m_settings.dateMaxShiftDays = SettingLimits::shiftDays(m_settings.dateMaxShiftDays);
    m_settings.intScaleFactor = SettingLimits::factor(m_settings.intScaleFactor);
    m_settings.floatScaleFactor = SettingLimits::factor(m_settings.floatScaleFactor);
    m_settings.dateText = SettingLimits::dateText(m_settings.dateText);
}

ProcessingRun::~ProcessingRun() = default;

void ProcessingRun::setKeyStore(KeyStore store)
{
    m_keyStore = std::move(store);
}

void ProcessingRun::setScriptStep(ScriptStep step)
{
    m_scriptStep = std::move(step);
}

void ProcessingRun::setPulse(Pulse pulse)
{
    m_pulse = std::move(pulse);
}

void ProcessingRun::setThreads(int threads)
{
    m_threads = threads;
}

RunResult ProcessingRun::exec()
{
    m_result = RunResult();
    const vondrel::WorkPulse pulse(m_pulse);
    bool succeeded = false;
    try {
        succeeded = runSteps();
    } catch (const std::bad_alloc &) {
        // Half-made results are not shown, and no file is committed.
        qCWarning(lcRun) << "The run ran out of memory";
        m_result = RunResult();
        fail(tr("Fehler:"),
             tr("Es ist nicht genug Arbeitsspeicher frei, um die Ausgabedatei zu erstellen. "
                "Es wurde keine Ausgabedatei erstellt."));
    } catch (const std::exception &error) {
        qCWarning(lcRun) << "The run failed:" << error.what();
        m_result = RunResult();
        fail(tr("Fehler:"), tr("Die Ausgabedatei konnte nicht erstellt werden."));
    }
    if (succeeded) {
        m_result.success = true;
        m_result.messageTitle = tr("Info:");
        m_result.messageText = tr("Die Ausgabedatei wurde erstellt.");
    }
    // A file not committed by now is discarded; the old one stays.
    m_outputTarget.reset();
    m_mappingTarget.reset();
    return std::move(m_result);
}

bool ProcessingRun::runSteps()
{
    if (!check() || !makeOutputCopy())
        return false;
    if (!chooseKey() || !pseudonymise())
        return false;
    runScript();
    // Both files are written completely before either replaces anything.
    if (!(m_input.isXlsx ? writeXlsxOutput() : writeCsvOutput()))
        return false;
    if (m_settings.createMappingFile && !writeMappingFile())
        return false;
    return commitFiles();
}

bool ProcessingRun::fail(const QString &title, const QString &text)
{
    m_result.success = false;
    m_result.messageTitle = title;
    m_result.messageText = text;
    return false;
}

bool ProcessingRun::failWriting(const QString &title, const OutputTarget &target)
{
    const Written file = &target == m_mappingTarget.get() ? Written::Mapping : Written::Output;
    return fail(title,
                FileErrorMessage::text(notCreated(file), target.fileName(), target.errorString()));
}

QString ProcessingRun::notCreated(Written file)
{
    return file == Written::Mapping ? tr("Die Zuordnungsdatei konnte nicht erstellt werden.")
                                    : tr("Die Ausgabedatei konnte nicht erstellt werden.");
}

bool ProcessingRun::check()
{
    const QxtCsvModel *csv = m_input.csvModel;
    const QXlsx::Worksheet *sheet =
        m_input.document ? m_input.document->currentWorksheet() : nullptr;
    const bool hasData = m_input.isXlsx
        ? sheet && sheet->dimension().isValid()
        : csv && csv->rowCount() > 0 && csv->columnCount() > 0 && !m_input.rawInput.isEmpty();
    if (!hasData)
        return fail(tr("Fehler:"), tr("Es liegen noch keine Daten vor."));

    if (m_settings.useScript && !QFileInfo::exists(m_settings.scriptFileName)) {
        return fail(
            tr("Fehler:"),
            tr("Die Scriptdatei \r\n%1\r\nwurde nicht gefunden.").arg(m_settings.scriptFileName));
    }

    // Written to as trimmed, so that the name checked is the name written.
    m_outputPath = m_settings.exportFileName.trimmed();
    if (m_outputPath.isEmpty())
        return fail(tr("Fehler:"), tr("Es muss eine Ausgabedatei ausgewählt werden."));

    if (nameLookupError(m_outputPath) == 0 &&
        (wouldReplace(m_outputPath, m_settings.inputFileName) ||
         wouldReplace(m_outputPath, m_settings.loadedFileName))) {
        return fail(tr("Fehler:"),
                    tr("Die Eingabedatei und die Ausgabedatei müssen unterschiedlich sein."));
    }
    if (!mayWrite(m_outputPath, Written::Output))
        return false;

    const bool xlsxName = m_outputPath.endsWith(xlsxSuffix, Qt::CaseInsensitive);
    if (m_input.isXlsx && !xlsxName)
        return fail(tr("Fehler:"), tr("Die Dateiendung der Ausgabedatei muss .xlsx sein."));
    if (!m_input.isXlsx && xlsxName)
        return fail(tr("Fehler:"), tr("Die Dateiendung der Ausgabedatei darf nicht .xlsx sein."));

    if (!m_input.isXlsx) {
        m_outputTarget = std::make_unique<OutputTarget>(m_outputPath);
        if (!m_outputTarget->open())
            return failWriting(tr("Fehler:"), *m_outputTarget);
    }
    return true;
}

QList<ProcessingRun::KeptFile> ProcessingRun::keptFiles(Written file) const
{
    // By identity, as for the input: a link or another spelling of the options file would
    // otherwise put a table where the key was.
    QList<KeptFile> kept {
        {m_settings.inputFileName, tr("die Eingabedatei")},
        {m_settings.loadedFileName, tr("die Eingabedatei")},
        {m_settings.optionsFileName, tr("die Optionsdatei mit dem Schlüssel")},
        {m_settings.optionsLockFileName, tr("die Sperrdatei der Optionsdatei")},
        {m_settings.optionsBackupFileName, tr("die Sicherungskopie der Optionsdatei")},
        {m_settings.scriptFileName, tr("die Scriptdatei")},
        {m_settings.configurationFileName, tr("die Konfigurationsdatei")},
    };
    if (file == Written::Output)
        kept.append({m_settings.lastMappingFileName, tr("die Zuordnungsdatei des letzten Laufs")});
    else
        kept.append({m_outputPath, tr("die Ausgabedatei")});
    return kept;
}

bool ProcessingRun::mayWrite(const QString &path, Written file)
{
    const QString title = file == Written::Mapping ? tr("Info:") : tr("Fehler:");
    // A save file follows links further than the checks below can see.
    if (const int error = nameLookupError(path); error != 0) {
        return fail(
            title,
            FileErrorMessage::text(notCreated(file), path,
                                   FileErrorMessage::reason(path, FileErrorMessage::Access::Write,
                                                            QFileDevice::UnspecifiedError, error)));
    }
    for (const KeptFile &kept : keptFiles(file)) {
        if (!wouldReplace(path, kept.path))
            continue;
        const QString text = file == Written::Mapping
            ? tr("Die Zuordnungsdatei darf nicht %1 ersetzen:\r\n%2")
            : tr("Die Ausgabedatei darf nicht %1 ersetzen:\r\n%2");
        return fail(title, text.arg(kept.name, QDir::toNativeSeparators(path)));
    }
    return true;
}

bool ProcessingRun::makeOutputCopy()
{
    const QString incomplete =
        tr("Die Daten wurden nicht vollständig geladen. Bitte die Eingabedatei neu laden.");
    if (!m_input.isXlsx) {
        m_result.outputCsvModel.reset(
            OutputCopy::ofCsv(*m_input.csvModel, m_input.rawInput, m_settings, m_threads)
                .release());
        if (!OutputCopy::matches(*m_input.csvModel, *m_result.outputCsvModel))
            return fail(tr("Fehler:"), incomplete);
        return true;
    }

    m_result.outputDocument.reset(
        OutputCopy::ofXlsx(*m_input.document, m_input.rawInput, m_settings.inputEditable)
            .release());
    if (m_result.outputDocument->sheetNames().isEmpty()) {
        // The loader's own message for a workbook it cannot read.
        return fail(
            tr("Dateifehler:"),
            QStringLiteral("Datei:\r\n%1\r\nDatei ist leer.").arg(m_settings.inputFileName));
    }
    if (!OutputCopy::matches(*m_input.document, *m_result.outputDocument))
        return fail(tr("Fehler:"), incomplete);
    return true;
}

bool ProcessingRun::chooseKey()
{
    const RunKey key = RunKey::choose(m_settings.storedKey);
    m_key = key.key;
    if (!key.isNew)
        return true;
    qCInfo(lcRun) << "The stored key is unusable; a new key was made";
    // Nothing is written with a key that is not kept: its output could not be made again.
    const QString error = m_keyStore ? m_keyStore(key.key) : QString();
    if (!error.isEmpty())
        return fail(tr("Dateifehler:"), error);
    m_result.newKey = key.key;
    return true;
}

bool ProcessingRun::pseudonymise()
{
    PseudoSettings engineSettings;
    engineSettings.simulateReal = m_settings.simulateReal;
    engineSettings.maxShiftDays = m_settings.dateMaxShiftDays;
    const Pseudonymizer engine(m_key, engineSettings);

    PseudoContext context(engine, m_settings.dateText);
    context.intScaleFactor = m_settings.intScaleFactor;
    context.floatScaleFactor = m_settings.floatScaleFactor;
    context.floatScaleFactorGreater1 = m_settings.floatScaleFactorGreater1;
    context.dateShiftPerDataSet = m_settings.dateShiftPerDataSet;

    if (!m_input.isXlsx) {
        ResultCache cache(context, ResultCache::Mode::Text);
        CsvPass pass(*m_input.csvModel, *m_result.outputCsvModel);
        pass.run(m_settings, cache, m_threads);
        m_result.unreadValues = pass.unreadValues();
        m_result.mapping = cache.takeMapping();
        return true;
    }

    ResultCache cache(context, ResultCache::Mode::Typed);
    XlsxPass pass(*m_input.document, *m_result.outputDocument);
    if (!pass.run(m_settings, cache, m_threads))
        return fail(tr("Info:"), tr("Die Ausgabedatei konnte nicht erstellt werden."));
    m_result.unreadValues = pass.unreadValues();
    m_result.mapping = cache.takeMapping();
    m_result.outputSheetModel.reset(new QXlsx::SheetModel(m_result.outputDocument));
    return true;
}

void ProcessingRun::runScript()
{
    if (!m_settings.useScript || !m_scriptStep)
        return;
    ScriptTarget target;
    target.isXlsx = m_input.isXlsx;
    target.hasTitle = m_settings.hasTitle;
    if (m_input.isXlsx) {
        target.model = m_result.outputSheetModel.data();
        target.document = m_result.outputDocument.data();
        target.firstRow =
            RowAddressing::forSheet(m_settings.hasTitle, m_settings.rowOffset).dataRow - 1;
        target.date1904 = m_input.document->workbook()->isDate1904();
    } else {
        target.model = m_result.outputCsvModel.data();
        target.firstRow = RowAddressing::forCsv(m_settings.hasTitle, m_settings.rowOffset).dataRow;
    }
    if (target.model)
        m_scriptStep(target);
}

bool ProcessingRun::writeCsvOutput()
{
    const RowAddressing rows = RowAddressing::forCsv(m_settings.hasTitle, m_settings.rowOffset);
    CsvOutputFile::Layout layout;
    layout.rawInput = m_input.rawInput;
    layout.rowPositions = m_input.csvModel->rowPositions();
    layout.startRow = m_settings.hasTitle ? rows.titleRow : rows.dataRow;
    layout.inputHasBom = m_settings.inputHasBom;
    layout.removeMetaData = m_settings.removeMetaData;
    layout.separator = m_settings.separator;
    layout.quoteMode = m_settings.writeQuoteMode;
    layout.codec = m_settings.codec;

    const bool written =
        CsvOutputFile(layout).write(m_outputTarget->device(), *m_result.outputCsvModel, m_threads);
    if (!m_outputTarget->complete(written))
        return failWriting(tr("Info:"), *m_outputTarget);
    return true;
}

bool ProcessingRun::writeXlsxOutput()
{
    if (!mayWrite(m_outputPath, Written::Output))
        return false;
    m_outputTarget = std::make_unique<OutputTarget>(m_outputPath);
    const bool written =
        m_outputTarget->open() && m_result.outputDocument->saveAs(m_outputTarget->device());
    if (!m_outputTarget->complete(written))
        return failWriting(tr("Info:"), *m_outputTarget);
    return true;
}

bool ProcessingRun::writeMappingFile()
{
    m_mappingPath = MappingFile::pathFor(m_outputPath);
    if (!mayWrite(m_mappingPath, Written::Mapping))
        return false;

    m_mappingTarget = std::make_unique<OutputTarget>(m_mappingPath);
    // It turns the pseudonyms back into the originals: as private as the key.
    m_mappingTarget->setOwnerOnly(true);
    const bool written = m_mappingTarget->open() &&
        MappingFile(m_result.mapping, m_settings.columnCaptions)
            .write(m_mappingTarget->device(), m_settings.separator, m_settings.writeQuoteMode,
                   vondrel::encodingForCodec(m_settings.codec), m_threads);
    if (!m_mappingTarget->complete(written))
        return failWriting(tr("Info:"), *m_mappingTarget);
    return true;
}

bool ProcessingRun::commitFiles()
{
    // Both complete and on the disk by now: from here on only the two renames.
    if (!mayWrite(m_outputPath, Written::Output) ||
        (m_mappingTarget && !mayWrite(m_mappingPath, Written::Mapping)))
        return false;
    // The mapping file goes first: it is normally new, so when the output then cannot
    // replace its old file the mapping file is taken back and neither file has changed.
    const bool mappingIsNew = !QFileInfo::exists(m_mappingPath);
    if (m_mappingTarget && !m_mappingTarget->commit())
        return failWriting(tr("Info:"), *m_mappingTarget);
    if (!m_outputTarget->commit()) {
        if (m_mappingTarget && mappingIsNew)
            QFile::remove(m_mappingPath);
        return failWriting(tr("Info:"), *m_outputTarget);
    }
    m_result.writtenFiles << m_outputPath;
    if (m_mappingTarget)
        m_result.writtenFiles << m_mappingPath;
    return true;
}
