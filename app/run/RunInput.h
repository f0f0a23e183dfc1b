#pragma once

#include <QByteArray>

class QxtCsvModel;

namespace QXlsx {
class Document;
}

// The loaded input of a run, owned by the main window. The run reads it; an edited input is
// serialised for the output copy, which leaves the input as it was.
struct RunInput
{
    // Which kind of input the run treats; decided once, from the input file's name.
    bool isXlsx = false;
    // CSV input: the loaded table.
    QxtCsvModel *csvModel = nullptr;
    // XLSX input: the loaded workbook, the chosen sheet current.
    QXlsx::Document *document = nullptr;
    // The input file's bytes as read.
    QByteArray rawInput;
};
