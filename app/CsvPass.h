#pragma once

class QxtCsvModel;
class ResultCache;
struct RunSettings;

// Pseudonymises the data rows of a CSV table into its output copy, which starts as a copy of
// the input of the same shape: cleared columns are emptied, templated columns get their
// replacements, every other cell the input's text. Rows above the data are left alone.
class CsvPass
{
public:
    CsvPass(const QxtCsvModel &input, QxtCsvModel &output);

    void run(const RunSettings &settings, ResultCache &cache, int threads);

private:
    const QxtCsvModel &m_input;
    QxtCsvModel &m_output;
};
