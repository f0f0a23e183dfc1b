#pragma once

// Where the title and the data of a table are, from the row offset of the form: CSV rows are
// 0-based model rows, sheet rows 1-based.
struct RowAddressing
{
    static RowAddressing forCsv(bool hasTitle, int rowOffset);
    static RowAddressing forSheet(bool hasTitle, int rowOffset);

    // The title row; -1 without a title.
    int titleRow = -1;
    // The first data row.
    int dataRow = 0;
};
