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
    // A CSV copy, read with the form's format from the file's bytes, or an exact copy of the
    // input model's cells when the input may be edited.
    static std::unique_ptr<QxtCsvModel> ofCsv(QxtCsvModel &input, const QByteArray &rawInput,
                                              const RunSettings &settings);
    // A workbook copy with the input's current sheet selected; from the file's bytes, or from
    // the edited workbook when the input may be edited. Without sheets when it cannot be read.
    static std::unique_ptr<QXlsx::Document> ofXlsx(QXlsx::Document &input,
                                                   const QByteArray &rawInput, bool inputEditable);

    // Whether a copy may be pseudonymised in place of its input: both completely read, with the
    // same rows and columns. A cancelled load must never let rows through unchanged.
    static bool matches(const QxtCsvModel &input, const QxtCsvModel &copy);
    static bool matches(const QXlsx::Document &input, const QXlsx::Document &copy);
};
