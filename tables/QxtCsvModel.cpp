#include "QxtCsvModel.h"

#include "CsvTable.h"
#include "CsvWriter.h"
#include "TextCodecBridge.h"

#include <QIODevice>

#include <optional>

using vondrel::CsvTable;

class QxtCsvModelPrivate
{
public:
    CsvTable rowData;
    QStringList headerTexts;
    int widestRow = 0;
    int quoteFlags = QxtCsvModel::QuoteSingle | QxtCsvModel::QuoteDouble |
        QxtCsvModel::EscapeBackslash | QxtCsvModel::QuoteAlways;
    QList<qint64> rowPositions;
    int readThreads = 0;
    bool hasHeader = false;
    bool lastReadCancelled = false;
    bool lastReadFailed = false;
    vondrel::CsvProgressCallback progress;
    // What the last read was made with; cleared by any change of the rows.
    struct ReadFormat
    {
        QChar separator;
        QTextCodec *codec = nullptr;
        int quoteFlags = 0;
    };
    std::optional<ReadFormat> readFormat;
};

namespace {

QxtCsvModel::ProgressHook &progressHook()
{
    static QxtCsvModel::ProgressHook hook;
    return hook;
}

bool isTextRole(int role)
{
    return role == Qt::DisplayRole || role == Qt::EditRole || role == Qt::UserRole;
}

// The part of a sequence of the given size that QList::mid(start, count) would take.
std::pair<int, int> midRange(int size, int start, int count)
{
    if (start > size)
        return {0, 0};
    if (start < 0) {
        if (count < 0 || qint64(count) + start >= size)
            return {0, size};
        if (qint64(count) + start <= 0)
            return {0, 0};
        return {0, count + start};
    }
    if (count < 0 || count > size - start)
        count = size - start;
    return {start, count};
}

} // namespace

void QxtCsvModel::setProgressHook(ProgressHook hook)
{
    progressHook() = std::move(hook);
}

QxtCsvModel::QxtCsvModel(QObject *parent)
    : QAbstractTableModel(parent)
    , d(std::make_unique<QxtCsvModelPrivate>())
{ }

QxtCsvModel::~QxtCsvModel() = default;

void QxtCsvModel::readCsv(QIODevice *device, bool withHeader, QChar separator, QTextCodec *codec,
                          int maxRows, int recordPositions)
{
    vondrel::CsvReadOptions options;
    options.separator = separator;
    options.quoteFlags = d->quoteFlags;
    options.withHeader = withHeader;
    options.maxRows = maxRows;
    options.recordPositions = recordPositions;
    options.threads = d->readThreads;

    vondrel::CsvReader reader(options);
    reader.setEncoding(vondrel::encodingForCodec(codec));
    const qint64 deviceSize = device ? device->size() : 0;
    const ProgressHook &hook = progressHook();
    reader.setProgressCallback(d->progress ? d->progress
                                   : hook  ? hook(deviceSize)
                                           : vondrel::CsvProgressCallback());
    vondrel::CsvReadResult result = reader.read(device);

    beginResetModel();
    d->rowData = std::move(result.rows);
    d->rowPositions = std::move(result.positions);
    const int headerWidth = withHeader ? 0 : int(d->headerTexts.size());
    if (result.headerRead)
        d->headerTexts = std::move(result.header);
    d->widestRow = qMax(headerWidth, result.widestRow);
    d->lastReadCancelled = result.cancelled;
    d->lastReadFailed = result.failed;
    d->readFormat.reset();
    if (!result.cancelled && !result.failed && maxRows < 0)
        d->readFormat = QxtCsvModelPrivate::ReadFormat {separator, codec, d->quoteFlags};
    endResetModel();
}

void QxtCsvModel::setReadThreads(int threads)
{
    d->readThreads = threads;
}

void QxtCsvModel::setProgressCallback(vondrel::CsvProgressCallback callback)
{
    d->progress = std::move(callback);
}

bool QxtCsvModel::lastReadCancelled() const
{
    return d->lastReadCancelled;
}

bool QxtCsvModel::lastReadFailed() const
{
    return d->lastReadFailed;
}

bool QxtCsvModel::writeCsv(QIODevice *device, bool withHeader, QChar separator, QTextCodec *codec,
                           int startRow)
{
    const int rows = rowCount();
    const int columns = columnCount();
    const int firstRow = qMax(0, startRow);
    if (firstRow >= rows)
        return true;

    vondrel::CsvWriter writer(device, separator, d->quoteFlags, vondrel::encodingForCodec(codec));
    if (!writer.open())
        return false;
    if (withHeader) {
        const int available = int(d->headerTexts.size());
        for (int column = 0; column < columns; ++column)
            writer.writeField(column < available ? QStringView(d->headerTexts.at(column))
                                                 : QStringView());
        writer.endRecord();
    }
    std::vector<QStringView> fields;
    for (int row = firstRow; row < rows && !writer.failed(); ++row) {
        d->rowData.rowFields(row, fields);
        for (int column = 0; column < columns; ++column)
            writer.writeField(size_t(column) < fields.size() ? fields[size_t(column)]
                                                             : QStringView());
        writer.endRecord();
    }
    return writer.close();
}

void QxtCsvModel::setQuoteFlags(int mode)
{
    d->quoteFlags = mode;
}

int QxtCsvModel::quoteFlags() const
{
    return d->quoteFlags;
}

void QxtCsvModel::setHasHeader(bool hasHeader)
{
    d->hasHeader = hasHeader;
}

bool QxtCsvModel::hasHeader() const
{
    return d->hasHeader;
}

QString QxtCsvModel::text(int row, int column) const
{
    return data(index(row, column)).toString();
}

void QxtCsvModel::setText(int row, int column, const QString &text)
{
    setData(index(row, column), text, Qt::EditRole);
}

void QxtCsvModel::setColumnHeader(int column, const QString &text)
{
    setHeaderData(column, Qt::Horizontal, text, Qt::DisplayRole);
}

bool QxtCsvModel::holdsReadOf(QChar separator, QTextCodec *codec, int quoteFlags) const
{
    return d->readFormat && d->readFormat->separator == separator &&
        d->readFormat->codec == codec && d->readFormat->quoteFlags == quoteFlags;
}

void QxtCsvModel::copyRows(const QxtCsvModel &source, bool padRows)
{
    beginResetModel();
    d->rowData = source.d->rowData;
    d->widestRow = source.d->widestRow;
    d->readFormat.reset();
    if (padRows) {
        for (int row = 0; row < d->rowData.rowCount(); ++row) {
            if (d->rowData.fieldCount(row) < d->widestRow)
                d->rowData.setField(row, d->widestRow - 1, QStringView());
        }
    }
    endResetModel();
}

const vondrel::CsvTable &QxtCsvModel::rows() const
{
    return d->rowData;
}

void QxtCsvModel::overlayColumn(int column, int firstRow, std::vector<qint32> entries,
                                std::shared_ptr<const vondrel::CsvColumnTexts> texts)
{
    d->readFormat.reset();
    d->rowData.overlayColumn(column, firstRow, std::move(entries), std::move(texts));
    if (firstRow < rowCount() && column < columnCount())
        emit dataChanged(index(qMax(0, firstRow), column), index(rowCount() - 1, column));
}

QList<qint64> QxtCsvModel::rowPositions() const
{
    return d->rowPositions;
}

void QxtCsvModel::rowSlice(QList<QStringList> &target, int start, int count) const
{
    const auto [first, length] = midRange(rowCount(), start, count);
    target.reserve(target.size() + length);
    for (int row = first; row < first + length; ++row)
        target.append(d->rowData.fields(row));
}

int QxtCsvModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : d->rowData.rowCount();
}

int QxtCsvModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : d->widestRow;
}

QVariant QxtCsvModel::data(const QModelIndex &index, int role) const
{
    if (!isTextRole(role) || index.parent().isValid())
        return {};
    const int row = index.row();
    const int column = index.column();
    if (row < 0 || column < 0 || row >= rowCount())
        return {};
    if (column >= d->rowData.fieldCount(row))
        return {};
    return d->rowData.field(row, column).toString();
}

bool QxtCsvModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!isTextRole(role) || index.parent().isValid())
        return false;
    const int row = index.row();
    const int column = index.column();
    if (row < 0 || column < 0 || row >= rowCount() || column >= columnCount())
        return false;
    if (!d->rowData.setField(row, column, value.toString()))
        return false;
    d->readFormat.reset();
    emit dataChanged(index, index);
    return true;
}

QVariant QxtCsvModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && section >= 0 && section < d->headerTexts.size() &&
        isTextRole(role))
        return d->headerTexts.at(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

bool QxtCsvModel::setHeaderData(int section, Qt::Orientation orientation, const QVariant &value,
                                int role)
{
    // A header past the last column would announce a section the views do not have.
    if (orientation != Qt::Horizontal || (role != Qt::DisplayRole && role != Qt::EditRole) ||
        section < 0 || section >= columnCount())
        return false;
    while (d->headerTexts.size() <= section)
        d->headerTexts.append(QString());
    d->headerTexts[section] = value.toString();
    emit headerDataChanged(Qt::Horizontal, section, section);
    return true;
}

bool QxtCsvModel::insertRows(int row, int count, const QModelIndex &parent)
{
    if (parent.isValid() || row < 0 || count < 1)
        return false;
    // Rows asked for past the end are appended, and announced where they really go.
    const int first = qMin(row, rowCount());
    beginInsertRows(QModelIndex(), first, first + count - 1);
    d->rowData.insertRows(first, count);
    d->readFormat.reset();
    endInsertRows();
    return true;
}

bool QxtCsvModel::insertColumns(int column, int count, const QModelIndex &parent)
{
    if (parent.isValid() || column < 0 || count < 1)
        return false;
    // Every row gets its new fields at `column`; a gap past the last column becomes
    // columns too, so the announced range is one the views can follow.
    const int first = qMin(column, columnCount());
    const int newWidth = qMax(columnCount() + count, column + count);
    beginInsertColumns(QModelIndex(), first, first + newWidth - columnCount() - 1);
    d->rowData.insertColumns(column, count);
    d->readFormat.reset();
    if (d->hasHeader) {
        while (d->headerTexts.size() < column)
            d->headerTexts.append(QString());
        d->headerTexts.insert(column, count, QString());
    }
    d->widestRow = newWidth;
    endInsertColumns();
    return true;
}

bool QxtCsvModel::removeRows(int row, int count, const QModelIndex &parent)
{
    if (parent.isValid() || row < 0 || row >= rowCount() || count < 1)
        return false;
    count = qMin(count, rowCount() - row);
    beginRemoveRows(QModelIndex(), row, row + count - 1);
    d->rowData.removeRows(row, count);
    d->readFormat.reset();
    endRemoveRows();
    return true;
}

bool QxtCsvModel::removeColumns(int column, int count, const QModelIndex &parent)
{
    if (parent.isValid() || column < 0 || column >= columnCount() || count < 1)
        return false;
    count = qMin(count, columnCount() - column);
    beginRemoveColumns(QModelIndex(), column, column + count - 1);
    d->rowData.removeColumns(column, count);
    d->readFormat.reset();
    if (column < d->headerTexts.size())
        d->headerTexts.remove(column, qMin<qsizetype>(count, d->headerTexts.size() - column));
    d->widestRow -= count;
    endRemoveColumns();
    return true;
}

Qt::ItemFlags QxtCsvModel::flags(const QModelIndex &index) const
{
    const Qt::ItemFlags base = QAbstractTableModel::flags(index);
    // The root is no cell: views ask it about drops, never about editing.
    return index.isValid() ? base | Qt::ItemIsEditable : base;
}
