#pragma once

#include <QStringView>

#include <cstddef>

// A keyed hash of a text for the run's lookup tables (SipHash-1-3 over the UTF-16 code units),
// keyed per process from Qt's global hash seed, so that crafted input cannot force collisions
// any more than with Qt's own seeded hash. Several times faster than that one on the short
// texts of table cells, which a run hashes millions of.
class TextHash
{
public:
    static size_t of(QStringView text);
};
