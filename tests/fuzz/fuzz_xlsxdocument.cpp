// The workbook loader on arbitrary bytes, every cell shown as the sheet model shows it, and a
// saved copy read back.
//
// Input: one byte of mode. An even mode byte makes the rest the file itself, which exercises the
// ZIP layer. An odd one makes the rest the XML parts of a package, separated by
// partSeparator and stored in the order of partNames; the archive is built here, so that the
// fuzzer reaches the XML readers instead of failing on checksums.

#include "FuzzEnvironment.h"
#include "FuzzInput.h"

#include <tables/CellDisplayText.h>
#include <xlsx/Cell.h>
#include <xlsx/Document.h>
#include <xlsx/Workbook.h>
#include <xlsx/Worksheet.h>

#include <QBuffer>
#include <private/qzipwriter_p.h>

#include <array>

namespace {

const QByteArray partSeparator = QByteArrayLiteral("\n--part--\n");
const std::array<QString, 8> partNames = {
    QStringLiteral("[Content_Types].xml"),      QStringLiteral("_rels/.rels"),
    QStringLiteral("xl/workbook.xml"),          QStringLiteral("xl/_rels/workbook.xml.rels"),
    QStringLiteral("xl/worksheets/sheet1.xml"), QStringLiteral("xl/worksheets/sheet2.xml"),
    QStringLiteral("xl/sharedStrings.xml"),     QStringLiteral("xl/styles.xml"),
};

// The parts are stored, not deflated: deflating them took more time than reading the
// package. The saved copy that is read back holds deflated parts, and an even mode byte
// brings broken ones.
QByteArray packageFromParts(FuzzInput &input)
{
    QByteArray archive;
    QBuffer buffer(&archive);
    buffer.open(QIODevice::WriteOnly);
    QZipWriter writer(&buffer);
    writer.setCompressionPolicy(QZipWriter::NeverCompress);
    for (const QString &name : partNames) {
        const QByteArray part = input.takeUntil(partSeparator);
        if (!part.isEmpty())
            writer.addFile(name, part);
    }
    writer.close();
    return archive;
}

void showEveryCell(QXlsx::Document &document)
{
    const QStringList names = document.sheetNames();
    for (const QString &name : names) {
        FUZZ_CHECK(document.selectSheet(name));
        const QXlsx::Worksheet *sheet = document.currentWorksheet();
        FUZZ_CHECK(sheet);
        sheet->dimension();
        sheet->cells().forEachCell([&](int row, int column, const QXlsx::Cell &cell) {
            cellDisplayText(&cell);
            cell.dateTime();
            document.read(row, column);
        });
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    FuzzEnvironment::silenceMessages();
    FuzzEnvironment::startGuiApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    QByteArray bytes = (input.takeByte() & 1) ? packageFromParts(input) : input.takeRest();

    QBuffer device(&bytes);
    QXlsx::Document document(&device);
    const QStringList names = document.sheetNames();
    if (names.isEmpty())
        return 0;
    FUZZ_CHECK(document.errorString().isEmpty());
    showEveryCell(document);

    // What this program writes, it must be able to read again.
    QByteArray saved;
    QBuffer output(&saved);
    if (!document.saveAs(&output))
        return 0;
    QBuffer copyDevice(&saved);
    QXlsx::Document copy(&copyDevice);
    FUZZ_CHECK(copy.errorString().isEmpty());
    FUZZ_CHECK(copy.sheetNames() == names);
    return 0;
}
