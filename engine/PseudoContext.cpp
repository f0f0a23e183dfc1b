#include "PseudoContext.h"

#include "EngineLogging.h"
#include "NumberConversion.h"
#include "SeededCodes.h"

#include <QVarLengthArray>

#include <cstring>

using vondrel::lcEngine;

namespace {

constexpr int maxAttempts = 1000;

// Tries successive seeds until write gives a code of length characters not used
// yet. After maxAttempts collisions the last candidate is taken anyway, so a run
// never stalls. Candidates are written aside; only the code handed out is a string.
template<typename Write>
QString takeUnique(quint64 &seed, vondrel::CodeSet &used, int length, Write write)
{
    QVarLengthArray<QChar, 64> candidate(length);
    // A country without a code gives the null string, as it always has.
    const auto code = [&] {
        return length == 0 ? QString() : QString(candidate.data(), length);
    };
    for (int attempt = 0; attempt < maxAttempts; ++attempt) {
        write(seed, candidate.data());
        ++seed;
        if (used.insert(QStringView(candidate.data(), length)))
            return code();
    }
    qCWarning(lcEngine) << "No unused generated code after" << maxAttempts << "attempts";
    ++seed;
    return code();
}

} // namespace

PseudoContext::PseudoContext(const Pseudonymizer &engine,
                             const vondrel::DateTextSettings &dateSettings)
    : engine(engine)
    , dateSettings(dateSettings)
{ }

int PseudoContext::takeNextNumber()
{
    return ++numberCounter;
}

QString PseudoContext::takeUniqueIban(QStringView cc)
{
    const vondrel::CountryLetters letters = vondrel::seededCountry(cc);
    return takeUnique(
        ibanSeed, usedIbans, vondrel::seededIbanLength(letters),
        [letters](quint64 seed, QChar *out) { vondrel::writeSeededIban(seed, letters, 7, out); });
}

QString PseudoContext::takeUniqueBic(QStringView country)
{
    const vondrel::CountryLetters letters = vondrel::seededCountry(country);
    return takeUnique(
        bicSeed, usedBics, vondrel::seededBicLength,
        [letters](quint64 seed, QChar *out) { vondrel::writeSeededBic(letters, seed, out); });
}

bool PseudoContext::scalesAmounts()
{
    return scales(m_amountCheck, floatScaleFactor, floatScaleFactorGreater1);
}

bool PseudoContext::scalesIntegers()
{
    return scales(m_integerCheck, intScaleFactor, false);
}

bool PseudoContext::scales(ScaleCheck &check, double factor, bool onlyAboveOne)
{
    // Compared bit for bit, so that a NaN factor is remembered too.
    if (check.known && check.onlyAboveOne == onlyAboveOne &&
        std::memcmp(&check.factor, &factor, sizeof factor) == 0)
        return check.scales;
    check.known = true;
    check.factor = factor;
    check.onlyAboveOne = onlyAboveOne;
    check.scales =
        signAtPrecision(factor, 2) >= 1 && !(onlyAboveOne && equalAtPrecision(factor, 1, 2));
    return check.scales;
}
