#pragma once

#include <QAbstractTableModel>
#include <QSharedPointer>

#include <memory>

namespace QXlsx {

class Document;
class SheetModelPrivate;
class Worksheet;

// The table model of one worksheet for the table views and the script object. Model cell
// (row, column) is sheet cell (row + 1, column + 1), so the model starts at A1 whatever the
// first used cell is. Dates show through the cell's number format, the edit role gives the
// value as a user edits it, and fonts, colours and alignment come from the cell formats.
// Columns are labelled A, B, ..., rows 1, 2, ...
class SheetModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    // Shows the document's current worksheet and keeps the document alive as long as the model.
    explicit SheetModel(const QSharedPointer<Document> &document, QObject *parent = nullptr);
    // Shows a worksheet owned by the caller, which must outlive the model. Without a worksheet
    // the model is empty.
    explicit SheetModel(Worksheet *sheet, QObject *parent = nullptr);
    ~SheetModel() override;

    // Adds count empty columns after the last one, for values still to be written. False for a
    // count below 1, without a worksheet, or when the sheet could not hold the columns.
    bool appendColumns(int count);

    // The last used row; counts nothing under a valid parent, as a table does.
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    // The last used column or, when larger, the columns announced by appendColumns.
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    // Writes an edit-role value by its type and keeps the cell's format. False for other roles
    // and for values or positions a sheet cannot hold; the cell then keeps what it held.
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    std::unique_ptr<SheetModelPrivate> d;
};

} // namespace QXlsx
