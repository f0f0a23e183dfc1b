#pragma once

#include "CsvReader.h"
#include "CsvTable.h"

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>

#include <functional>
#include <memory>

class QIODevice;
class QTextCodec;
class QxtCsvModelPrivate;

namespace vondrel {
class CsvModelRows;
} // namespace vondrel

// The table model of CSV and TXT data: rows of text fields (rows may differ in length),
// an optional header list, and the CSV reader and writer that fill and save it.
class QxtCsvModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum QuoteFlag {
        QuoteSingle = 1,
        QuoteDouble = 2,
        EscapeDoubledQuote = 4,
        EscapeBackslash = 8,
        QuoteAlways = 16,
        RelaxedInput = 32,
    };
    Q_DECLARE_FLAGS(QuoteFlags, QuoteFlag)

    // Makes the progress reporting of one read for a device of the given size. Without a hook
    // a read reports nothing: the program installs its progress dialog, tests their own.
    using ProgressHook = std::function<vondrel::CsvProgressCallback(qint64 deviceSize)>;
    static void setProgressHook(ProgressHook hook);

    explicit QxtCsvModel(QObject *parent = nullptr);
    ~QxtCsvModel() override;

    // Reports the progress of this model's reads here rather than through the hook, e.g.
    // for a read the user did not ask for. An empty callback restores the hook.
    void setProgressCallback(vondrel::CsvProgressCallback callback);

    // Replaces the rows by the device's CSV content; the header only when withHeader is set.
    // maxRows: -1 or a row limit; recordPositions: 0, -1 (all) or a count of records whose
    // end offsets to keep.
    void readCsv(QIODevice *device, bool withHeader, QChar separator, QTextCodec *codec,
                 int maxRows, int recordPositions);
    // The last read stopped early because the user cancelled it; the rows are partial.
    bool lastReadCancelled() const;
    // The last read could not open or read the device; the rows are partial or empty.
    bool lastReadFailed() const;

    // Writes the rows from startRow on; writes nothing, and succeeds, when startRow is past
    // the last row. False when the device could not be opened, a write failed or the
    // encoding cannot hold a character; a save file is then cancelled, not to be committed.
    bool writeCsv(QIODevice *device, bool withHeader, QChar separator, QTextCodec *codec,
                  int startRow);

    // Threads a read may use for large input: 0 (the default) one per core, 1 none but the
    // caller's. The rows read are the same.
    void setReadThreads(int threads);

    void setQuoteFlags(int mode);
    int quoteFlags() const;

    // When set, inserted columns also get entries in the header list.
    void setHasHeader(bool hasHeader);
    bool hasHeader() const;

    QString text(int row, int column) const;
    void setText(int row, int column, const QString &text);
    void setColumnHeader(int column, const QString &text);

    QList<qint64> rowPositions() const;
    void rowSlice(QList<QStringList> &target, int start, int count) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant &value,
                       int role = Qt::EditRole) override;
    bool insertRows(int row, int count, const QModelIndex &parent = QModelIndex()) override;
    bool insertColumns(int column, int count, const QModelIndex &parent = QModelIndex()) override;
    bool removeRows(int row, int count, const QModelIndex &parent = QModelIndex()) override;
    bool removeColumns(int column, int count, const QModelIndex &parent = QModelIndex()) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    // The processing run's access to the rows (see vondrel::CsvModelRows).
    friend class vondrel::CsvModelRows;
    bool holdsReadOf(QChar separator, QTextCodec *codec, int quoteFlags) const;
    void copyRows(const QxtCsvModel &source, bool padRows);
    const vondrel::CsvTable &rows() const;
    void overlayColumn(int column, int firstRow, std::vector<qint32> entries,
                       std::shared_ptr<const vondrel::CsvColumnTexts> texts);

    std::unique_ptr<QxtCsvModelPrivate> d;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(QxtCsvModel::QuoteFlags)
