#include "UnpairedSurrogates.h"

namespace vondrel {

qsizetype replaceUnpairedSurrogates(QChar *pos, QChar *end)
{
    qsizetype replaced = 0;
    for (; pos < end; ++pos) {
        if (!pos->isSurrogate())
            continue;
        if (pos->isHighSurrogate() && pos + 1 < end && pos[1].isLowSurrogate()) {
            ++pos;
        } else {
            *pos = QChar::ReplacementCharacter;
            ++replaced;
        }
    }
    return replaced;
}

} // namespace vondrel
