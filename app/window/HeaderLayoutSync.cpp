#include "HeaderLayoutSync.h"

#include <QAbstractItemModel>
#include <QHeaderView>
#include <QSignalBlocker>
#include <QTableView>

#include <algorithm>

void syncHeaderLayout(const QTableView *from, QTableView *to)
{
    if (!from || !to || !from->model() || !to->model())
        return;
    const QHeaderView *source = from->horizontalHeader();
    QHeaderView *target = to->horizontalHeader();
    target->setStretchLastSection(source->stretchLastSection());
    target->setDefaultAlignment(source->defaultAlignment());
    target->setSectionsMovable(true);

    const QSignalBlocker blocker(target);
    const int count = std::min(from->model()->columnCount(), to->model()->columnCount());
    for (int visual = 0; visual < count; ++visual) {
        const int logical = source->logicalIndex(visual);
        const int current = target->visualIndex(logical);
        if (current != visual && current != -1)
            target->moveSection(current, visual);
    }
    for (int column = 0; column < count; ++column) {
        to->setColumnHidden(column, from->isColumnHidden(column));
        to->setColumnWidth(column, from->columnWidth(column));
    }
}
