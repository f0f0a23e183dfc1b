#pragma once

#include <QBitArray>
#include <QtGlobal>

#include <array>

namespace kivra {

// A fixed set of 256 behaviour bits of a field (bit 0 = lowest). Usable in
// constant expressions; a constant naming a bit outside 0..255 does not compile.
class FieldFlags
{
public:
    static constexpr int kBitCount = 256;

    constexpr FieldFlags() = default;

    static constexpr FieldFlags bit(int position)
    {
        FieldFlags flags;
        flags.setBit(position);
        return flags;
    }
    // Reads the first min(size, 256) bits; further bits are ignored.
    static FieldFlags fromBitArray(const QBitArray &bits);

    // A position outside 0..255 reads as not set.
    constexpr bool testBit(int position) const
    {
        return isInRange(position) && ((m_words[wordOf(position)] >> shiftOf(position)) & 1u);
    }
    // A position outside 0..255 leaves the set unchanged and is logged.
    constexpr FieldFlags &setBit(int position, bool on = true)
    {
        if (!isInRange(position)) {
            reportOutOfRange(position);
            return *this;
        }
        const quint64 mask = quint64(1) << shiftOf(position);
        if (on)
            m_words[wordOf(position)] |= mask;
        else
            m_words[wordOf(position)] &= ~mask;
        return *this;
    }

    constexpr bool isEmpty() const
    {
        return (m_words[0] | m_words[1] | m_words[2] | m_words[3]) == 0;
    }
    int count() const;
    // Index of the lowest set bit, -1 for an empty set.
    int lowestSetBit() const;
    QBitArray toBitArray() const;

    constexpr FieldFlags &operator|=(const FieldFlags &other)
    {
        for (int i = 0; i < kWordCount; ++i)
            m_words[i] |= other.m_words[i];
        return *this;
    }
    constexpr FieldFlags &operator&=(const FieldFlags &other)
    {
        for (int i = 0; i < kWordCount; ++i)
            m_words[i] &= other.m_words[i];
        return *this;
    }
    friend constexpr FieldFlags operator|(FieldFlags a, const FieldFlags &b) { return a |= b; }
    friend constexpr FieldFlags operator&(FieldFlags a, const FieldFlags &b) { return a &= b; }
    friend constexpr bool operator==(const FieldFlags &a, const FieldFlags &b)
    {
        for (int i = 0; i < kWordCount; ++i)
            if (a.m_words[i] != b.m_words[i])
                return false;
        return true;
    }
    friend constexpr bool operator!=(const FieldFlags &a, const FieldFlags &b) { return !(a == b); }

private:
    static constexpr int kWordCount = kBitCount / 64;

    static constexpr bool isInRange(int position) { return position >= 0 && position < kBitCount; }
    static constexpr int wordOf(int position) { return position / 64; }
    static constexpr int shiftOf(int position) { return position % 64; }
    // Not constexpr on purpose: reaching it in a constant expression is a compile error.
    static void reportOutOfRange(int position);

    std::array<quint64, kWordCount> m_words {};
};

// True when the two sets share a set bit.
bool hasFlags(const FieldFlags &flags, const FieldFlags &mask);
// With an empty mask: true when no flag is set; otherwise true when every bit of the mask is set.
bool testFlags(const FieldFlags &flags, const FieldFlags &mask);
// 256 bits, bit i equal to flag i.
QBitArray flagsToBitArray(const FieldFlags &flags);
// Value of a one-of-N group whose lowest and highest bits are the single bits of first and
// last: the distance of the group's highest set bit from its lowest bit, -1 when none is set.
int selectorValue(const FieldFlags &flags, const FieldFlags &first, const FieldFlags &last);

inline constexpr FieldFlags kReadOnly = FieldFlags::bit(0);
inline constexpr FieldFlags kGroupWithoutCaption = FieldFlags::bit(1);
inline constexpr FieldFlags kToggleBoldCaption = FieldFlags::bit(2);
inline constexpr FieldFlags kPasswordEcho = FieldFlags::bit(3);
inline constexpr FieldFlags kPasswordEchoOnEdit = FieldFlags::bit(4);
inline constexpr FieldFlags kSortItems = FieldFlags::bit(5);
inline constexpr FieldFlags kMultiSelect = FieldFlags::bit(6);
inline constexpr FieldFlags kCheckList = FieldFlags::bit(7);
inline constexpr FieldFlags kHideUnchecked = FieldFlags::bit(8);
inline constexpr FieldFlags kRequired = FieldFlags::bit(9);
inline constexpr FieldFlags kKeepInFirstPass = FieldFlags::bit(10);
inline constexpr FieldFlags kRichText = FieldFlags::bit(11);
inline constexpr FieldFlags kCheckBoxOwnRow = FieldFlags::bit(12);
inline constexpr FieldFlags kFileMustExist = FieldFlags::bit(13);
inline constexpr FieldFlags kHideMainWidget = FieldFlags::bit(14);
inline constexpr FieldFlags kAdjustToContents = FieldFlags::bit(15);
inline constexpr FieldFlags kValidateCallback = FieldFlags::bit(16);
inline constexpr FieldFlags kNoRequiredMarker = FieldFlags::bit(17);
inline constexpr FieldFlags kAskBefore = FieldFlags::bit(18);
inline constexpr FieldFlags kNoBoldCaption = FieldFlags::bit(19);
inline constexpr FieldFlags kBoldGroupTitle = FieldFlags::bit(20);
inline constexpr FieldFlags kFitHeight = FieldFlags::bit(21);
inline constexpr FieldFlags kSkipInFirstPass = FieldFlags::bit(22);
inline constexpr FieldFlags kSpinTextReadOnly = FieldFlags::bit(23);
inline constexpr FieldFlags kAutocorrectMinMax = FieldFlags::bit(24);
inline constexpr FieldFlags kImmediateUpdate = FieldFlags::bit(25);
inline constexpr FieldFlags kWordWrap = FieldFlags::bit(26);
inline constexpr FieldFlags kFocusWheel = FieldFlags::bit(27);
inline constexpr FieldFlags kNoCaptionSplit = FieldFlags::bit(28);
inline constexpr FieldFlags kDefaultButton = FieldFlags::bit(29);
inline constexpr FieldFlags kEmitInitialChange = FieldFlags::bit(30);
inline constexpr FieldFlags kEmitInitialChangeIfSet = FieldFlags::bit(31);
inline constexpr FieldFlags kSpanRestOfRow = FieldFlags::bit(60);
inline constexpr FieldFlags kDateSpinButtons = FieldFlags::bit(70);
inline constexpr FieldFlags kKeepInvalidCheckValue = FieldFlags::bit(71);
inline constexpr FieldFlags kExpandingH = FieldFlags::bit(110);
inline constexpr FieldFlags kExpandingV = FieldFlags::bit(111);
inline constexpr FieldFlags kMinimumExpandingH = FieldFlags::bit(112);
inline constexpr FieldFlags kMinimumExpandingV = FieldFlags::bit(113);

// One-of-N groups: the value is the index of the highest set bit within the group.
inline constexpr FieldFlags kColumnGroupFirst = FieldFlags::bit(32);
inline constexpr FieldFlags kColumnGroupLast = FieldFlags::bit(41);
inline constexpr FieldFlags kSpanGroupFirst = FieldFlags::bit(50);
inline constexpr FieldFlags kSpanGroupLast = FieldFlags::bit(59);
inline constexpr FieldFlags kLinesGroupFirst = FieldFlags::bit(100);
inline constexpr FieldFlags kLinesGroupLast = FieldFlags::bit(109);
inline constexpr FieldFlags kTrailingStretchGroupFirst = FieldFlags::bit(120);
inline constexpr FieldFlags kTrailingStretchGroupLast = FieldFlags::bit(129);
inline constexpr FieldFlags kLayoutStretchGroupFirst = FieldFlags::bit(130);
inline constexpr FieldFlags kLayoutStretchGroupLast = FieldFlags::bit(139);

// Alignment bits, OR-ed over the group: of the field's widgets and of its caption labels.
inline constexpr FieldFlags kAlignGroupFirst = FieldFlags::bit(80);
inline constexpr FieldFlags kAlignGroupLast = FieldFlags::bit(89);
inline constexpr FieldFlags kCaptionAlignGroupFirst = FieldFlags::bit(90);
inline constexpr FieldFlags kCaptionAlignGroupLast = FieldFlags::bit(99);

} // namespace kivra
