#pragma once

#include <QColor>
#include <QFont>
#include <QSharedDataPointer>
#include <QString>

class QDebug;

namespace QXlsx {

class FormatPrivate;

// How a cell looks: number format, font, solid fill colour, borders and alignment. An implicitly
// shared value. A default-constructed format is invalid and stands for "no style of its own"; any
// setter makes it valid. Two formats are equal when all their properties are.
class Format
{
public:
    enum HorizontalAlignment {
        AlignHGeneral,
        AlignLeft,
        AlignHCenter,
        AlignRight,
        AlignHFill,
        AlignHJustify,
        AlignHMerge,
        AlignHDistributed,
    };
    enum VerticalAlignment {
        AlignTop,
        AlignVCenter,
        AlignBottom,
        AlignVJustify,
        AlignVDistributed,
    };
    enum ReadingOrder {
        ReadingOrderContext, // as the text's first strong character says
        ReadingOrderLeftToRight,
        ReadingOrderRightToLeft,
    };
    // The rotation that stacks the letters top to bottom instead of turning them.
    static constexpr int StackedRotation = 255;
    enum BorderSide {
        LeftBorder,
        RightBorder,
        TopBorder,
        BottomBorder,
        DiagonalBorder,
    };
    static constexpr int BorderSideCount = 5;
    enum BorderStyle {
        BorderNone,
        BorderThin,
        BorderMedium,
        BorderDashed,
        BorderDotted,
        BorderThick,
        BorderDouble,
        BorderHair,
        BorderMediumDashed,
        BorderDashDot,
        BorderMediumDashDot,
        BorderDashDotDot,
        BorderMediumDashDotDot,
        BorderSlantDashDot,
    };
    enum DiagonalBorderType {
        DiagonalBorderNone,
        DiagonalBorderDown, // top left to bottom right
        DiagonalBorderUp, // bottom left to top right
        DiagonalBorderBoth,
    };

    Format();
    Format(const Format &other);
    Format(Format &&other) noexcept;
    Format &operator=(const Format &other);
    Format &operator=(Format &&other) noexcept;
    ~Format();

    bool isValid() const;

    // The number format code ("0.00", "dd.mm.yyyy", "@"); empty means General.
    QString numberFormat() const;
    void setNumberFormat(const QString &code);
    // Whether the number format shows dates or times.
    bool isDateTimeFormat() const;

    // Whether any font property is set; without one the workbook's default font applies.
    bool hasFontData() const;
    // The font built from the font properties that are set.
    QFont font() const;
    QString fontName() const;
    void setFontName(const QString &name);
    double fontSize() const; // points; 0 when not set
    void setFontSize(double points);
    bool fontBold() const;
    void setFontBold(bool bold);
    bool fontItalic() const;
    void setFontItalic(bool italic);
    bool fontUnderline() const;
    void setFontUnderline(bool underline);
    bool fontStrikeOut() const;
    void setFontStrikeOut(bool strikeOut);
    QColor fontColor() const; // invalid when not set
    void setFontColor(const QColor &color);

    // The colour of a solid fill, which is what the cell shows; invalid without a fill.
    QColor patternBackgroundColor() const;
    void setPatternBackgroundColor(const QColor &color);

    // Whether any border property is set.
    bool hasBorderData() const;
    BorderStyle borderStyle(BorderSide side) const;
    void setBorderStyle(BorderSide side, BorderStyle style);
    QColor borderColor(BorderSide side) const; // invalid when not set
    void setBorderColor(BorderSide side, const QColor &color);
    // Which diagonals the diagonal border draws.
    DiagonalBorderType diagonalBorderType() const;
    void setDiagonalBorderType(DiagonalBorderType type);

    HorizontalAlignment horizontalAlignment() const;
    void setHorizontalAlignment(HorizontalAlignment alignment);
    VerticalAlignment verticalAlignment() const;
    void setVerticalAlignment(VerticalAlignment alignment);
    // Whether any alignment property differs from the default (general, bottom, no wrap...).
    bool hasAlignmentData() const;
    bool textWrap() const;
    void setTextWrap(bool wrap);
    // Degrees: 0 to 90 turn the text up, 91 to 180 down by (degrees - 90), StackedRotation
    // stacks it; other values give 0.
    int rotation() const;
    void setRotation(int degrees);
    // Steps of indentation (of three spaces' width each), 0 to 250.
    int indent() const;
    void setIndent(int steps);
    bool shrinkToFit() const;
    void setShrinkToFit(bool shrink);
    // Whether the last line of justified or distributed text is spread too.
    bool justifyLastLine() const;
    void setJustifyLastLine(bool justify);
    ReadingOrder readingOrder() const;
    void setReadingOrder(ReadingOrder order);
    // The indent a cell style adds to its base style's (-250 to 250).
    int relativeIndent() const;
    void setRelativeIndent(int steps);

    friend bool operator==(const Format &a, const Format &b);
    friend bool operator!=(const Format &a, const Format &b) { return !(a == b); }
    friend size_t qHash(const Format &format, size_t seed) noexcept;

private:
    const FormatPrivate &data() const;
    template<typename T>
    void setProperty(T FormatPrivate::*field, const T &value, bool isFont);
    FormatPrivate &edit();

    QSharedDataPointer<FormatPrivate> d;
};

size_t qHash(const Format &format, size_t seed = 0) noexcept;
QDebug operator<<(QDebug debug, const Format &format);

} // namespace QXlsx
