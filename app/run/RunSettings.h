#pragma once

#include <engine/DateTextSettings.h>

#include <QByteArray>
#include <QChar>
#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>

class QTextCodec;

// Everything a processing run reads from the main window, taken once when the run starts, so
// that the run itself needs no window. Columns are given by their position in the column
// lists (0-based): a CSV model column, or a sheet column minus one.
struct RunSettings
{
    // The input field's text and the file the loaded bytes were read from (they differ when
    // the field was edited without loading).
    QString inputFileName;
    QString loadedFileName;
    // The output field's text as typed; the run writes to it trimmed.
    QString exportFileName;
    bool createMappingFile = false;
    bool useScript = false;
    QString scriptFileName;
    // Files that neither the output nor the mapping file may ever replace, besides the input
    // and the script: the options file that holds the key, the lock its writer takes and the
    // copy it keeps of a damaged one, the configuration last saved or loaded.
    QString optionsFileName;
    QString optionsLockFileName;
    QString optionsBackupFileName;
    QString configurationFileName;
    // The mapping file of the window's last run, the only way back from its pseudonyms: the
    // output may not replace it. A mapping file of the same name replaces it, as it does an
    // earlier mapping file written within the same second.
    QString lastMappingFileName;

    // The input view may be edited, so the output starts from the edited table.
    bool inputEditable = true;
    bool hasTitle = true;
    // 1-based line where the table begins (its title line when hasTitle); below 1 counts as 1.
    int rowOffset = 1;
    // Leave the lines above the table out of a CSV output.
    bool removeMetaData = false;

    // The CSV format of the input, also used for the CSV output and the mapping file. A null
    // codec means the CSV reader's own Unicode detection and UTF-8 output.
    QTextCodec *codec = nullptr;
    QChar separator = u';';
    int readQuoteMode = 0;
    int writeQuoteMode = 0;
    // The last format detection found a byte-order mark at the start of the input.
    bool inputHasBom = false;

    // The key as stored in the options; replaced by a new one when unusable.
    QByteArray storedKey;
    bool simulateReal = false;
    int dateMaxShiftDays = 365;
    double intScaleFactor = 1;
    double floatScaleFactor = 1;
    bool floatScaleFactorGreater1 = true;
    bool saveFloatAsText = false;
    bool dateShiftPerDataSet = true;
    bool saveDateAsText = false;
    bool saveDateTimeAsText = false;
    vondrel::DateTextSettings dateText;

    // Template (a placeholder such as "<NAME>") per column position; columns without one are
    // copied unchanged.
    QMap<int, QString> templates;
    // Column positions whose cells are emptied; this wins over a template.
    QSet<int> clearedColumns;
    // The column captions in column order, the headers of the mapping file.
    QStringList columnCaptions;
};
