#include "SheetModel.h"

#include "CellDisplayText.h"
#include "TablesLog.h"

#include <xlsx/Cell.h>
#include <xlsx/CellReference.h>
#include <xlsx/Document.h>
#include <xlsx/Format.h>
#include <xlsx/Worksheet.h>

#include <QBrush>
#include <QFont>

#include <optional>

namespace QXlsx {

namespace {

Qt::Alignment alignmentOf(const Format &format)
{
    Qt::Alignment alignment;
    switch (format.horizontalAlignment()) {
    case Format::AlignLeft:
        alignment |= Qt::AlignLeft;
        break;
    case Format::AlignHCenter:
        alignment |= Qt::AlignHCenter;
        break;
    case Format::AlignRight:
        alignment |= Qt::AlignRight;
        break;
    case Format::AlignHJustify:
        alignment |= Qt::AlignJustify;
        break;
    default:
        break;
    }
    switch (format.verticalAlignment()) {
    case Format::AlignTop:
        alignment |= Qt::AlignTop;
        break;
    case Format::AlignVCenter:
        alignment |= Qt::AlignVCenter;
        break;
    case Format::AlignBottom:
        alignment |= Qt::AlignBottom;
        break;
    default:
        break;
    }
    return alignment;
}

QVariant solidBrush(const QColor &color)
{
    return color.isValid() ? QVariant::fromValue(QBrush(color)) : QVariant();
}

} // namespace

class SheetModelPrivate
{
public:
    const Cell *cellAt(const QModelIndex &index) const
    {
        return sheet ? sheet->cellAt(index.row() + 1, index.column() + 1) : nullptr;
    }

    QSharedPointer<Document> document; // set when the model keeps the worksheet's owner alive
    Worksheet *sheet = nullptr;
    // Columns that appendColumns announced. The sheet's used range grows into them as values
    // are written, so they are counted once, not on top of the used range.
    int announcedColumns = 0;
};

SheetModel::SheetModel(const QSharedPointer<Document> &document, QObject *parent)
    : SheetModel(document ? document->currentWorksheet() : nullptr, parent)
{
    d->document = document;
}

SheetModel::SheetModel(Worksheet *sheet, QObject *parent)
    : QAbstractTableModel(parent)
    , d(std::make_unique<SheetModelPrivate>())
{
    d->sheet = sheet;
}

SheetModel::~SheetModel() = default;

bool SheetModel::appendColumns(int count)
{
    if (count < 1 || !d->sheet)
        return false;
    const int first = columnCount();
    if (count > MaxColumnCount - first) {
        qCWarning(lcTables) << "cannot append" << count << "columns after column" << first;
        return false;
    }
    beginInsertColumns(QModelIndex(), first, first + count - 1);
    d->announcedColumns = first + count;
    endInsertColumns();
    return true;
}

int SheetModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid() || !d->sheet)
        return 0;
    return d->sheet->dimension().lastRow();
}

int SheetModel::columnCount(const QModelIndex &parent) const
{
    if (parent.isValid() || !d->sheet)
        return 0;
    return qMax(d->sheet->dimension().lastColumn(), d->announcedColumns);
}

QVariant SheetModel::data(const QModelIndex &index, int role) const
{
    const Cell *cell = index.isValid() ? d->cellAt(index) : nullptr;
    if (!cell)
        return {};
    const Format format = cell->format();
    switch (role) {
    case Qt::DisplayRole:
        return cell->isDateTime() ? QVariant(cellDisplayText(cell)) : cell->value();
    case Qt::EditRole:
        return d->sheet->read(index.row() + 1, index.column() + 1);
    case Qt::FontRole:
        return format.hasFontData() ? QVariant::fromValue(format.font()) : QVariant();
    case Qt::TextAlignmentRole:
        return int(alignmentOf(format));
    case Qt::BackgroundRole:
        return solidBrush(format.patternBackgroundColor());
    case Qt::ForegroundRole:
        return solidBrush(format.fontColor());
    default:
        return {};
    }
}

bool SheetModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || !d->sheet)
        return false;
    const int row = index.row() + 1;
    const int column = index.column() + 1;
    if (!CellReference(row, column).isValid()) {
        qCDebug(lcTables) << "write outside the sheet refused at row" << row << "column" << column;
        return false;
    }
    // The worksheet blanks a cell that cannot hold the value, so that a run never leaves an
    // original behind; an edit that is refused must change nothing instead, so the cell as it
    // was is put back.
    const Cell *existing = d->sheet->cellAt(row, column);
    const std::optional<Cell> before =
        existing ? std::optional<Cell>(*existing) : std::optional<Cell>();
    if (!d->sheet->write(row, column, value)) {
        if (before)
            d->sheet->cells().obtain(row, column) = *before;
        qCDebug(lcTables) << "a sheet cell cannot hold the value of type" << value.typeName();
        return false;
    }
    emit dataChanged(index, index, {Qt::EditRole, Qt::DisplayRole});
    return true;
}

QVariant SheetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || section < 0)
        return {};
    return orientation == Qt::Horizontal ? columnLetters(section + 1)
                                         : QString::number(section + 1);
}

Qt::ItemFlags SheetModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemIsEnabled;
}

} // namespace QXlsx
