// The lenient number and date readers and the number writers on arbitrary text, numbers and
// formats.
//
// Input: one byte of switches, eight bytes of a double, then NUL-terminated text and format.

#include "FuzzEnvironment.h"
#include "FuzzInput.h"

#include <engine/DateConversion.h>
#include <engine/NumberConversion.h>

#include <array>

namespace {

constexpr std::array<int, 4> decimalChoices = {-1, 0, 2, 7};
constexpr std::array<char16_t, 4> groupChoices = {u'\0', u'.', u' ', u'\''};

void checkNumbers(quint8 switches, double number, const QString &text)
{
    int decimals = -1;
    parseNumberLenient(text, &decimals);
    FUZZ_CHECK(decimals >= 0);

    QString out;
    QChar group;
    QVariant value;
    if (!scaleNumericString(text, number, out, switches & 1, decimalChoices[(switches >> 1) & 3],
                            &group, &value))
        FUZZ_CHECK(out == text);

    const QChar groupSeparator = groupChoices[(switches >> 3) & 3];
    const int digits = switches >> 5;
    // Callers format only finite numbers (scaleNumericString checks first).
    if (qIsFinite(number))
        formatNumberGrouped(number, digits, (switches & 1) ? u'.' : u',', groupSeparator);
    roundToPrecision(number, digits);
    signAtPrecision(number, digits);
    equalAtPrecision(number, -number, digits);
}

void checkDates(quint8 switches, double number, const QString &text, const QString &format)
{
    parseDateLenient(text, format, gregorianCalendar());
    parseDateTimeLenient(text, format, gregorianCalendar());
    const bool use1904 = switches & 1;
    vondrel::spreadsheetSerialToDateTime(number, use1904);

    vondrel::DateTextSettings settings;
    settings.textToDateFmt = format;
    settings.textToDateTimeFmt = format;
    settings.textToDateISO = switches & 2;
    settings.textToDateTimeISO = switches & 4;
    const int fieldType = 21 + ((switches >> 3) & 3);
    const QVariant cellValue = (switches & 0x20) ? QVariant(number) : QVariant(text);
    const QVariant cellDateTime = (switches & 0x40)
        ? QVariant(vondrel::spreadsheetSerialToDateTime(number, use1904))
        : QVariant();
    convertCellValue(settings, cellValue, cellDateTime, fieldType, use1904);
}

} // namespace

FUZZ_QUIET_INITIALIZE()

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    const quint8 switches = input.takeByte();
    const double number = input.takeDouble();
    const QString text = input.takeText();
    const QString format = input.takeText();
    checkNumbers(switches, number, text);
    checkDates(switches, number, text, format);
    return 0;
}
