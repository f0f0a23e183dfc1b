#pragma once

#include <QStringView>

#include <cstddef>

// A keyed hash of a text for the run's lookup tables, over the UTF-16 code units, keyed per
// process from Qt's global hash seed, so that crafted input cannot force collisions any more
// than with Qt's own seeded hash. Several times faster than that one on the short texts of
// table cells, which a run hashes millions of: rounds of AES where the processor has them,
// else SipHash-1-3.
class TextHash
{
public:
    static size_t of(QStringView text);
    // The SipHash-1-3 form, which of() uses without AES instructions.
    static size_t portableOf(QStringView text);
};
