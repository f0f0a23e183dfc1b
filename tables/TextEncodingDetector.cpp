#include "TextEncodingDetector.h"

#include <QtAlgorithms>
#include <QtEndian>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

constexpr std::uint64_t highBits = 0x8080808080808080u;
constexpr std::uint64_t lowBits = 0x0101010101010101u;

} // namespace

TextEncodingDetector::DetectedEncoding TextEncodingDetector::detect(const char *data,
                                                                    size_t size) const
{
    const auto *bytes = reinterpret_cast<const unsigned char *>(data);
    if (size >= 2 && bytes[0] == 0xff && bytes[1] == 0xfe)
        return Utf16LeBom;
    if (size >= 2 && bytes[0] == 0xfe && bytes[1] == 0xff)
        return Utf16BeBom;
    if (size >= 3 && bytes[0] == 0xef && bytes[1] == 0xbb && bytes[2] == 0xbf)
        return Utf8Bom;
    if (size == 0)
        return Ascii;

    switch (walkUtf8(bytes, size)) {
    case Utf8Walk::Ascii:
        return Ascii;
    case Utf8Walk::Utf8:
        return Utf8;
    case Utf8Walk::Invalid:
        break;
    }

    if (const auto byLineEnds = utf16ByLineEnds(bytes, size))
        return *byLineEnds;
    if (const auto byZeros = utf16ByZeroBytes(bytes, size))
        return *byZeros;

    const bool hasNul = std::find(bytes, bytes + size, 0) != bytes + size;
    return hasNul && m_stopAtNul ? NoText : EightBit;
}

// Data that ends inside a multi-byte sequence still counts as what was seen before it:
// a sample cut off at an arbitrary byte must not lose its UTF-8 verdict.
TextEncodingDetector::Utf8Walk TextEncodingDetector::walkUtf8(const unsigned char *data,
                                                              size_t size) const
{
    bool ascii = true;
    size_t i = 0;
    while (i < size) {
        // Eight bytes at a time while none has its high bit set (nor is NUL, where that stops
        // the walk): most of a large file is ASCII. Otherwise straight on to the first such
        // byte; the lowest byte flagged as NUL is always one.
        if (size - i >= 8) {
            std::uint64_t word;
            std::memcpy(&word, data + i, sizeof word);
            word = qFromLittleEndian(word);
            std::uint64_t stops = word & highBits;
            if (m_stopAtNul)
                stops |= (word - lowBits) & ~word & highBits;
            if (stops == 0) {
                i += 8;
                continue;
            }
            i += size_t(qCountTrailingZeroBits(stops) / 8);
        }
        const unsigned char lead = data[i++];
        if (lead == 0 && m_stopAtNul)
            return Utf8Walk::Invalid;
        if (lead < 0x80)
            continue;
        int continuations = 0;
        if (lead >= 0xc2 && lead <= 0xdf)
            continuations = 1;
        else if (lead >= 0xe0 && lead <= 0xef)
            continuations = 2;
        else if (lead >= 0xf0 && lead <= 0xf4)
            continuations = 3;
        else
            return Utf8Walk::Invalid;
        for (; continuations > 0; --continuations) {
            if (i >= size)
                break;
            ascii = false;
            const unsigned char next = data[i++];
            if (next < 0x80 || next > 0xbf)
                return Utf8Walk::Invalid;
        }
    }
    return ascii ? Utf8Walk::Ascii : Utf8Walk::Utf8;
}

std::optional<TextEncodingDetector::DetectedEncoding>
TextEncodingDetector::utf16ByLineEnds(const unsigned char *data, size_t size)
{
    const auto isLineEnd = [](unsigned char byte) {
        return byte == 0x0a || byte == 0x0d;
    };
    bool littleEndian = false;
    bool bigEndian = false;
    for (size_t i = 0; i + 1 < size; i += 2) {
        littleEndian = littleEndian || (isLineEnd(data[i]) && data[i + 1] == 0);
        bigEndian = bigEndian || (data[i] == 0 && isLineEnd(data[i + 1]));
        if (littleEndian && bigEndian)
            return std::nullopt;
    }
    if (littleEndian)
        return Utf16Le;
    if (bigEndian)
        return Utf16Be;
    return std::nullopt;
}

std::optional<TextEncodingDetector::DetectedEncoding>
TextEncodingDetector::utf16ByZeroBytes(const unsigned char *data, size_t size) const
{
    size_t evenZeros = 0;
    size_t oddZeros = 0;
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0)
            ++(i % 2 == 0 ? evenZeros : oddZeros);
    }
    const double evenRatio = 2.0 * double(evenZeros) / double(size);
    const double oddRatio = 2.0 * double(oddZeros) / double(size);
    const double unexpected = m_unexpectedZeroPercent / 100.0;
    const double expected = m_expectedZeroPercent / 100.0;
    if (evenRatio < unexpected && oddRatio > expected)
        return Utf16Le;
    if (oddRatio < unexpected && evenRatio > expected)
        return Utf16Be;
    return std::nullopt;
}
