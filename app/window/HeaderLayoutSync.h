#pragma once

class QTableView;

// Makes the columns of to look like those of from: the order the user dragged them into,
// hidden columns, widths, the stretching of the last one and the header alignment. Nothing
// happens unless both views show a model; only the columns both models have are touched.
void syncHeaderLayout(const QTableView *from, QTableView *to);
