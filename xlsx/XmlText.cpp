#include "XmlText.h"

#include "ByteBuffer.h"

namespace QXlsx {

namespace {

constexpr qsizetype EscapeLength = 7; // "_x" + four hex digits + "_"

int hexValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

// The code unit of an escape starting at i, or -1 when there is none.
int escapeAt(QStringView text, qsizetype i)
{
    if (i + EscapeLength > text.size() || text[i] != u'_' || text[i + 1] != u'x' ||
        text[i + 6] != u'_')
        return -1;
    int value = 0;
    for (qsizetype k = i + 2; k < i + 6; ++k) {
        const int digit = hexValue(text[k]);
        if (digit < 0)
            return -1;
        value = value * 16 + digit;
    }
    return value;
}

bool needsEscape(QStringView text, qsizetype i, bool protectLookalikes)
{
    const char16_t u = text[i].unicode();
    if (u < 0x20)
        return u != u'\t' && u != u'\n';
    if (u == 0xFFFE || u == 0xFFFF)
        return true;
    if (QChar::isHighSurrogate(u))
        return i + 1 >= text.size() || !QChar::isLowSurrogate(text[i + 1].unicode());
    if (QChar::isLowSurrogate(u))
        return i == 0 || !QChar::isHighSurrogate(text[i - 1].unicode());
    return protectLookalikes && u == u'_' && escapeAt(text, i) >= 0;
}

void appendEscape(QString &out, char16_t unit)
{
    static constexpr char16_t digits[] = u"0123456789ABCDEF";
    out += QLatin1String("_x");
    for (int shift = 12; shift >= 0; shift -= 4)
        out += QChar(digits[(unit >> shift) & 0xF]);
    out += u'_';
}

} // namespace

QString decodeXmlEscapes(QStringView text)
{
    if (!text.contains(QLatin1String("_x")))
        return text.toString();
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int value = escapeAt(text, i);
        if (value >= 0) {
            out += QChar(char16_t(value));
            i += EscapeLength - 1;
        } else {
            out += text[i];
        }
    }
    return out;
}

QString decodeXmlEscapes(const QString &text)
{
    return text.contains(QLatin1String("_x")) ? decodeXmlEscapes(QStringView(text)) : text;
}

QString encodeXmlEscapes(const QString &text, bool protectLookalikes)
{
    qsizetype first = 0;
    while (first < text.size() && !needsEscape(text, first, protectLookalikes))
        ++first;
    if (first == text.size())
        return text;
    QString out = text.left(first);
    for (qsizetype i = first; i < text.size(); ++i) {
        if (needsEscape(text, i, protectLookalikes))
            appendEscape(out, text[i].unicode());
        else
            out += text[i];
    }
    return out;
}

void appendXmlText(ByteBuffer &out, const QString &text, bool protectLookalikes)
{
    const QByteArray utf8 = encodeXmlEscapes(text, protectLookalikes).toUtf8();
    const char *data = utf8.constData();
    qsizetype run = 0; // start of the characters not yet appended
    for (qsizetype i = 0; i < utf8.size(); ++i) {
        const char *entity = nullptr;
        switch (data[i]) {
        case '&':
            entity = "&amp;";
            break;
        case '<':
            entity = "&lt;";
            break;
        case '>':
            entity = "&gt;";
            break;
        default:
            continue;
        }
        out.append(data + run, i - run).append(entity);
        run = i + 1;
    }
    out.append(data + run, utf8.size() - run);
}

} // namespace QXlsx
