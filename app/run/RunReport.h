#pragma once

#include "RunResult.h"
#include "RunSettings.h"

#include <QCoreApplication>
#include <QStringList>

// What the success box adds below "Die Ausgabedatei wurde erstellt.": whatever the output holds
// that the user might take for pseudonymised and is not, or that came out empty. The user hands
// the output on; this is where they learn what they hand over.
class RunReport
{
    Q_DECLARE_TR_FUNCTIONS(Dialog)

public:
    // One line per finding, columns in column order first, then the other sheets of a
    // workbook.
    static QStringList notes(const RunSettings &settings, const RunResult &result);

private:
    static QString unreadNote(const QString &caption, qsizetype count);
    // Amount and integer columns whose factor of 1 leaves every value as it was.
    static QString unscaledNote(const RunSettings &settings, int column);
    // The workbook's sheets besides the one pseudonymised, copied into the output as they were.
    static QString copiedSheetsNote(const RunResult &result);
};
