#pragma once

#include "MappingColumn.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QSharedPointer>
#include <QString>
#include <QStringList>

class QxtCsvModel;

namespace QXlsx {
class Document;
class SheetModel;
} // namespace QXlsx

// What a processing run reports back to the main window.
struct RunResult
{
    // The output file was written and committed, and so was the mapping file when asked for.
    bool success = false;
    // The message to show the user (title and text); empty when there is nothing to show.
    QString messageTitle;
    QString messageText;
    // A new key the run made because the stored one was unusable; empty otherwise. It has
    // already been handed to the run's key store.
    QByteArray newKey;
    // The replacements by column position, each in order of first occurrence.
    QMap<int, MappingColumn> mapping;
    // Per column position: the cells whose non-blank text could not be read as the date or
    // date-time the column's field type needs, and which are therefore empty in the output.
    // Only columns with such cells.
    QMap<int, qsizetype> unreadValues;
    // The files written, output first.
    QStringList writtenFiles;
    // The output side for the output view, once the copy was made: a CSV model, or a workbook
    // with a sheet model over its current sheet.
    QSharedPointer<QxtCsvModel> outputCsvModel;
    QSharedPointer<QXlsx::Document> outputDocument;
    QSharedPointer<QXlsx::SheetModel> outputSheetModel;
};
