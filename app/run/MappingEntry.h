#pragma once

#include <QString>

// One pair of the mapping file: an input text of a column and its replacement.
struct MappingEntry
{
    // The row in which the text first occurred in its column: a CSV model row (0-based) or a
    // sheet row (1-based).
    int order = 0;
    QString inputText;
    QString pseudonym;
};
