#pragma once

#include "MappingEntry.h"
#include "TextPool.h"

#include <QList>
#include <QStringView>

#include <vector>

// The mapping of one column: its distinct input texts in order of first occurrence, each with
// the row of that occurrence and, once made, its replacement. Kept packed, since a column of
// a million distinct values keeps them all until the mapping file is written.
class MappingColumn
{
public:
    qsizetype size() const { return m_inputs.size(); }
    bool isEmpty() const { return m_inputs.isEmpty(); }

    int order(qsizetype entry) const { return m_orders[size_t(entry)]; }
    QStringView inputText(qsizetype entry) const { return m_inputs.at(entry); }
    // Valid for the entries that have their replacements.
    QStringView pseudonym(qsizetype entry) const { return m_pseudonyms.at(entry); }
    // Strings over the packed characters, without a copy; valid while the column is unchanged.
    QString rawInputText(qsizetype entry) const { return m_inputs.rawString(entry); }
    QString rawPseudonym(qsizetype entry) const { return m_pseudonyms.rawString(entry); }
    // The replacements, in entry order; a copy shares their characters.
    const TextPool &pseudonyms() const { return m_pseudonyms; }
    // The entries that have their replacements.
    qsizetype resolvedCount() const { return m_pseudonyms.size(); }

    MappingEntry at(qsizetype entry) const;
    QList<MappingEntry> entries() const;

    // A new input text, first seen in row order; returns its entry.
    qint32 add(QStringView inputText, int order);
    // The replacement of the first entry that has none yet.
    void addPseudonym(QStringView pseudonym);
    // Room for a replacement of each entry, as long as its input text on average.
    void reservePseudonyms();

private:
    TextPool m_inputs;
    TextPool m_pseudonyms;
    std::vector<int> m_orders;
};
