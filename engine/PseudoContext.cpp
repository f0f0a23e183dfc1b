#include "PseudoContext.h"

#include "EngineLogging.h"
#include "NumberConversion.h"
#include "SeededCodes.h"

#include <cstring>

using vondrel::lcEngine;

namespace {

constexpr int maxAttempts = 1000;

// Tries successive seeds until generate gives a code not used yet. After
// maxAttempts collisions the last candidate is taken anyway, so a run never stalls.
template<typename Generate>
QString takeUnique(quint64 &seed, vondrel::CodeSet &used, Generate generate)
{
    QString candidate;
    for (int attempt = 0; attempt < maxAttempts; ++attempt) {
        candidate = generate(seed);
        ++seed;
        if (used.insert(candidate))
            return candidate;
    }
    qCWarning(lcEngine) << "No unused generated code after" << maxAttempts << "attempts";
    ++seed;
    return candidate;
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

QString PseudoContext::takeUniqueIban(const QString &cc)
{
    return takeUnique(ibanSeed, usedIbans,
                      [&cc](quint64 seed) { return makeSeededIban(seed, cc, 7); });
}

QString PseudoContext::takeUniqueBic(const QString &country)
{
    return takeUnique(bicSeed, usedBics,
                      [&country](quint64 seed) { return makeSeededBic(country, seed); });
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
