#include "RunFixture.h"

#include <run/ProcessingRun.h>

#include <QBuffer>
#include <QFile>

namespace RunFixture {

QByteArray key()
{
    return QByteArray::fromHex("00112233445566778899aabbccddeeff");
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("Cannot write the test file %s", qPrintable(path));
}

RunSettings csvSettings(const QString &inputPath, const QString &outputPath)
{
    RunSettings settings;
    settings.inputFileName = inputPath;
    settings.loadedFileName = inputPath;
    settings.exportFileName = outputPath;
    settings.inputEditable = false;
    settings.separator = u';';
    settings.readQuoteMode = readMode;
    settings.writeQuoteMode = writeMode;
    settings.storedKey = key();
    return settings;
}

void loadCsv(QxtCsvModel &model, const QByteArray &bytes, const RunSettings &settings)
{
    QBuffer buffer;
    buffer.setData(bytes);
    model.setQuoteFlags(settings.readQuoteMode);
    model.readCsv(&buffer, false, settings.separator, settings.codec, -1,
                  qMax(1, settings.rowOffset) + 10);
}

RunInput csvInput(const RunSettings &settings, const QByteArray &bytes, QxtCsvModel &model)
{
    writeFile(settings.inputFileName, bytes);
    loadCsv(model, bytes, settings);
    RunInput input;
    input.csvModel = &model;
    input.rawInput = bytes;
    return input;
}

RunResult runCsv(const RunSettings &settings, const QByteArray &bytes, QxtCsvModel &model,
                 int threads)
{
    ProcessingRun run(settings, csvInput(settings, bytes, model));
    run.setThreads(threads);
    return run.exec();
}

RunResult runCsv(const RunSettings &settings, const QByteArray &bytes)
{
    QxtCsvModel model;
    return runCsv(settings, bytes, model);
}

} // namespace RunFixture
