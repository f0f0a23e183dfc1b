#pragma once

#include "CodeSet.h"
#include "DateTextSettings.h"

#include <QString>

class Pseudonymizer;

// The state of one run that carries over from cell to cell and column to
// column: running number, IBAN and BIC seeds with the codes already handed
// out, and the run's factors and flags. The run keeps the engine and the date
// settings alive while the context is in use.
struct PseudoContext
{
    PseudoContext(const Pseudonymizer &engine, const vondrel::DateTextSettings &dateSettings);

    // The next running number; the first of a run is 1.
    int takeNextNumber();
    // A generated IBAN of country cc (a key of the IBAN length table) that this
    // run has not handed out before.
    QString takeUniqueIban(QStringView cc);
    // A generated BIC of country that this run has not handed out before.
    QString takeUniqueBic(QStringView country);
    // Whether amounts and integers are scaled with the factors below: a factor
    // that rounds to 0 or less at 2 decimals leaves them as they are, and so
    // does an amount factor of 1 when floatScaleFactorGreater1 is set.
    bool scalesAmounts();
    bool scalesIntegers();

    const Pseudonymizer &engine;
    qint32 numberCounter = 0;
    // Factor for amounts; a factor of 1 leaves them untouched when floatScaleFactorGreater1 is set.
    double floatScaleFactor = 1;
    bool floatScaleFactorGreater1 = true;
    double intScaleFactor = 1;
    quint64 ibanSeed = 0;
    vondrel::CodeSet usedIbans;
    quint64 bicSeed = 0;
    vondrel::CodeSet usedBics;
    // One date shift for all values instead of one per distinct date.
    bool dateShiftPerDataSet = true;
    // Read at every call, so that the owner's current formats apply.
    const vondrel::DateTextSettings &dateSettings;

private:
    // The answer for the factor last asked about. The test rounds through
    // number text, which would cost more than the scaling itself if it were
    // repeated for every value of a run whose factors do not change.
    struct ScaleCheck
    {
        bool known = false;
        double factor = 0;
        bool onlyAboveOne = false;
        bool scales = false;
    };

    static bool scales(ScaleCheck &check, double factor, bool onlyAboveOne);

    ScaleCheck m_amountCheck;
    ScaleCheck m_integerCheck;
};
