// The encoding detector with any thresholds, and the sniffer that builds on it, on arbitrary
// bytes.
//
// Input: one byte of detector switches (NUL stop in bit 0, quote-mode bits for the sniffer in
// bits 1 to 6), two bytes of zero-byte percentages, then the file.

#include "FuzzEnvironment.h"
#include "FuzzInput.h"

#include <tables/CsvSniffer.h>
#include <tables/TextEncodingDetector.h>

#include <QStringConverter>

FUZZ_QUIET_INITIALIZE()

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    const quint8 switches = input.takeByte();
    const int expectedZeroPercent = input.takeByte() % 101;
    const int unexpectedZeroPercent = input.takeByte() % 101;
    const QByteArray bytes = input.takeRest();

    TextEncodingDetector detector;
    detector.setStopAtNul(switches & 1);
    detector.setExpectedZeroPercent(expectedZeroPercent);
    detector.setUnexpectedZeroPercent(unexpectedZeroPercent);
    const auto detected = detector.detect(bytes.constData(), size_t(bytes.size()));
    FUZZ_CHECK(detected >= TextEncodingDetector::NoText &&
               detected <= TextEncodingDetector::Utf16Be);

    const CsvSniffResult sniffed = sniffCsvFormat(bytes, (switches >> 1) & 0x3f);
    FUZZ_CHECK(sniffed.delimiter == u';' || sniffed.delimiter == u',' ||
               sniffed.delimiter == u'\t');
    FUZZ_CHECK(sniffed.headerRowOffset >= 0);
    FUZZ_CHECK(QStringConverter::nameForEncoding(QStringConverter::Encoding(sniffed.encoding)) !=
               nullptr);
    return 0;
}
