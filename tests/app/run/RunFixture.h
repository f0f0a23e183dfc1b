#pragma once

#include <run/RunInput.h>
#include <run/RunResult.h>
#include <run/RunSettings.h>
#include <tables/QxtCsvModel.h>

#include <QByteArray>
#include <QString>

// Runs of the processing run on real files, set up the way the main window sets them up.
namespace RunFixture {

// The form's usual CSV choice: double quotes, doubled to escape; written always quoted.
constexpr int readMode = QxtCsvModel::QuoteDouble | QxtCsvModel::EscapeDoubledQuote;
constexpr int writeMode = readMode | QxtCsvModel::QuoteAlways;

// A fixed key that passes the weak-key test.
QByteArray key();

QByteArray readFile(const QString &path);
void writeFile(const QString &path, const QByteArray &bytes);

// Settings for a CSV input file and an output file; separator ';', title at line 1.
RunSettings csvSettings(const QString &inputPath, const QString &outputPath);

// Loads bytes into model as the main window's CSV loader does.
void loadCsv(QxtCsvModel &model, const QByteArray &bytes, const RunSettings &settings);

// Writes bytes to the input file and loads them into model: the input of a run.
RunInput csvInput(const RunSettings &settings, const QByteArray &bytes, QxtCsvModel &model);

// Writes bytes to the input file, loads them and runs; the model is left for inspection.
RunResult runCsv(const RunSettings &settings, const QByteArray &bytes, QxtCsvModel &model,
                 int threads = 1);
RunResult runCsv(const RunSettings &settings, const QByteArray &bytes);

} // namespace RunFixture
