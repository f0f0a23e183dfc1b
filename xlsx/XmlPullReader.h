#pragma once

#include "ByteBuffer.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QCoreApplication>
#include <QString>

#include <cstring>
#include <functional>
#include <vector>

namespace QXlsx {

// Byte strings compared inline: QByteArrayView's operator== calls into the library, a cost that
// reading millions of cells, each with several names to compare, notices.
inline bool sameBytes(QByteArrayView a, QByteArrayView b)
{
    return a.size() == b.size() &&
        (a.isEmpty() || std::memcmp(a.data(), b.data(), size_t(a.size())) == 0);
}

// A pull reader for the large XML parts of a package (worksheets and the shared strings),
// several times faster than QXmlStreamReader because it works on the UTF-8 bytes as they come
// and hands out names, attributes and text as views instead of building strings for them.
//
// It checks what the parts rely on: elements nest properly, there is one root element,
// attributes are quoted, character and entity references are known and name valid characters,
// and text is valid UTF-8. Element names are compared without their namespace prefix, as the
// package readers do; namespaces are not resolved. Document type declarations are refused, so
// no entity can expand. A part in UTF-16 or Latin-1 is converted first.
//
// Views stay valid until the next call that reads on.
class XmlPullReader
{
    Q_DECLARE_TR_FUNCTIONS(QXlsx::XmlPullReader)

public:
    // Fills up to capacity bytes; returns how many, 0 at the end of the input, -1 on failure.
    using Source = std::function<qsizetype(char *buffer, qsizetype capacity)>;

    enum TokenType {
        NoToken,
        StartElement,
        EndElement,
        Characters,
        EndDocument,
        Invalid,
    };

    explicit XmlPullReader(Source source);
    explicit XmlPullReader(QByteArrayView document);

    TokenType readNext();
    TokenType tokenType() const { return m_token; }
    bool atEnd() const { return m_token == EndDocument || m_token == Invalid; }

    // Reads on to the next start element inside the current element: true when one was found,
    // false at the current element's end (or an error).
    bool readNextStartElement();
    // Reads on to the end of the current element.
    void skipCurrentElement();
    // Appends the text inside the current element to out, skipping child elements; raises an
    // error and returns false when the text would grow beyond maxBytes.
    bool readElementText(ByteBuffer *out, qsizetype maxBytes);

    // The local name of the current start or end element (the part after a prefix).
    QByteArrayView name() const { return m_name; }
    // The value of an attribute without prefix of the current start element, references
    // resolved; empty when there is none.
    QByteArrayView attribute(QByteArrayView name) const;
    // The current character data, references resolved and line ends normalised.
    QByteArrayView text() const { return m_text; }

    bool hasError() const { return m_token == Invalid; }
    QString errorString() const { return m_errorString; }
    // The line of the current position, counted from 1.
    qint64 lineNumber() const;
    // Stops reading with the message; the first error counts.
    void raiseError(const QString &message);

private:
    struct Attribute
    {
        QByteArrayView name;
        qsizetype valueStart; // in m_buffer, or in m_decoded when decoded
        qsizetype valueLength;
        bool decoded;
    };

    enum class Decoding {
        Text,
        Attribute,
        CData,
    };

    bool fill(qsizetype keepFrom);
    bool available(qsizetype count);
    QByteArrayView openName() const;
    void popElement();
    bool prepareEncoding();
    bool convertToUtf8(QByteArrayView encodingName);
    qsizetype find(qsizetype from, QByteArrayView needle);
    TokenType fail(const QString &message);
    TokenType readMarkup();
    TokenType readStartTag();
    TokenType readEndTag();
    TokenType readCharacters();
    bool skipUntil(QByteArrayView terminator);
    bool parseAttributes(qsizetype from, qsizetype end);
    TokenType readCData();
    bool decode(QByteArrayView raw, Decoding decoding, QByteArrayView *result);
    bool appendReference(QByteArrayView reference, QByteArray *out);
    qsizetype safeTextEnd(qsizetype from, qsizetype end) const;

    Source m_source;
    QByteArray m_buffer;
    qsizetype m_pos = 0; // next unread byte in m_buffer
    qsizetype m_end = 0; // end of the valid bytes in m_buffer
    qint64 m_discardedLines = 0; // line breaks in bytes dropped from the buffer
    bool m_sourceDone = false;
    bool m_started = false;

    TokenType m_token = NoToken;
    QString m_errorString;
    QByteArrayView m_name;
    QByteArrayView m_text;
    std::vector<Attribute> m_attributes;
    QByteArray m_decoded; // decoded attribute values and text
    // The qualified names of the open elements, one after the other, and where each starts.
    ByteBuffer m_openNames;
    std::vector<qsizetype> m_openStarts;
    bool m_pendingEnd = false; // an empty element's end is still to be reported
    bool m_popPending = false; // the reported end element is still on the stack
    bool m_rootClosed = false;
};

} // namespace QXlsx
