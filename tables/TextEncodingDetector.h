#pragma once

#include <cstddef>
#include <optional>

// Classifies raw bytes as text: byte order marks, valid UTF-8, UTF-16 without a mark
// (by its line ends or by where its zero bytes fall), 8-bit text or no text at all.
class TextEncodingDetector
{
public:
    enum DetectedEncoding {
        NoText = 0,
        EightBit = 1,
        Ascii = 2,
        Utf8Bom = 3,
        Utf8 = 4,
        Utf16LeBom = 5,
        Utf16Le = 6,
        Utf16BeBom = 7,
        Utf16Be = 8,
    };

    DetectedEncoding detect(const char *data, size_t size) const;

    // A NUL byte ends the UTF-8 check and, failing UTF-16, means "not text".
    void setStopAtNul(bool stop) { m_stopAtNul = stop; }
    bool stopAtNul() const { return m_stopAtNul; }
    // Share of zero bytes, in percent, expected in the high-byte positions of UTF-16 text.
    void setExpectedZeroPercent(int percent) { m_expectedZeroPercent = percent; }
    int expectedZeroPercent() const { return m_expectedZeroPercent; }
    // Share of zero bytes, in percent, that the low-byte positions of UTF-16 text stay under.
    void setUnexpectedZeroPercent(int percent) { m_unexpectedZeroPercent = percent; }
    int unexpectedZeroPercent() const { return m_unexpectedZeroPercent; }

private:
    enum class Utf8Walk { Ascii, Utf8, Invalid };

    Utf8Walk walkUtf8(const unsigned char *data, size_t size) const;
    static std::optional<DetectedEncoding> utf16ByLineEnds(const unsigned char *data, size_t size);
    std::optional<DetectedEncoding> utf16ByZeroBytes(const unsigned char *data, size_t size) const;

    bool m_stopAtNul = true;
    int m_expectedZeroPercent = 70;
    int m_unexpectedZeroPercent = 10;
};
