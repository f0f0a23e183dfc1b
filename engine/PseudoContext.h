#pragma once

#include "DateTextSettings.h"

#include <QSet>
#include <QString>

class Pseudonymizer;

// The state of one run that carries over from cell to cell and column to
// column: running number, IBAN and BIC seeds with the codes already handed
// out, and the run's factors and flags. The run keeps the engine and the date
// settings alive while the context is in use.
struct PseudoContext
{
    PseudoContext(const Pseudonymizer &engine, const DateTextSettings &dateSettings);

    // The next running number; the first of a run is 1.
    int takeNextNumber();
    // A generated IBAN of country cc (a key of the IBAN length table) that this
    // run has not handed out before.
    QString takeUniqueIban(const QString &cc);
    // A generated BIC of country that this run has not handed out before.
    QString takeUniqueBic(const QString &country);

    const Pseudonymizer &engine;
    qint32 numberCounter = 0;
    // Factor for amounts; a factor of 1 leaves them untouched when floatScaleFactorGreater1 is set.
    double floatScaleFactor = 1;
    bool floatScaleFactorGreater1 = true;
    double intScaleFactor = 1;
    quint64 ibanSeed = 0;
    QSet<QString> usedIbans;
    quint64 bicSeed = 0;
    QSet<QString> usedBics;
    // One date shift for all values instead of one per distinct date.
    bool dateShiftPerDataSet = true;
    // Read at every call, so that the owner's current formats apply.
    const DateTextSettings &dateSettings;
};
