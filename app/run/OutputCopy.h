#pragma once

#include <QByteArray>

#include <memory>

class QxtCsvModel;
struct RunSettings;

namespace QXlsx {
class Document;
}

// The output side of a run starts as an exact copy of the loaded input: made from the file's
// bytes, or from the edited table when the input may be edited.
class OutputCopy
{
public:
    // A CSV copy that shares the input's text: the input's cells, or, when the unedited table
    // no longer holds what the form's format reads from the file, the file's rows above the
    // data over the input's data rows, read on up to threads threads (0: one per core).
    static std::unique_ptr<QxtCsvModel> ofCsv(const QxtCsvModel &input, const QByteArray &rawInput,
                                              const RunSettings &settings, int threads = 0);
    // A workbook copy with the input's current sheet selected, made in memory from the loaded
    // workbook (sharing its cells until it writes them), as edited when the input may be
    // edited; from the file's bytes when the workbook no longer holds what they read as.
    // Without sheets when it cannot be read.
    static std::unique_ptr<QXlsx::Document> ofXlsx(QXlsx::Document &input,
                                                   const QByteArray &rawInput, bool inputEditable);

    // Whether a copy may be pseudonymised in place of its input: both completely read, with the
    // same rows and columns. A cancelled load must never let rows through unchanged.
    static bool matches(const QxtCsvModel &input, const QxtCsvModel &copy);
    static bool matches(const QXlsx::Document &input, const QXlsx::Document &copy);
};
