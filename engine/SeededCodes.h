#pragma once

#include <QString>

#include <array>

// Codes generated from a run's seed rather than from a key: the same seed
// always gives the same code, byte for byte.

// n decimal digits from a xorshift sequence started at seed (0 is replaced,
// because xorshift would stay at 0).
QString randomDigits(quint64 seed, int n);

// A valid IBAN of country (two letters, else "DE") with the length of the IBAN
// length table (18 account digits for a country without an entry): zero bank
// code, the seed in the middle, at least minAccountDigits seeded digits at the end.
QString makeSeededIban(quint64 seed, const QString &country, int minAccountDigits);

// Letters replaced by their IBAN numbers ("A" = 10 ... "Z" = 35).
QString ibanLettersToDigits(const QString &text);

// The decimal digits of text taken as one number, modulo 97 (other characters skipped).
int ibanMod97(const QString &text);

// An 11-character BIC of country (two letters, else "DE") made from seed.
QString makeSeededBic(const QString &country, quint64 seed);

namespace vondrel {

// The two letters makeSeededIban and makeSeededBic use for country.
using CountryLetters = std::array<char16_t, 2>;
CountryLetters seededCountry(QStringView country);

// The length of makeSeededIban for the letters cc; 0 when it gives no IBAN.
int seededIbanLength(CountryLetters cc);
// makeSeededIban written to out, which has room for seededIbanLength(cc) characters.
void writeSeededIban(quint64 seed, CountryLetters cc, int minAccountDigits, QChar *out);

constexpr int seededBicLength = 11;
// makeSeededBic written to out, which has room for seededBicLength characters.
void writeSeededBic(CountryLetters cc, quint64 seed, QChar *out);

} // namespace vondrel
