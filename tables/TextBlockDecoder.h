#pragma once

#include <QByteArrayView>
#include <QStringConverter>

namespace vondrel {

// Decodes text that arrives in blocks. Each call decodes complete characters only, with no
// state carried between calls, so a character split between two blocks or a broken byte
// sequence can neither swallow nor shift the characters that follow it.
class TextBlockDecoder
{
public:
    explicit TextBlockDecoder(QStringConverter::Encoding encoding);

    // How many bytes of the data may be decoded now: all but an unfinished character at
    // the end (a UTF-16 high surrogate included), which is to be decoded together with the
    // next block.
    qsizetype completeLength(QByteArrayView bytes) const;
    // Bytes of the first character of the data (a broken sequence counts byte by byte).
    qsizetype characterLength(QByteArrayView bytes) const;
    // Room the decoded text of that many bytes may need, in characters.
    qsizetype requiredSpace(qsizetype byteCount) const;
    // Decodes the bytes to out and returns the end of the written text. Broken sequences
    // and unpaired surrogates become replacement characters, one for each invalid UTF-32
    // unit; a byte order mark is kept as a character.
    QChar *decode(QByteArrayView bytes, QChar *out);

private:
    enum class Unit { Byte, Utf8, Utf16, Utf32 };

    static Unit unitFor(QStringConverter::Encoding encoding);
    // The UTF-16 code unit at the byte offset.
    char16_t unitAt(QByteArrayView bytes, qsizetype at) const;

    QStringDecoder m_decoder;
    Unit m_unit;
    bool m_bigEndian;
};

} // namespace vondrel
