#include "Format.h"

#include "NumberFormats.h"

#include <QDebug>
#include <QHashFunctions>

#include <algorithm>
#include <array>

namespace QXlsx {

namespace {
// The deepest indentation a spreadsheet program offers.
constexpr int MaxIndent = 250;
} // namespace

class FormatPrivate : public QSharedData
{
public:
    bool sameProperties(const FormatPrivate &other) const
    {
        return numberFormat == other.numberFormat && hasFont == other.hasFont &&
            fontName == other.fontName && fontSize == other.fontSize && bold == other.bold &&
            italic == other.italic && underline == other.underline &&
            strikeOut == other.strikeOut && fontColor == other.fontColor &&
            fillColor == other.fillColor && horizontal == other.horizontal &&
            vertical == other.vertical && wrap == other.wrap && rotation == other.rotation &&
            indent == other.indent && shrink == other.shrink &&
            justifyLastLine == other.justifyLastLine && readingOrder == other.readingOrder &&
            relativeIndent == other.relativeIndent && borderStyles == other.borderStyles &&
            borderColors == other.borderColors && diagonal == other.diagonal;
    }

    // Kept up to date by every setter, so that hashing a shared format costs nothing.
    void updateHash()
    {
        const auto colorKey = [](const QColor &c) {
            return c.isValid() ? c.rgba() : 0u;
        };
        hash = qHashMulti(0, numberFormat, hasFont, fontName, fontSize, bold, italic, underline,
                          strikeOut, colorKey(fontColor), colorKey(fillColor), int(horizontal),
                          int(vertical), int(diagonal), wrap, rotation, indent, shrink,
                          justifyLastLine, int(readingOrder), relativeIndent);
        for (int side = 0; side < Format::BorderSideCount; ++side)
            hash = qHashMulti(hash, int(borderStyles[side]), colorKey(borderColors[side]));
    }

    QString numberFormat;
    bool isDateTime = false;
    bool hasFont = false;
    QString fontName;
    double fontSize = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    QColor fontColor;
    QColor fillColor;
    Format::HorizontalAlignment horizontal = Format::AlignHGeneral;
    Format::VerticalAlignment vertical = Format::AlignBottom;
    bool wrap = false;
    bool shrink = false;
    bool justifyLastLine = false;
    Format::ReadingOrder readingOrder = Format::ReadingOrderContext;
    int rotation = 0;
    int indent = 0;
    int relativeIndent = 0;
    std::array<Format::BorderStyle, Format::BorderSideCount> borderStyles {};
    std::array<QColor, Format::BorderSideCount> borderColors;
    Format::DiagonalBorderType diagonal = Format::DiagonalBorderNone;
    size_t hash = 0;
};

Format::Format() = default;
Format::Format(const Format &other) = default;
Format::Format(Format &&other) noexcept = default;
Format &Format::operator=(const Format &other) = default;
Format &Format::operator=(Format &&other) noexcept = default;
Format::~Format() = default;

const FormatPrivate &Format::data() const
{
    static const FormatPrivate defaults;
    return d ? *d : defaults;
}

template<typename T>
void Format::setProperty(T FormatPrivate::*field, const T &value, bool isFont)
{
    FormatPrivate &p = edit();
    p.*field = value;
    p.hasFont = p.hasFont || isFont;
    p.updateHash();
}

FormatPrivate &Format::edit()
{
    if (!d)
        d = new FormatPrivate;
    return *d;
}

bool Format::isValid() const
{
    return d;
}

QString Format::numberFormat() const
{
    return data().numberFormat;
}

void Format::setNumberFormat(const QString &code)
{
    setProperty(&FormatPrivate::isDateTime, isDateTimeNumberFormat(code), false);
    setProperty(&FormatPrivate::numberFormat, code, false);
}

bool Format::isDateTimeFormat() const
{
    return data().isDateTime;
}

bool Format::hasFontData() const
{
    return data().hasFont;
}

QFont Format::font() const
{
    QFont font;
    const FormatPrivate &p = data();
    if (!p.hasFont)
        return font;
    if (!p.fontName.isEmpty())
        font.setFamily(p.fontName);
    if (p.fontSize > 0)
        font.setPointSizeF(p.fontSize);
    font.setBold(p.bold);
    font.setItalic(p.italic);
    font.setUnderline(p.underline);
    font.setStrikeOut(p.strikeOut);
    return font;
}

QString Format::fontName() const
{
    return data().fontName;
}

void Format::setFontName(const QString &name)
{
    setProperty(&FormatPrivate::fontName, name, true);
}

double Format::fontSize() const
{
    return data().fontSize;
}

void Format::setFontSize(double points)
{
    setProperty(&FormatPrivate::fontSize, points > 0 ? points : 0.0, true);
}

bool Format::fontBold() const
{
    return data().bold;
}

void Format::setFontBold(bool bold)
{
    setProperty(&FormatPrivate::bold, bold, true);
}

bool Format::fontItalic() const
{
    return data().italic;
}

void Format::setFontItalic(bool italic)
{
    setProperty(&FormatPrivate::italic, italic, true);
}

bool Format::fontUnderline() const
{
    return data().underline;
}

void Format::setFontUnderline(bool underline)
{
    setProperty(&FormatPrivate::underline, underline, true);
}

bool Format::fontStrikeOut() const
{
    return data().strikeOut;
}

void Format::setFontStrikeOut(bool strikeOut)
{
    setProperty(&FormatPrivate::strikeOut, strikeOut, true);
}

QColor Format::fontColor() const
{
    return data().fontColor;
}

void Format::setFontColor(const QColor &color)
{
    setProperty(&FormatPrivate::fontColor, color, true);
}

QColor Format::patternBackgroundColor() const
{
    return data().fillColor;
}

void Format::setPatternBackgroundColor(const QColor &color)
{
    setProperty(&FormatPrivate::fillColor, color, false);
}

bool Format::hasBorderData() const
{
    const FormatPrivate &p = data();
    return p.diagonal != DiagonalBorderNone ||
        std::any_of(p.borderStyles.cbegin(), p.borderStyles.cend(),
                    [](BorderStyle style) { return style != BorderNone; }) ||
        std::any_of(p.borderColors.cbegin(), p.borderColors.cend(),
                    [](const QColor &color) { return color.isValid(); });
}

Format::BorderStyle Format::borderStyle(BorderSide side) const
{
    return data().borderStyles[side];
}

void Format::setBorderStyle(BorderSide side, BorderStyle style)
{
    FormatPrivate &p = edit();
    p.borderStyles[side] = style;
    p.updateHash();
}

QColor Format::borderColor(BorderSide side) const
{
    return data().borderColors[side];
}

void Format::setBorderColor(BorderSide side, const QColor &color)
{
    FormatPrivate &p = edit();
    p.borderColors[side] = color;
    p.updateHash();
}

Format::DiagonalBorderType Format::diagonalBorderType() const
{
    return data().diagonal;
}

void Format::setDiagonalBorderType(DiagonalBorderType type)
{
    setProperty(&FormatPrivate::diagonal, type, false);
}

Format::HorizontalAlignment Format::horizontalAlignment() const
{
    return data().horizontal;
}

void Format::setHorizontalAlignment(HorizontalAlignment alignment)
{
    setProperty(&FormatPrivate::horizontal, alignment, false);
}

Format::VerticalAlignment Format::verticalAlignment() const
{
    return data().vertical;
}

void Format::setVerticalAlignment(VerticalAlignment alignment)
{
    setProperty(&FormatPrivate::vertical, alignment, false);
}

bool Format::hasAlignmentData() const
{
    const FormatPrivate &p = data();
    return p.horizontal != AlignHGeneral || p.vertical != AlignBottom || p.wrap ||
        p.rotation != 0 || p.indent != 0 || p.shrink || p.justifyLastLine ||
        p.readingOrder != ReadingOrderContext || p.relativeIndent != 0;
}

bool Format::textWrap() const
{
    return data().wrap;
}

void Format::setTextWrap(bool wrap)
{
    setProperty(&FormatPrivate::wrap, wrap, false);
}

int Format::rotation() const
{
    return data().rotation;
}

void Format::setRotation(int degrees)
{
    const bool valid = (degrees >= 0 && degrees <= 180) || degrees == StackedRotation;
    setProperty(&FormatPrivate::rotation, valid ? degrees : 0, false);
}

int Format::indent() const
{
    return data().indent;
}

void Format::setIndent(int steps)
{
    setProperty(&FormatPrivate::indent, qBound(0, steps, MaxIndent), false);
}

bool Format::shrinkToFit() const
{
    return data().shrink;
}

void Format::setShrinkToFit(bool shrink)
{
    setProperty(&FormatPrivate::shrink, shrink, false);
}

bool Format::justifyLastLine() const
{
    return data().justifyLastLine;
}

void Format::setJustifyLastLine(bool justify)
{
    setProperty(&FormatPrivate::justifyLastLine, justify, false);
}

Format::ReadingOrder Format::readingOrder() const
{
    return data().readingOrder;
}

void Format::setReadingOrder(ReadingOrder order)
{
    setProperty(&FormatPrivate::readingOrder, order, false);
}

int Format::relativeIndent() const
{
    return data().relativeIndent;
}

void Format::setRelativeIndent(int steps)
{
    setProperty(&FormatPrivate::relativeIndent, qBound(-MaxIndent, steps, MaxIndent), false);
}

bool operator==(const Format &a, const Format &b)
{
    if (a.d == b.d)
        return true;
    if (!a.d || !b.d)
        return false;
    return a.d->hash == b.d->hash && a.d->sameProperties(*b.d);
}

size_t qHash(const Format &format, size_t seed) noexcept
{
    return format.d ? format.d->hash ^ seed : seed;
}

QDebug operator<<(QDebug debug, const Format &format)
{
    const QDebugStateSaver saver(debug);
    debug.nospace() << "QXlsx::Format(";
    if (!format.isValid())
        return debug << "invalid)";
    debug << "numberFormat=" << format.numberFormat();
    if (format.hasFontData())
        debug << ", font=" << format.fontName() << ' ' << format.fontSize() << "pt"
              << (format.fontBold() ? " bold" : "") << (format.fontItalic() ? " italic" : "")
              << (format.fontUnderline() ? " underline" : "")
              << (format.fontStrikeOut() ? " strikeout" : "")
              << ", fontColor=" << format.fontColor();
    if (format.patternBackgroundColor().isValid())
        debug << ", fill=" << format.patternBackgroundColor();
    if (format.hasBorderData())
        debug << ", borders";
    debug << ", alignment=" << format.horizontalAlignment() << '/' << format.verticalAlignment();
    if (format.textWrap())
        debug << " wrap";
    if (format.rotation() != 0)
        debug << " rotation=" << format.rotation();
    if (format.indent() != 0 || format.relativeIndent() != 0)
        debug << " indent=" << format.indent() << '/' << format.relativeIndent();
    if (format.shrinkToFit())
        debug << " shrink";
    if (format.justifyLastLine())
        debug << " justifyLastLine";
    if (format.readingOrder() != Format::ReadingOrderContext)
        debug << " readingOrder=" << format.readingOrder();
    return debug << ')';
}

} // namespace QXlsx
