#include "XmlPullReader.h"

#include <QStringDecoder>

#include <algorithm>
#include <cstring>

namespace QXlsx {

namespace {

// Bytes read from the source at a time, and the longest text handed out in one piece.
constexpr qsizetype ChunkSize = qsizetype(1) << 20;
// "&#x10FFFF;" with room for leading zeros; longer references are refused.
constexpr qsizetype MaxReferenceLength = 32;

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool isNameChar(char c)
{
    const auto u = uchar(c);
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '_' ||
        u == ':' || u == '-' || u == '.' || u >= 0x80;
}

bool isNameStart(char c)
{
    return isNameChar(c) && c != '-' && c != '.' && (c < '0' || c > '9');
}

QByteArrayView localName(QByteArrayView qualified)
{
    for (qsizetype i = qualified.size() - 1; i >= 0; --i)
        if (qualified[i] == ':')
            return qualified.sliced(i + 1);
    return qualified;
}

bool isXmlChar(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
        (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

void appendUtf8(QByteArray *out, char32_t c)
{
    if (c < 0x80) {
        out->append(char(c));
    } else if (c < 0x800) {
        out->append(char(0xC0 | (c >> 6)));
        out->append(char(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out->append(char(0xE0 | (c >> 12)));
        out->append(char(0x80 | ((c >> 6) & 0x3F)));
        out->append(char(0x80 | (c & 0x3F)));
    } else {
        out->append(char(0xF0 | (c >> 18)));
        out->append(char(0x80 | ((c >> 12) & 0x3F)));
        out->append(char(0x80 | ((c >> 6) & 0x3F)));
        out->append(char(0x80 | (c & 0x3F)));
    }
}

// The value of encoding="..." in an XML declaration; empty when there is none.
QByteArrayView declaredEncoding(QByteArrayView declaration)
{
    const qsizetype key = declaration.indexOf(QByteArrayView("encoding"));
    if (key < 0)
        return {};
    qsizetype i = key + 8;
    while (i < declaration.size() && (isSpace(declaration[i]) || declaration[i] == '='))
        ++i;
    if (i >= declaration.size() || (declaration[i] != '"' && declaration[i] != '\''))
        return {};
    const qsizetype close = declaration.indexOf(declaration[i], i + 1);
    return close < 0 ? QByteArrayView() : declaration.sliced(i + 1, close - i - 1);
}

} // namespace

XmlPullReader::XmlPullReader(Source source)
    : m_source(std::move(source))
{ }

XmlPullReader::XmlPullReader(QByteArrayView document)
    : m_buffer(document.toByteArray())
    , m_end(m_buffer.size())
    , m_sourceDone(true)
{ }

XmlPullReader::TokenType XmlPullReader::fail(const QString &message)
{
    raiseError(message);
    return m_token;
}

void XmlPullReader::raiseError(const QString &message)
{
    if (m_token == Invalid)
        return;
    m_token = Invalid;
    m_errorString = message;
}

qint64 XmlPullReader::lineNumber() const
{
    const char *data = m_buffer.constData();
    return m_discardedLines + 1 + std::count(data, data + qMin(m_pos, m_end), '\n');
}

QByteArrayView XmlPullReader::attribute(QByteArrayView name) const
{
    for (const Attribute &attribute : m_attributes) {
        if (sameBytes(attribute.name, name))
            return QByteArrayView((attribute.decoded ? m_decoded : m_buffer).constData() +
                                      attribute.valueStart,
                                  attribute.valueLength);
    }
    return {};
}

bool XmlPullReader::fill(qsizetype keepFrom)
{
    if (m_sourceDone || m_token == Invalid)
        return false;
    char *data = m_buffer.data();
    if (keepFrom > 0) {
        m_discardedLines += std::count(data, data + keepFrom, '\n');
        std::memmove(data, data + keepFrom, size_t(m_end - keepFrom));
        m_end -= keepFrom;
        m_pos -= keepFrom;
    }
    if (m_buffer.size() < ChunkSize)
        m_buffer.resize(ChunkSize);
    else if (m_end > m_buffer.size() / 2)
        m_buffer.resize(m_buffer.size() * 2); // a token longer than the buffer has room for
    const qsizetype got = m_source(m_buffer.data() + m_end, m_buffer.size() - m_end);
    if (got <= 0) {
        m_sourceDone = true;
        if (got < 0)
            raiseError(tr("die Daten lassen sich nicht entpacken"));
        return false;
    }
    m_end += got;
    return true;
}

bool XmlPullReader::available(qsizetype count)
{
    while (m_end - m_pos < count)
        if (!fill(m_pos))
            return false;
    return true;
}

qsizetype XmlPullReader::find(qsizetype from, QByteArrayView needle)
{
    for (;;) {
        const char *data = m_buffer.constData();
        if (needle.size() == 1) {
            const void *at = std::memchr(data + from, needle.front(), size_t(m_end - from));
            if (at)
                return static_cast<const char *>(at) - data;
        } else {
            const qsizetype at = QByteArrayView(data + from, m_end - from).indexOf(needle);
            if (at >= 0)
                return from + at;
        }
        const qsizetype resume = qMax(from, m_end - needle.size() + 1) - m_pos;
        if (!fill(m_pos))
            return -1;
        from = m_pos + resume;
    }
}

bool XmlPullReader::skipUntil(QByteArrayView terminator)
{
    const qsizetype at = find(m_pos, terminator);
    if (at < 0) {
        raiseError(tr("unerwartetes Dateiende"));
        return false;
    }
    m_pos = at + terminator.size();
    return true;
}

QByteArrayView XmlPullReader::openName() const
{
    return m_openNames.view().sliced(m_openStarts.back());
}

void XmlPullReader::popElement()
{
    m_openNames.truncate(m_openStarts.back());
    m_openStarts.pop_back();
    m_rootClosed = m_openStarts.empty();
}

bool XmlPullReader::prepareEncoding()
{
    available(6);
    const auto startsWith = [this](QByteArrayView prefix) {
        return QByteArrayView(m_buffer.constData() + m_pos, m_end - m_pos).startsWith(prefix);
    };
    if (startsWith("\xEF\xBB\xBF")) {
        m_pos += 3;
    } else if (startsWith("\xFF\xFE") || startsWith(QByteArrayView("<\0?\0", 4))) {
        return convertToUtf8("UTF-16LE");
    } else if (startsWith("\xFE\xFF") || startsWith(QByteArrayView("\0<\0?", 4))) {
        return convertToUtf8("UTF-16BE");
    }
    if (!startsWith("<?xml"))
        return true;
    const qsizetype close = find(m_pos, "?>");
    if (close < 0)
        return true; // reported as a truncated document
    const QByteArrayView encoding =
        declaredEncoding(QByteArrayView(m_buffer.constData() + m_pos, close - m_pos));
    if (encoding.isEmpty() || encoding.compare("UTF-8", Qt::CaseInsensitive) == 0 ||
        encoding.compare("UTF8", Qt::CaseInsensitive) == 0)
        return true;
    return convertToUtf8(encoding);
}

bool XmlPullReader::convertToUtf8(QByteArrayView encodingName)
{
    const auto encoding = QStringConverter::encodingForName(encodingName.toByteArray().constData());
    if (!encoding) {
        raiseError(tr("nicht unterstützte Zeichenkodierung %1")
                       .arg(QString::fromLatin1(
                           encodingName.first(qMin<qsizetype>(40, encodingName.size())))));
        return false;
    }
    while (fill(m_pos)) { }
    if (m_token == Invalid)
        return false;
    QStringDecoder decoder(*encoding);
    const QString text = decoder(QByteArrayView(m_buffer.constData() + m_pos, m_end - m_pos));
    if (decoder.hasError()) {
        raiseError(tr("ungültig kodierte Zeichen"));
        return false;
    }
    m_buffer = text.toUtf8();
    if (m_buffer.startsWith("\xEF\xBB\xBF"))
        m_buffer.remove(0, 3);
    m_pos = 0;
    m_end = m_buffer.size();
    return true;
}

XmlPullReader::TokenType XmlPullReader::readNext()
{
    if (atEnd())
        return m_token;
    if (m_popPending) {
        m_popPending = false;
        popElement();
    }
    if (m_pendingEnd) {
        m_pendingEnd = false;
        m_popPending = true;
        m_name = localName(openName());
        return m_token = EndElement;
    }
    if (!m_started) {
        m_started = true;
        if (!prepareEncoding())
            return m_token;
    }
    m_attributes.clear();
    if (!m_decoded.isEmpty())
        m_decoded.resize(0); // a null array would be allocated anew for every token
    m_text = {};
    for (;;) {
        if (m_pos == m_end && !fill(m_pos)) {
            if (m_token == Invalid)
                return m_token;
            if (!m_rootClosed)
                return fail(tr("unerwartetes Dateiende"));
            return m_token = EndDocument;
        }
        const TokenType token = m_buffer.at(m_pos) == '<' ? readMarkup() : readCharacters();
        if (token != NoToken)
            return token;
    }
}

XmlPullReader::TokenType XmlPullReader::readMarkup()
{
    if (!available(2))
        return fail(tr("unerwartetes Dateiende"));
    const char next = m_buffer.at(m_pos + 1);
    if (next == '/')
        return readEndTag();
    if (next == '?')
        return skipUntil("?>") ? NoToken : m_token;
    if (next != '!')
        return readStartTag();
    available(9);
    const QByteArrayView rest(m_buffer.constData() + m_pos, m_end - m_pos);
    if (rest.startsWith("<!--"))
        return skipUntil("-->") ? NoToken : m_token;
    if (rest.startsWith("<![CDATA["))
        return readCData();
    if (rest.startsWith("<!DOCTYPE"))
        return fail(tr("Dokumenttyp-Deklarationen sind nicht erlaubt"));
    return fail(tr("ungültiges Markup"));
}

XmlPullReader::TokenType XmlPullReader::readStartTag()
{
    if (m_rootClosed)
        return fail(tr("mehr als ein Wurzelelement"));
    // The tag ends at the first '>' outside a quoted attribute value.
    qsizetype i = m_pos + 1;
    char quote = 0;
    const char *buffer = m_buffer.constData();
    for (;;) {
        if (i == m_end) {
            const qsizetype offset = i - m_pos;
            if (!fill(m_pos))
                return fail(tr("unerwartetes Dateiende"));
            i = m_pos + offset;
            buffer = m_buffer.constData();
            continue;
        }
        const char c = buffer[i];
        if (quote) {
            if (c == quote)
                quote = 0;
            else if (c == '<')
                return fail(tr("„<“ in einem Attributwert"));
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            break;
        }
        ++i;
    }
    const char *data = m_buffer.constData();
    qsizetype nameEnd = m_pos + 1;
    if (!isNameStart(data[nameEnd]))
        return fail(tr("ungültiger Elementname"));
    while (nameEnd < i && isNameChar(data[nameEnd]))
        ++nameEnd;
    const bool empty = i - 1 >= nameEnd && data[i - 1] == '/';
    if (!parseAttributes(nameEnd, empty ? i - 1 : i))
        return m_token;
    const QByteArrayView qualified(data + m_pos + 1, nameEnd - m_pos - 1);
    m_openStarts.push_back(m_openNames.size());
    m_openNames.append(qualified);
    m_name = localName(qualified);
    m_pendingEnd = empty;
    m_pos = i + 1;
    return m_token = StartElement;
}

bool XmlPullReader::parseAttributes(qsizetype from, qsizetype end)
{
    const char *data = m_buffer.constData();
    qsizetype p = from;
    for (;;) {
        const qsizetype spaceStart = p;
        while (p < end && isSpace(data[p]))
            ++p;
        if (p == end)
            return true;
        if (p == spaceStart || !isNameStart(data[p])) {
            raiseError(tr("ungültiges Attribut"));
            return false;
        }
        const qsizetype nameStart = p;
        while (p < end && isNameChar(data[p]))
            ++p;
        const QByteArrayView name(data + nameStart, p - nameStart);
        while (p < end && isSpace(data[p]))
            ++p;
        if (p < end && data[p] == '=')
            ++p;
        else
            p = end;
        while (p < end && isSpace(data[p]))
            ++p;
        if (p >= end || (data[p] != '"' && data[p] != '\'')) {
            raiseError(tr("ungültiges Attribut"));
            return false;
        }
        const char *close =
            static_cast<const char *>(std::memchr(data + p + 1, data[p], size_t(end - p - 1)));
        if (!close) {
            raiseError(tr("ungültiges Attribut"));
            return false;
        }
        const QByteArrayView raw(data + p + 1, close - data - p - 1);
        QByteArrayView value;
        const qsizetype decodedStart = m_decoded.size();
        if (!decode(raw, Decoding::Attribute, &value))
            return false;
        const bool decoded = value.data() != raw.data();
        m_attributes.push_back({name, decoded ? decodedStart : p + 1, value.size(), decoded});
        p = close - data + 1;
    }
}

XmlPullReader::TokenType XmlPullReader::readEndTag()
{
    const qsizetype close = find(m_pos + 2, ">");
    if (close < 0)
        return fail(tr("unerwartetes Dateiende"));
    QByteArrayView name(m_buffer.constData() + m_pos + 2, close - m_pos - 2);
    while (!name.isEmpty() && isSpace(name.back()))
        name.chop(1);
    if (m_openStarts.empty() || !sameBytes(name, openName()))
        return fail(tr("Endelement ohne passendes Startelement"));
    m_pos = close + 1;
    m_popPending = true;
    m_name = localName(openName());
    return m_token = EndElement;
}

XmlPullReader::TokenType XmlPullReader::readCharacters()
{
    qsizetype end = -1;
    qsizetype scanned = 0; // bytes after m_pos known to hold no '<'
    while (end < 0) {
        const char *data = m_buffer.constData();
        const void *lt = std::memchr(data + m_pos + scanned, '<', size_t(m_end - m_pos - scanned));
        scanned = m_end - m_pos;
        if (lt)
            end = static_cast<const char *>(lt) - data;
        else if (scanned >= ChunkSize)
            end = safeTextEnd(m_pos, m_end); // a long text goes out in pieces
        else if (!fill(m_pos))
            end = m_end;
    }
    if (m_token == Invalid)
        return m_token;
    const QByteArrayView raw(m_buffer.constData() + m_pos, end - m_pos);
    m_pos = end;
    if (m_openStarts.empty()) {
        if (std::all_of(raw.begin(), raw.end(), isSpace))
            return NoToken;
        return fail(tr("Text außerhalb des Wurzelelements"));
    }
    if (!decode(raw, Decoding::Text, &m_text))
        return m_token;
    return m_token = Characters;
}

XmlPullReader::TokenType XmlPullReader::readCData()
{
    if (m_openStarts.empty())
        return fail(tr("Text außerhalb des Wurzelelements"));
    const qsizetype close = find(m_pos + 9, "]]>");
    if (close < 0)
        return fail(tr("unerwartetes Dateiende"));
    const QByteArrayView raw(m_buffer.constData() + m_pos + 9, close - m_pos - 9);
    m_pos = close + 3;
    if (!decode(raw, Decoding::CData, &m_text))
        return m_token;
    return m_token = Characters;
}

qsizetype XmlPullReader::safeTextEnd(qsizetype from, qsizetype end) const
{
    // Never split a line break, a reference or a UTF-8 sequence between two pieces.
    const char *data = m_buffer.constData();
    if (data[end - 1] == '\r')
        --end;
    const qsizetype window = qMax(from, end - MaxReferenceLength);
    const QByteArrayView tail(data + window, end - window);
    const qsizetype ampersand = tail.lastIndexOf(QByteArrayView("&"));
    if (ampersand >= 0 && tail.indexOf(';', ampersand) < 0)
        end = window + ampersand;
    qsizetype lead = end - 1;
    while (lead > from && (uchar(data[lead]) & 0xC0) == 0x80)
        --lead;
    const auto u = uchar(data[lead]);
    const qsizetype length = u >= 0xF0 ? 4 : u >= 0xE0 ? 3 : u >= 0xC0 ? 2 : 1;
    if (end - lead < length)
        end = lead;
    return end;
}

bool XmlPullReader::decode(QByteArrayView raw, Decoding decoding, QByteArrayView *result)
{
    bool rewrite = false;
    bool nonAscii = false;
    for (const char c : raw) {
        const auto u = uchar(c);
        if (u >= 0x80) {
            nonAscii = true;
        } else if (u < 0x20) {
            if (c == '\r' || (decoding == Decoding::Attribute && (c == '\t' || c == '\n')))
                rewrite = true;
            else if (c != '\t' && c != '\n') {
                raiseError(tr("ungültiges Zeichen"));
                return false;
            }
        } else if (c == '&' && decoding != Decoding::CData) {
            rewrite = true;
        }
    }
    if (nonAscii && !raw.isValidUtf8()) {
        raiseError(tr("ungültig kodierte Zeichen"));
        return false;
    }
    if (!rewrite) {
        *result = raw;
        return true;
    }
    const qsizetype start = m_decoded.size();
    const char space = decoding == Decoding::Attribute ? ' ' : '\n';
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const char c = raw[i];
        if (c == '\r') {
            m_decoded.append(space);
            if (i + 1 < raw.size() && raw[i + 1] == '\n')
                ++i;
        } else if (decoding == Decoding::Attribute && (c == '\t' || c == '\n')) {
            m_decoded.append(' ');
        } else if (c == '&' && decoding != Decoding::CData) {
            const qsizetype semicolon = raw.indexOf(';', i + 1);
            if (semicolon < 0 || semicolon - i > MaxReferenceLength ||
                !appendReference(raw.sliced(i + 1, semicolon - i - 1), &m_decoded)) {
                raiseError(tr("ungültiger Verweis „&%1“")
                               .arg(QString::fromUtf8(raw.sliced(i + 1).first(
                                   qMin(MaxReferenceLength, raw.size() - i - 1)))));
                return false;
            }
            i = semicolon;
        } else {
            m_decoded.append(c);
        }
    }
    *result = QByteArrayView(m_decoded.constData() + start, m_decoded.size() - start);
    return true;
}

bool XmlPullReader::appendReference(QByteArrayView reference, QByteArray *out)
{
    static constexpr std::pair<const char *, char> entities[] = {
        {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
    for (const auto &[name, character] : entities) {
        if (reference == name) {
            out->append(character);
            return true;
        }
    }
    if (reference.size() < 2 || reference[0] != '#')
        return false;
    const bool hex = reference[1] == 'x';
    const QByteArrayView digits = reference.sliced(hex ? 2 : 1);
    if (digits.isEmpty())
        return false;
    char32_t code = 0;
    for (const char c : digits) {
        int digit = -1;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (hex && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (hex && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        if (digit < 0)
            return false;
        code = code * (hex ? 16 : 10) + char32_t(digit);
        if (code > 0x10FFFF)
            return false;
    }
    if (!isXmlChar(code))
        return false;
    appendUtf8(out, code);
    return true;
}

bool XmlPullReader::readNextStartElement()
{
    while (!atEnd()) {
        switch (readNext()) {
        case StartElement:
            return true;
        case EndElement:
            return false;
        default:
            break;
        }
    }
    return false;
}

void XmlPullReader::skipCurrentElement()
{
    int depth = 1;
    while (depth > 0 && !atEnd()) {
        const TokenType token = readNext();
        if (token == StartElement)
            ++depth;
        else if (token == EndElement)
            --depth;
    }
}

bool XmlPullReader::readElementText(ByteBuffer *out, qsizetype maxBytes)
{
    while (!atEnd()) {
        switch (readNext()) {
        case Characters:
            if (out->size() + m_text.size() > maxBytes) {
                raiseError(tr("Text länger als erlaubt"));
                return false;
            }
            out->append(m_text);
            break;
        case StartElement:
            skipCurrentElement();
            break;
        case EndElement:
            return true;
        default:
            break;
        }
    }
    return false;
}

} // namespace QXlsx
