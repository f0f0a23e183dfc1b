#include "NumberFormats.h"

#include <iterator>

namespace QXlsx {

namespace {

struct BuiltInFormat
{
    int id;
    const char16_t *code;
};

// The built-in formats with a fixed code, as the file format defines them.
constexpr BuiltInFormat builtInFormats[] = {
    {0, u"General"},
    {1, u"0"},
    {2, u"0.00"},
    {3, u"#,##0"},
    {4, u"#,##0.00"},
    {9, u"0%"},
    {10, u"0.00%"},
    {11, u"0.00E+00"},
    {12, u"# ?/?"},
    {13, u"# ?\?/??"},
    {14, u"mm-dd-yy"},
    {15, u"d-mmm-yy"},
    {16, u"d-mmm"},
    {17, u"mmm-yy"},
    {18, u"h:mm AM/PM"},
    {19, u"h:mm:ss AM/PM"},
    {20, u"h:mm"},
    {21, u"h:mm:ss"},
    {22, u"m/d/yy h:mm"},
    {37, u"#,##0 ;(#,##0)"},
    {38, u"#,##0 ;[Red](#,##0)"},
    {39, u"#,##0.00;(#,##0.00)"},
    {40, u"#,##0.00;[Red](#,##0.00)"},
    {45, u"mm:ss"},
    {46, u"[h]:mm:ss"},
    {47, u"mmss.0"},
    {48, u"##0.0E+0"},
    {49, u"@"},
};

bool isElapsedTimeBracket(QStringView inner)
{
    if (inner.isEmpty())
        return false;
    const QChar first = inner.front().toLower();
    if (first != u'h' && first != u'm' && first != u's')
        return false;
    for (const QChar c : inner)
        if (c.toLower() != first)
            return false;
    return true;
}

} // namespace

QString builtInNumberFormat(int id)
{
    for (const BuiltInFormat &format : builtInFormats)
        if (format.id == id)
            return QString::fromUtf16(format.code);
    return {};
}

int builtInNumberFormatId(QStringView code)
{
    for (const BuiltInFormat &format : builtInFormats)
        if (code == QStringView(format.code))
            return format.id;
    return -1;
}

bool isDateTimeNumberFormat(QStringView code)
{
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code[i];
        switch (c.unicode()) {
        case u';':
            return false; // only the first section decides
        case u'"': {
            const qsizetype close = code.indexOf(u'"', i + 1);
            if (close < 0)
                return false;
            i = close;
            break;
        }
        case u'\\':
        case u'_':
        case u'*':
            ++i; // the next character is literal, a padding width or a fill character
            break;
        case u'[': {
            const qsizetype close = code.indexOf(u']', i + 1);
            if (close < 0)
                return false;
            if (isElapsedTimeBracket(code.mid(i + 1, close - i - 1)))
                return true;
            i = close;
            break;
        }
        default:
            switch (c.toLower().unicode()) {
            case u'd':
            case u'm':
            case u'y':
            case u'h':
            case u's':
                return true;
            default:
                break;
            }
        }
    }
    return false;
}

} // namespace QXlsx
