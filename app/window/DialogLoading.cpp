// Loading the input into the main window: reading the file, detecting the CSV format,
// choosing the sheet of a workbook, showing the table and keeping the column lists in step.

#include "Dialog.h"

#include "AppPrompt.h"
#include "HeaderLayoutSync.h"
#include "InputFileReader.h"
#include "UiLog.h"
#include "WaitCursor.h"

#include <kivra/Callbacks.h>
#include <kivra/ListData.h>
#include <kivra/Registry.h>
#include <kivra/Selection.h>
#include <run/ByteOrderMark.h>
#include <run/CellValueText.h>
#include <run/CsvFormatChoice.h>
#include <run/RowAddressing.h>
#include <run/SameFile.h>
#include <tables/CsvSniffer.h>
#include <tables/QxtCsvModel.h>
#include <tables/SheetModel.h>
#include <xlsx/CellReference.h>
#include <xlsx/Document.h>
#include <xlsx/Workbook.h>
#include <xlsx/Worksheet.h>

#include <QAbstractSpinBox>
#include <QBuffer>
#include <QComboBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QTableView>
#include <QTimer>

#include <algorithm>
#include <exception>
#include <limits>
#include <new>

// A CSV table read from bytes, not yet shown; with the format detected for it, if any.
struct Dialog::CsvLoad
{
    QSharedPointer<QxtCsvModel> model;
    int rowOffset = 1;
    bool detected = false;
    bool hasBom = false;
    int separatorId = 0; // 0: the separator choice stays
    QString encodingName;
};

// A workbook read from bytes with the sheet to show selected, not yet shown.
struct Dialog::XlsxLoad
{
    QSharedPointer<QXlsx::Document> document;
    QString sheet;
};

namespace {

const QString kEmptyDataFields = QStringLiteral("empty_data_fields");

QString fileErrorText(const QString &name, const QString &reason)
{
    return QStringLiteral("Datei:\r\n%1\r\n%2").arg(name, reason);
}

// A read that fails for want of memory, or for any other exception, fails like a file that
// cannot be read: the window keeps what it holds, and the form callback that started the load
// never sees the exception.
template<class Read>
bool readGuarded(QWidget *window, const QString &name, Read &&read)
{
    QString reason;
    try {
        return read();
    } catch (const std::bad_alloc &) {
        reason = Dialog::tr("Es ist nicht genug Arbeitsspeicher frei, um die Datei zu laden.");
    } catch (const std::exception &error) {
        qCWarning(lcUi) << "Reading the input failed:" << error.what();
        reason = Dialog::tr("Die Datei konnte nicht geladen werden.");
    }
    qCWarning(lcUi) << "The input could not be read";
    AppPrompt::information(window, Dialog::tr("Dateifehler:"), fileErrorText(name, reason));
    return false;
}

} // namespace

bool Dialog::loadInputFile(const QString &name, bool forOutput, bool detect, bool *bomOut,
                           bool reset)
{
    // A read lets events run (wait cursor, progress, sheet choice); a load started from
    // there would free the model that is being filled.
    if (m_loading)
        return false;
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty())
        return false;
    // Missing, or a folder on the way to the file while the user types: nothing to say yet.
    if (!QFileInfo(name).isFile())
        return false;

    const bool xlsx = trimmed.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive);
    QByteArray bytes;
    InputFileReader reader;
    if (!reader.read(name, bytes,
                     xlsx ? InputFileReader::Kind::Workbook : InputFileReader::Kind::Text)) {
        AppPrompt::information(this, tr("Dateifehler:"), fileErrorText(name, reader.errorString()));
        return false;
    }

    const QScopedValueRollback<bool> loading(m_loading, true);
    const bool changed = name != m_loadedInputName.toString();
    CsvLoad csv;
    XlsxLoad workbook;
    if (!readGuarded(this, name, [&] {
            return xlsx ? readXlsx(bytes, forOutput, workbook)
                        : readCsv(bytes, forOutput, detect, csv);
        }))
        return false;

    // Only a table that was read completely replaces what the window holds.
    if (changed && reset) {
        m_columnTemplates.clear();
        m_emptyFieldItems.clear();
        kivra::setListDataByName(QVariant::fromValue<kivra::T_LISTDATA_PTR>(&m_emptyFieldItems),
                                 &m_optionMap, kEmptyDataFields, 0, true, true, false, true);
    }
    m_inputChanged = changed;
    m_loadedInputName = name;
    m_rawInput = bytes;
    if (!forOutput)
        clearRunOutput();
    if (xlsx) {
        showXlsx(workbook, forOutput);
        return true;
    }
    // Without detection the mark is still known from the bytes, for a file not seen before.
    m_inputHasBom = csv.detected ? csv.hasBom : byteOrderMarkLength(bytes) > 0;
    showCsv(csv, forOutput);
    if (bomOut && bomOut != &m_inputHasBom)
        *bomOut = m_inputHasBom;
    return true;
}

bool Dialog::loadCsv(const QByteArray &bytes, bool forOutput, bool detect, bool *bomOut)
{
    if (m_loading)
        return false;
    const QScopedValueRollback<bool> loading(m_loading, true);
    CsvLoad csv;
    if (!readGuarded(this, m_inputFilename.toString(),
                     [&] { return readCsv(bytes, forOutput, detect, csv); }))
        return false;
    if (csv.detected && bomOut)
        *bomOut = csv.hasBom;
    showCsv(csv, forOutput);
    return true;
}

bool Dialog::loadXlsx(const QByteArray &bytes, bool forOutput)
{
    if (m_loading)
        return false;
    const QScopedValueRollback<bool> loading(m_loading, true);
    XlsxLoad workbook;
    if (!readGuarded(this, m_inputFilename.toString(),
                     [&] { return readXlsx(bytes, forOutput, workbook); }))
        return false;
    showXlsx(workbook, forOutput);
    return true;
}

bool Dialog::reloadInput(bool forOutput, bool detect, bool *bomOut)
{
    if (m_rawInput.isEmpty())
        return false;
    if (m_inputCsvModel)
        return loadCsv(m_rawInput, forOutput, detect, bomOut);
    if (m_inputSheetModel)
        return loadXlsx(m_rawInput, forOutput);
    return false;
}

void Dialog::refreshInput()
{
    const QString name = m_inputFilename.toString();
    if (!reportUnreadableInput(name))
        return;
    if (m_rawInput.isEmpty() || !isSameFile(name, m_loadedInputName.toString()))
        loadInputFile(name, false, true, nullptr, true);
    else
        reloadInput(false, false, nullptr);
}

bool Dialog::reportUnreadableInput(const QString &name)
{
    if (name.trimmed().isEmpty())
        return true;
    const QFileInfo file(name);
    QString reason;
    if (!file.exists())
        reason = tr("Die Datei wurde nicht gefunden.");
    else if (!file.isFile())
        reason = tr("Das ist keine Datei.");
    else if (!file.isReadable())
        reason = tr("Die Datei kann nicht gelesen werden.");
    else
        return true;
    AppPrompt::information(this, tr("Dateifehler:"), fileErrorText(name, reason));
    return false;
}

bool Dialog::inputIsXlsx() const
{
    return m_inputFilename.toString().trimmed().endsWith(QLatin1String(".xlsx"),
                                                         Qt::CaseInsensitive);
}

bool Dialog::readCsv(const QByteArray &bytes, bool forOutput, bool detect, CsvLoad &csv)
{
    const WaitCursor cursor;
    csv.model = QSharedPointer<QxtCsvModel>::create();
    csv.rowOffset = m_inputRowOffset.toInt();
    if (bytes.isEmpty())
        return true;

    const int quoteMode = csvQuoteMode(false);
    QTextCodec *codec = textCodec();
    QChar separator = csvSeparator();
    if (detect && !forOutput) {
        const CsvSniffResult sniffed = sniffCsvFormat(bytes, quoteMode);
        csv.detected = true;
        csv.hasBom = sniffed.hasBom;
        csv.separatorId = csvSeparatorId(sniffed.delimiter);
        if (csv.separatorId != 0)
            separator = csvSeparatorForId(csv.separatorId);
        csv.encodingName = csvEncodingName(sniffed);
        codec = csvCodecForName(csv.encodingName);
        csv.rowOffset = csvDetectedRowOffset(sniffed);
    }

    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    csv.model->setQuoteFlags(quoteMode);
    // The ends of the lines above the table, which a CSV output copies as they are.
    const int positions =
        int(std::min<qint64>(qint64(csv.rowOffset) + 10, std::numeric_limits<int>::max()));
    csv.model->readCsv(&buffer, false, separator, codec, -1, positions);
    // A partial table must never stand in for the file: its missing rows would be left out
    // of the output without a word.
    if (csv.model->lastReadCancelled() || csv.model->lastReadFailed()) {
        qCDebug(lcUi) << "CSV read cancelled or failed";
        return false;
    }
    return true;
}

void Dialog::showCsv(const CsvLoad &csv, bool forOutput)
{
    if (csv.detected)
        applyDetectedFormat(csv);

    QTableView *view = forOutput ? m_outputView : m_inputView;
    if (view) {
        view->clearSpans();
        view->horizontalHeader()->setStretchLastSection(false);
        view->setModel(nullptr);
    }
    (forOutput ? m_outputCsvModel : m_inputCsvModel) = csv.model;
    // One kind of input at a time; a workbook no longer shown is let go.
    m_inputSheetModel.reset();
    m_outputSheetModel.reset();
    m_inputDocument.reset();
    m_outputDocument.reset();
    setCsvOptionsEnabled(true);

    if (view)
        view->setModel(csv.model.data());
    showRowsFromDataStart(std::max(0, m_inputRowOffset.toInt() - 1));
    if (!forOutput)
        setupCsvColumns();
    if (!m_inputHasTitle.toBool()) {
        for (int column = 0; column < csv.model->columnCount(); ++column)
            csv.model->setHeaderData(column, Qt::Horizontal, QXlsx::columnLetters(column + 1),
                                     Qt::DisplayRole);
    }
    if (forOutput)
        QTimer::singleShot(0, this, [this] { syncHeaderLayout(m_inputView, m_outputView); });
    qCDebug(lcUi) << "text table shown:" << csv.model->rowCount() << "rows"
                  << csv.model->columnCount() << "columns";
}

void Dialog::applyDetectedFormat(const CsvLoad &csv)
{
    // The window shows what was detected, without that coming back as a change.
    if (auto *separator = kivra::findWidget<QComboBox>(
            &m_optionMap, QStringLiteral("sep_data_field"), kivra::kComboBox)) {
        const kivra::BlockEventGuard guard(separator);
        const int index = separator->findData(csv.separatorId, Qt::UserRole,
                                              Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (index >= 0)
            separator->setCurrentIndex(index);
    }
    if (auto *rowOffset = kivra::findWidget<QAbstractSpinBox>(
            &m_optionMap, QStringLiteral("input_row_offset"), kivra::kNumberSpinBox)) {
        const kivra::BlockEventGuard guard(rowOffset);
        rowOffset->setProperty("value", csv.rowOffset);
    }
    m_inputRowOffset = csv.rowOffset;
    selectEncoding(csv.encodingName);
}

void Dialog::selectEncoding(const QString &name)
{
    auto *encoding = kivra::findWidget<QComboBox>(&m_optionMap, QStringLiteral("text_encoding"),
                                                  kivra::kComboBox);
    if (!encoding)
        return;
    const kivra::BlockEventGuard guard(encoding);
    int index = encoding->findData(name, Qt::UserRole, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index < 0) {
        // An encoding the list lacks (UTF-16 without mark has a byte order) would otherwise
        // leave the old choice, and the table would be read with the wrong one.
        kivra::ListDataBinding list(&m_optionMap, QStringLiteral("text_encoding"), true);
        const auto listed = [&name](const kivra::T_LISTITEM &item) {
            return std::get<2>(item) == QVariant(name);
        };
        if (list.isBound() && std::none_of(list.data()->cbegin(), list.data()->cend(), listed))
            list.data()->push_back({name, false, name, {}});
        const QSignalBlocker blocker(encoding);
        encoding->addItem(name, name);
        index = encoding->count() - 1;
    }
    encoding->setCurrentIndex(index);
}

bool Dialog::readXlsx(const QByteArray &bytes, bool forOutput, XlsxLoad &workbook)
{
    WaitCursor cursor;
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    workbook.document = QSharedPointer<QXlsx::Document>::create(&buffer);
    const QStringList names = workbook.document->sheetNames();

    if (!names.isEmpty()) {
        if (forOutput) {
            workbook.sheet = m_selectedSheet;
        } else if (names.size() == 1) {
            workbook.sheet = names.constFirst();
        } else {
            cursor.restore();
            workbook.sheet = chooseSheet(*workbook.document);
        }
        workbook.document->selectSheet(workbook.sheet);
    }
    // A sheet without cells data (a damaged part) is as empty as a workbook without sheets.
    if (names.isEmpty() || !workbook.document->currentWorksheet()) {
        cursor.restore();
        qCDebug(lcUi) << "workbook without a worksheet to show";
        // What the workbook layer found wrong, where it knows: "empty" would send the user
        // looking for missing data in a file that is damaged.
        const QString reason = workbook.document->errorString();
        AppPrompt::information(
            this, tr("Dateifehler:"),
            fileErrorText(m_inputFilename.toString(),
                          reason.isEmpty() ? QStringLiteral("Datei ist leer.") : reason));
        return false;
    }
    return true;
}

QString Dialog::chooseSheet(const QXlsx::Document &document)
{
    // Hidden sheets stay choosable but marked; the one offered first is the first a user sees
    // in the workbook, since a hidden one seldom holds the data meant.
    const QStringList names = document.sheetNames();
    QStringList items;
    int firstVisible = -1;
    for (const QString &name : names) {
        const QXlsx::Worksheet *sheet = document.workbook()->sheet(name);
        const bool hidden = sheet && sheet->sheetState() != QXlsx::Worksheet::SheetVisible;
        if (!hidden && firstVisible < 0)
            firstVisible = int(items.size());
        items.append(hidden ? tr("%1 (ausgeblendet)").arg(name) : name);
    }
    const int offered = std::max(firstVisible, 0);
    const std::optional<QString> choice = AppPrompt::getItem(this, tr("Tabellenblatt auswählen"),
                                                             tr("Tabellenblatt:"), items, offered);
    if (!choice || choice->isEmpty())
        return names.at(offered);
    const qsizetype chosen = items.indexOf(*choice);
    return chosen >= 0 ? names.at(chosen) : *choice;
}

void Dialog::showXlsx(const XlsxLoad &workbook, bool forOutput)
{
    QTableView *view = forOutput ? m_outputView : m_inputView;
    if (view) {
        view->clearSpans();
        view->setModel(nullptr);
    }
    auto model = QSharedPointer<QXlsx::SheetModel>::create(workbook.document);
    (forOutput ? m_outputSheetModel : m_inputSheetModel) = model;
    (forOutput ? m_outputDocument : m_inputDocument) = workbook.document;
    if (!forOutput)
        m_selectedSheet = workbook.sheet;

    if (view) {
        view->setModel(model.data());
        view->horizontalHeader()->setStretchLastSection(true);
        const QXlsx::Worksheet *sheet = workbook.document->currentWorksheet();
        for (const QXlsx::CellRange &range : sheet->mergedCells())
            view->setSpan(range.firstRow() - 1, range.firstColumn() - 1, range.rowCount(),
                          range.columnCount());
    }
    showRowsFromDataStart(std::max(0, m_inputRowOffset.toInt() - 1));
    m_inputCsvModel.reset();
    m_outputCsvModel.reset();
    setCsvOptionsEnabled(false);
    if (forOutput)
        QTimer::singleShot(0, this, [this] { syncHeaderLayout(m_inputView, m_outputView); });
    else
        setupXlsxColumns();
    qCDebug(lcUi) << "sheet shown:" << model->rowCount() << "rows" << model->columnCount()
                  << "columns";
}

void Dialog::setupCsvColumns()
{
    if (!m_inputCsvModel)
        return;
    const int titleRow = RowAddressing::forCsv(true, m_inputRowOffset.toInt()).titleRow;
    const bool hasTitle = m_inputHasTitle.toBool();
    const QVariantList selected = kivra::selectedValues(&m_optionMap, kEmptyDataFields);
    ColumnList columns;
    for (int column = 0; column < m_inputCsvModel->columnCount(); ++column) {
        const QString id = QString::number(column + 1);
        columns.append({columnCaption(id, hasTitle, m_inputCsvModel->text(titleRow, column)), id});
    }
    applyEmptyDataFields(columns, selected);
    fillColumnCombo(columns);
}

void Dialog::setupXlsxColumns()
{
    if (!m_inputDocument || !m_inputSheetModel)
        return;
    const int titleRow = RowAddressing::forSheet(true, m_inputRowOffset.toInt()).titleRow;
    const bool hasTitle = m_inputHasTitle.toBool();
    const QVariantList selected = kivra::selectedValues(&m_optionMap, kEmptyDataFields);
    ColumnList columns;
    for (int column = 1; column <= m_inputSheetModel->columnCount(); ++column) {
        const QString id = QXlsx::columnLetters(column);
        const QXlsx::Cell *cell = hasTitle ? m_inputDocument->cellAt(titleRow, column) : nullptr;
        columns.append(
            {columnCaption(id, hasTitle, cell ? cellValueText(cell->value()) : QString()), id});
    }
    applyEmptyDataFields(columns, selected);
    fillColumnCombo(columns);
}

QString Dialog::columnCaption(const QString &id, bool hasTitle, const QString &title)
{
    return hasTitle ? QStringLiteral("%1 [%2]").arg(id, title) : id;
}

void Dialog::applyEmptyDataFields(const ColumnList &columns, const QVariantList &selected)
{
    m_emptyFieldItems.clear();
    m_emptyFieldItems.reserve(columns.size());
    for (const auto &[caption, id] : columns) {
        // Ids read back from a file may come as numbers; they still name their column.
        const bool checked =
            std::any_of(selected.cbegin(), selected.cend(), [&id = id](const QVariant &value) {
                return kivra::selectionMatches(id, value);
            });
        m_emptyFieldItems.push_back({caption, checked, id, {}});
    }
    // Handed over by pointer, so that the list stays the one the window reads.
    kivra::setListDataByName(QVariant::fromValue<kivra::T_LISTDATA_PTR>(&m_emptyFieldItems),
                             &m_optionMap, kEmptyDataFields, 0, true, true, false, true);
}

void Dialog::fillColumnCombo(const ColumnList &columns)
{
    {
        const QSignalBlocker blocker(m_columnCombo);
        m_columnCombo->clear();
        for (const auto &[caption, id] : columns)
            m_columnCombo->addItem(m_columnTemplates.contains(id) ? m_assignedIcon : QIcon(),
                                   caption, id);
        m_columnCombo->setMaxVisibleItems(std::max(1, m_columnCombo->count()));
        m_columnCombo->setCurrentIndex(-1);
    }
    // Emitted on purpose: the type chooser follows the first column.
    m_columnCombo->setCurrentIndex(0);
}

QVariant Dialog::currentChoice(const QString &key) const
{
    // Reads through a binding without write-back; the map is not changed.
    return kivra::firstSelectedValue(const_cast<QMap<QString, QVariant> *>(&m_optionMap), key,
                                     QVariant());
}

QTextCodec *Dialog::textCodec() const
{
    return csvCodecForName(currentChoice(QStringLiteral("text_encoding")).toString());
}

QChar Dialog::csvSeparator() const
{
    return csvSeparatorForId(currentChoice(QStringLiteral("sep_data_field")).toInt());
}

int Dialog::csvQuoteMode(bool forWriting) const
{
    return ::csvQuoteMode(currentChoice(QStringLiteral("sep_data_string")).toInt(),
                          currentChoice(QStringLiteral("sep_data_string_esc")).toInt(),
                          m_csvInputRelaxed.toBool(), forWriting);
}

void Dialog::showRowsFromDataStart(int count)
{
    const bool xlsx = inputIsXlsx();
    for (QTableView *view : {m_inputView.data(), m_outputView.data()}) {
        if (!view)
            continue;
        const bool hasModel = view == m_inputView
            ? (xlsx ? bool(m_inputSheetModel) : bool(m_inputCsvModel))
            : (xlsx ? bool(m_outputSheetModel) : bool(m_outputCsvModel));
        if (!hasModel || !view->model())
            continue;
        view->setUpdatesEnabled(false);
        QHeaderView *rows = view->verticalHeader();
        // Showing a million rows one by one takes long; most views hide none.
        if (rows->hiddenSectionCount() > 0) {
            for (int row = 0; row < view->model()->rowCount(); ++row)
                view->setRowHidden(row, false);
        }
        const int hidden = std::min(count, view->model()->rowCount());
        for (int row = 0; row < hidden; ++row)
            view->setRowHidden(row, true);
        view->setUpdatesEnabled(true);
    }
}

void Dialog::rowOffsetReloadSlot()
{
    if (m_loading) {
        // Tried again once the load that is running has finished.
        QTimer::singleShot(100, this, &Dialog::rowOffsetReloadSlot);
        return;
    }
    if (inputIsXlsx()) {
        showRowsFromDataStart(std::max(0, m_inputRowOffset.toInt() - 1));
        setupXlsxColumns();
        return;
    }
    setFocus(Qt::OtherFocusReason);
    reloadInput(false, false, nullptr);
}

void Dialog::titleReloadSlot()
{
    if (m_loading) {
        QTimer::singleShot(100, this, &Dialog::titleReloadSlot);
        return;
    }
    if (inputIsXlsx()) {
        setupXlsxColumns();
        return;
    }
    setFocus(Qt::OtherFocusReason);
    reloadInput(false, false, nullptr);
}
