#pragma once

#include <QChar>
#include <QtAlgorithms>

#if defined(__SSE2__) || defined(_M_X64)
#define VONDREL_CSV_SSE2 1
#include <emmintrin.h>
#endif

// Copying runs of CSV text up to the next character that needs a decision. This is where
// reading and writing spend their time, so runs are scanned eight characters at a time
// where the processor allows it. The target must have room for end - pos characters: a
// vector of eight is stored before it is looked at.

namespace vondrel {

namespace detail {

template<typename VectorStops, typename IsStop>
qsizetype copyRun(const QChar *pos, const QChar *end, QChar *out, VectorStops vectorStops,
                  IsStop isStop)
{
    const QChar *const begin = pos;
#ifdef VONDREL_CSV_SSE2
    for (; end - pos >= 8; pos += 8, out += 8) {
        const __m128i chars = _mm_loadu_si128(reinterpret_cast<const __m128i *>(pos));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out), chars);
        if (const int mask = _mm_movemask_epi8(vectorStops(chars)))
            return pos - begin + qCountTrailingZeroBits(uint(mask)) / 2;
    }
#else
    Q_UNUSED(vectorStops);
#endif
    for (; pos < end && !isStop(pos->unicode()); ++pos)
        *out++ = *pos;
    return pos - begin;
}

} // namespace detail

// Characters that end a run of field text outside quotes: the separator, a control
// character (C0 or DEL; C1 controls are text) or a line or paragraph separator.
inline bool endsUnquotedRun(char16_t u, char16_t separator)
{
    return u == separator || u < 0x20 || u == 0x7f || (u & 0xfffe) == 0x2028;
}

// Copies from pos to out up to the first character that ends a run outside quotes;
// returns how many were copied.
inline qsizetype copyUnquotedRun(const QChar *pos, const QChar *end, QChar *out, char16_t separator)
{
    const auto isStop = [separator](char16_t u) {
        return endsUnquotedRun(u, separator);
    };
#ifdef VONDREL_CSV_SSE2
    const __m128i separators = _mm_set1_epi16(short(separator));
    const __m128i lastControl = _mm_set1_epi16(0x1f);
    const __m128i del = _mm_set1_epi16(0x7f);
    const __m128i lineSeparatorMask = _mm_set1_epi16(short(0xfffe));
    const __m128i lineSeparator = _mm_set1_epi16(0x2028);
    const __m128i zero = _mm_setzero_si128();
    const auto vectorStops = [=](__m128i chars) {
        __m128i found = _mm_cmpeq_epi16(chars, separators);
        // Saturating subtraction leaves zero exactly for U+0000..U+001F.
        found = _mm_or_si128(found, _mm_cmpeq_epi16(_mm_subs_epu16(chars, lastControl), zero));
        found = _mm_or_si128(found, _mm_cmpeq_epi16(chars, del));
        return _mm_or_si128(
            found, _mm_cmpeq_epi16(_mm_and_si128(chars, lineSeparatorMask), lineSeparator));
    };
    return detail::copyRun(pos, end, out, vectorStops, isStop);
#else
    return detail::copyRun(pos, end, out, nullptr, isStop);
#endif
}

// Copies from pos to out up to the first a or b; returns how many were copied.
inline qsizetype copyRunUntil(const QChar *pos, const QChar *end, QChar *out, char16_t a,
                              char16_t b)
{
    const auto isStop = [a, b](char16_t u) {
        return u == a || u == b;
    };
#ifdef VONDREL_CSV_SSE2
    const __m128i as = _mm_set1_epi16(short(a));
    const __m128i bs = _mm_set1_epi16(short(b));
    const auto vectorStops = [=](__m128i chars) {
        return _mm_or_si128(_mm_cmpeq_epi16(chars, as), _mm_cmpeq_epi16(chars, bs));
    };
    return detail::copyRun(pos, end, out, vectorStops, isStop);
#else
    return detail::copyRun(pos, end, out, nullptr, isStop);
#endif
}

} // namespace vondrel
