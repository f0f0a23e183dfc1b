#include "IniValueTexts_p.h"

#include <QStringDecoder>
#include <QStringList>

namespace kivra {

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// The bytes that end or change a line; every other byte just belongs to it.
bool isLineSpecial(char c)
{
    return c == '\n' || c == '\r' || c == '"' || c == ';' || c == '=' || c == '\\';
}

bool isHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

char16_t hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return char16_t(c - '0');
    return char16_t((c | 0x20) - 'a' + 10);
}

bool isOctalDigit(char c)
{
    return c >= '0' && c <= '7';
}

// One line of INI content: [start, end), and the offset of its first '=' outside quotes
// (-1 when there is none).
struct IniLine
{
    qsizetype start = 0;
    qsizetype end = 0;
    qsizetype equals = -1;
};

// The line from *pos on. White space and line breaks before it are skipped, and so are comment
// lines (a ';' where a line starts). A line ends at a line break or a ';' outside quotes; a
// quote keeps line breaks in the line, and a backslash keeps the byte after it (with a CR LF
// or LF CR pair). False at the end of the content.
bool nextLine(QByteArrayView data, qsizetype *pos, IniLine *line)
{
    const qsizetype size = data.size();
    qsizetype start = *pos;
    while (start < size && isSpace(data[start]))
        ++start;
    qsizetype equals = -1;
    bool inQuotes = false;
    bool ended = false;
    qsizetype i = start;
    while (i < size && !ended) {
        const char ch = data[i++];
        if (!isLineSpecial(ch))
            continue;
        switch (ch) {
        case '=':
            if (!inQuotes && equals < 0)
                equals = i - 1;
            break;
        case '\n':
        case '\r':
            if (i == start + 1) {
                ++start;
            } else if (!inQuotes) {
                --i;
                ended = true;
            }
            break;
        case '\\':
            if (i < size) {
                const char kept = data[i++];
                if (i < size) {
                    const char after = data[i];
                    if ((kept == '\n' && after == '\r') || (kept == '\r' && after == '\n'))
                        ++i;
                }
            }
            break;
        case '"':
            inQuotes = !inQuotes;
            break;
        default: // ';'
            if (i == start + 1) {
                while (i < size && data[i] != '\n' && data[i] != '\r')
                    ++i;
                while (i < size && isSpace(data[i]))
                    ++i;
                start = i;
            } else if (!inQuotes) {
                --i;
                ended = true;
            }
            break;
        }
    }
    *pos = i;
    *line = IniLine {start, i, equals};
    return i > start;
}

// Turns the bytes of one value into its text: white space around it and around list items
// dropped unless escaped or quoted, C-style escapes (octal and hex ones of any length, kept to
// 16 bits) resolved, quotes removed, the rest decoded as UTF-8 by one decoder for the whole
// value, so a sequence split by an escape still joins up. An unquoted comma makes it a list.
class ValueUnescaper
{
public:
    explicit ValueUnescaper(QByteArrayView value)
        : m_in(value)
    {
        run();
        if (m_isList)
            m_items.append(m_text);
        else
            m_items = QStringList {m_text};
    }

    // The value's text, or its items when it is a list.
    const QStringList &texts() const { return m_items; }

private:
    enum class State { SkipSpaces, Normal, HexEscape, OctalEscape };

    void run()
    {
        State state = State::SkipSpaces;
        for (;;) {
            switch (state) {
            case State::SkipSpaces:
                while (m_pos < m_in.size() && (m_in[m_pos] == ' ' || m_in[m_pos] == '\t'))
                    ++m_pos;
                state = normal();
                break;
            case State::Normal:
                if (m_pos >= m_in.size()) {
                    if (!m_quoted)
                        chopTrailingSpaces();
                    return;
                }
                if (!step(&state))
                    return;
                break;
            case State::HexEscape:
            case State::OctalEscape: {
                const bool hex = state == State::HexEscape;
                if (m_pos >= m_in.size()) {
                    m_text += QChar(m_escape);
                    return;
                }
                const char c = m_in[m_pos];
                if (hex ? isHexDigit(c) : isOctalDigit(c)) {
                    m_escape =
                        char16_t((m_escape << (hex ? 4 : 3)) + (hex ? hexValue(c) : c - '0'));
                    ++m_pos;
                } else {
                    m_text += QChar(m_escape);
                    state = normal();
                }
                break;
            }
            }
        }
    }

    // Entering the normal state: what is in the text so far is never chopped as trailing space.
    State normal()
    {
        m_chopLimit = m_text.size();
        return State::Normal;
    }

    // One step in the normal state; false when the value ends (a backslash as its last byte,
    // or "\x" with nothing after it, ends it without chopping).
    bool step(State *state)
    {
        const char c = m_in[m_pos];
        if (c == '\\')
            return escape(state);
        if (c == '"') {
            ++m_pos;
            m_quoted = true;
            m_inQuotes = !m_inQuotes;
            if (!m_inQuotes)
                *state = State::SkipSpaces;
            return true;
        }
        if (c == ',' && !m_inQuotes) {
            if (!m_quoted)
                chopTrailingSpaces();
            if (!m_isList) {
                m_isList = true;
                m_items.clear();
            }
            m_items.append(m_text);
            m_text.clear();
            m_quoted = false;
            ++m_pos;
            *state = State::SkipSpaces;
            return true;
        }
        qsizetype end = m_pos + 1;
        while (end < m_in.size() && m_in[end] != '\\' && m_in[end] != '"' && m_in[end] != ',')
            ++end;
        m_text += QString(m_decoder.decode(m_in.sliced(m_pos, end - m_pos)));
        m_pos = end;
        return true;
    }

    bool escape(State *state)
    {
        static constexpr char kCodes[][2] = {{'a', '\a'}, {'b', '\b'},  {'f', '\f'}, {'n', '\n'},
                                             {'r', '\r'}, {'t', '\t'},  {'v', '\v'}, {'"', '"'},
                                             {'?', '?'},  {'\'', '\''}, {'\\', '\\'}};
        ++m_pos;
        if (m_pos >= m_in.size())
            return false;
        const char c = m_in[m_pos++];
        for (const auto &code : kCodes) {
            if (c == code[0]) {
                m_text += QLatin1Char(code[1]);
                *state = normal();
                return true;
            }
        }
        if (c == 'x') {
            m_escape = 0;
            if (m_pos >= m_in.size())
                return false;
            if (isHexDigit(m_in[m_pos])) {
                *state = State::HexEscape;
                return true;
            }
        } else if (isOctalDigit(c)) {
            m_escape = char16_t(c - '0');
            *state = State::OctalEscape;
            return true;
        } else if ((c == '\n' || c == '\r') && m_pos < m_in.size()) {
            // A line continuation; its line break may be a pair.
            const char next = m_in[m_pos];
            if ((next == '\n' || next == '\r') && next != c)
                ++m_pos;
        }
        // Any other escaped byte is dropped.
        *state = normal();
        return true;
    }

    void chopTrailingSpaces()
    {
        qsizetype n = m_text.size();
        while (n > m_chopLimit && (m_text[n - 1] == u' ' || m_text[n - 1] == u'\t'))
            --n;
        m_text.truncate(n);
    }

    QByteArrayView m_in;
    qsizetype m_pos = 0;
    QStringDecoder m_decoder {QStringDecoder::Utf8};
    QString m_text;
    QStringList m_items;
    qsizetype m_chopLimit = 0;
    char16_t m_escape = 0;
    bool m_isList = false;
    bool m_inQuotes = false;
    bool m_quoted = false;
};

bool visitSection(QByteArrayView section, const std::function<bool(const QString &)> &visit)
{
    qsizetype pos = 0;
    IniLine line;
    while (nextLine(section, &pos, &line)) {
        if (line.equals < 0)
            continue;
        const QByteArrayView value = section.sliced(line.equals + 1, line.end - line.equals - 1);
        const QStringList texts = ValueUnescaper(value).texts();
        for (const QString &text : texts) {
            if (!visit(text))
                return false;
        }
    }
    return true;
}

} // namespace

bool visitIniValueTexts(QByteArrayView content,
                        const std::function<bool(const QString &text)> &visit)
{
    // Section headers are found with the byte order mark skipped, yet the bytes before the
    // first header are read as a section with it, as QSettings does. A section named twice is
    // read by QSettings as its parts joined by a line break; each part ends where a line ends,
    // so reading the parts one by one finds the same values.
    static constexpr QByteArrayView kByteOrderMark("\xef\xbb\xbf");
    qsizetype pos = content.startsWith(kByteOrderMark) ? kByteOrderMark.size() : 0;
    qsizetype sectionStart = 0;
    IniLine line;
    while (nextLine(content, &pos, &line)) {
        if (content[line.start] != '[')
            continue;
        if (!visitSection(content.sliced(sectionStart, line.start - sectionStart), visit))
            return false;
        sectionStart = pos;
    }
    return visitSection(content.sliced(sectionStart), visit);
}

} // namespace kivra
