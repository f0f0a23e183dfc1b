// Template resolution on arbitrary templates, cell texts and cell values, with the run settings
// the user can change.
//
// Input: one byte of run settings, one byte of value kind and date settings, eight bytes of a
// number, then NUL-terminated template, cell text and text-to-date format.

#include "FuzzEnvironment.h"
#include "FuzzInput.h"

#include <engine/DateTextSettings.h>
#include <engine/PseudoContext.h>
#include <engine/Pseudonymizer.h>

#include <array>
#include <memory>

namespace {

constexpr std::array<double, 8> factors = {1, 0, -2, 0.004, 1.5, 2.75, 1000, 1e300};

std::unique_ptr<Pseudonymizer> plainEngine;
std::unique_ptr<Pseudonymizer> realEngine;

QVariant cellValue(quint8 kind, qint64 number, const QString &text)
{
    switch (kind % 6) {
    case 1:
        return text;
    case 2:
        return double(number) / 1024;
    case 3:
        return QDate::fromJulianDay(number % 10000000);
    case 4:
        return QDateTime::fromSecsSinceEpoch(number % (qint64(1) << 40));
    case 5:
        return QTime::fromMSecsSinceStartOfDay(int(number % 86400000));
    default:
        return QVariant();
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    FuzzEnvironment::silenceMessages();
    const QByteArray key = QByteArrayLiteral("0123456789abcdef");
    plainEngine = std::make_unique<Pseudonymizer>(key);
    PseudoSettings settings;
    settings.simulateReal = true;
    settings.maxShiftDays = 1000;
    realEngine = std::make_unique<Pseudonymizer>(key, settings);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    const quint8 run = input.takeByte();
    const quint8 kind = input.takeByte();
    const qint64 number = input.takeInt64();
    const QString templateText = input.takeText();
    const QString sourceText = input.takeText();

    vondrel::DateTextSettings dateSettings;
    dateSettings.textToDateFmt = input.takeText();
    dateSettings.textToDateTimeFmt = dateSettings.textToDateFmt;
    dateSettings.textToDateISO = kind & 0x08;
    dateSettings.textToDateTimeISO = kind & 0x10;
    dateSettings.dateToTextISO = kind & 0x20;
    dateSettings.dateTimeToTextISO = kind & 0x40;

    PseudoContext context((run & 1) ? *realEngine : *plainEngine, dateSettings);
    context.dateShiftPerDataSet = run & 2;
    context.floatScaleFactor = factors[(run >> 2) & 7];
    context.floatScaleFactorGreater1 = kind & 0x80;
    context.intScaleFactor = factors[run >> 5];

    const QVariant sourceValue = cellValue(kind, number, sourceText);
    // Twice, so that the second call meets the codes and numbers the first one handed out.
    for (int pass = 0; pass < 2; ++pass) {
        int type = -1;
        QChar group;
        QVariant value;
        Pseudonymizer::replacePlaceholders(context, sourceText, sourceValue, templateText, type,
                                           &group, &value);
        FUZZ_CHECK(type >= 0 && type <= 24);
    }
    return 0;
}
