#include "WeakKey.h"

#include <array>
#include <cmath>

bool isWeakKey(const QByteArray &key)
{
    if (key.isEmpty())
        return true;

    std::array<int, 256> counts = {};
    for (const char byte : key)
        ++counts[uchar(byte)];
    int distinct = 0;
    double entropy = 0;
    const double length = double(key.size());
    for (const int count : counts) {
        if (count == 0)
            continue;
        ++distinct;
        const double p = count / length;
        entropy -= p * std::log2(p);
    }
    // A single repeated byte has one distinct value, so it is caught here too.
    return distinct < 6 || entropy < 3.5;
}
