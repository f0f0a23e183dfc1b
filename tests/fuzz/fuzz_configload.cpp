// A configuration file loaded through the main window ("Laden"), as a user may be sent one:
// any bytes, or typed values under the window's own keys (numbers at their limits, NaN, the
// paths of the files the window protects, lists and maps where text belongs). Whatever it
// holds, loading it must leave the key, the options file and the protected files as they
// were. Every prompt is answered at once, so nothing waits for a user.
//
// Input: one byte of mode. Bit 0 set: the rest is a list of typed entries (see typedEntries),
// saved as a configuration; clear: the rest is the file itself. Bit 1 answers every question
// with Yes.

#include "FuzzEnvironment.h"
#include "FuzzInput.h"

#include <kivra/ListData.h>
#include <tables/QxtCsvModel.h>
#include <window/AppPrompt.h>
#include <window/ConfigurationFile.h>
#include <window/Dialog.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <cstdlib>
#include <memory>

namespace {

const QByteArray key = QByteArray::fromHex("5ca1ab1e00ff7f80c0ffee0123456789");
const QString keyName = QStringLiteral("pseudo_key");
const QString configurationGroup = QStringLiteral("config_data/vmap");

struct Setup
{
    QTemporaryDir folder;
    QString settingsDir;
    QString configuration;
    // What the window must leave alone: the options file, the input, output and script.
    QStringList protectedFiles;
    QList<QByteArray> protectedContents;
    // Every key the window's value map holds, and more that a configuration carries.
    QStringList keys;
    // Paths a hostile configuration names: the protected files, a folder, a missing file.
    QStringList paths;
    bool answerYes = false;
};

Setup *setup = nullptr;

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QVariant typedValue(FuzzInput &input)
{
    switch (input.takeByte() % 10) {
    case 0:
        return qlonglong(input.takeInt64());
    case 1:
        return int(input.takeInt64());
    case 2:
        return input.takeDouble();
    case 3:
        return bool(input.takeByte() & 1);
    case 4:
        return setup->paths.at(input.takeByte() % setup->paths.size());
    case 5:
        return input.takeText();
    case 6: {
        QVariantList list;
        for (quint8 count = input.takeByte() % 8; count > 0; --count)
            list.append(int(input.takeByte()) - 8);
        return list;
    }
    case 7: {
        QVariantMap map;
        for (quint8 count = input.takeByte() % 4; count > 0; --count)
            map.insert(input.takeText(), input.takeText());
        return map;
    }
    case 8:
        return input.takeBytes(input.takeByte());
    default:
        return {};
    }
}

// Entries until the input ends: a byte choosing the key (past the known ones, a text), then
// the value: a byte choosing its type, then its bytes.
QVariantMap typedEntries(FuzzInput &input)
{
    QVariantMap entries;
    for (int i = 0; i < 64 && !input.atEnd(); ++i) {
        const quint8 choice = input.takeByte();
        const QString name =
            choice < setup->keys.size() ? setup->keys.at(choice) : input.takeText();
        entries.insert(name, typedValue(input));
    }
    return entries;
}

// QSettings keeps what it parsed under the file name and would answer a later input of the
// same size and time from there; read empty, the file leaves that cache, and an input leaves
// no memory behind for the next.
void forgetParsed(const QString &path)
{
    if (writeFile(path, {}))
        QSettings(path, QSettings::IniFormat).childKeys();
}

void makeSetup()
{
    setup = new Setup;
    const QDir dir(setup->folder.path());
    setup->settingsDir = setup->folder.path();
    setup->configuration = dir.filePath(QStringLiteral("hostile.vondrel.conf"));
    const QString options = dir.filePath(QStringLiteral("vondrel.opt"));
    const QString input = dir.filePath(QStringLiteral("eingabe.csv"));
    const QString output = dir.filePath(QStringLiteral("ausgabe.csv"));
    const QString script = dir.filePath(QStringLiteral("script.js"));
    writeFile(input, "Name;Ort;Betrag\nAnna;Berlin;1,50\nBert;K\xc3\xb6ln;2,00\n");
    writeFile(output, "alte Ausgabe\n");
    writeFile(script, "// kein Script\n");
    dir.mkdir(QStringLiteral("ordner"));
    {
        QSettings settings(options, QSettings::IniFormat);
        settings.setValue(QStringLiteral("main/vmap"),
                          QVariantMap {{keyName, key},
                                       {QStringLiteral("input_filename"), input},
                                       {QStringLiteral("export_filename"), output},
                                       {QStringLiteral("script_filename"), script}});
    }
    setup->protectedFiles = {options, input, output, script};
    for (const QString &file : std::as_const(setup->protectedFiles))
        setup->protectedContents.append(contentOf(file));
    setup->paths = setup->protectedFiles +
        QStringList {dir.filePath(QStringLiteral("ordner")),
                     dir.filePath(QStringLiteral("fehlt.csv")), setup->configuration, QString()};

    Dialog probe(nullptr, setup->settingsDir);
    setup->keys = probe.optionMap().keys();
    setup->keys +=
        {keyName, ConfigurationFile::connectedFieldsKey, ConfigurationFile::clearedFieldsKey};
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    FuzzEnvironment::silenceMessages();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Kept for the life of the process; the fuzzer never returns to tear it down.
    static QApplication *const application = new QApplication(*argc, *argv);
    Q_UNUSED(application);
    AppPrompt::setHandler([](const AppPrompt::Request &request) {
        return request.kind == kivra::DialogHook::Kind::Question ? QVariant(setup->answerYes)
                                                                 : QVariant();
    });
    QxtCsvModel::setProgressHook([](qint64) { return vondrel::CsvProgressCallback(); });
    makeSetup();
    // The fuzzer ends by exit(): the scratch folder goes with the process, not left in /tmp.
    std::atexit([] {
        delete setup;
        setup = nullptr;
    });
    return setup->folder.isValid() ? 0 : 1;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    const quint8 mode = input.takeByte();
    setup->answerYes = mode & 2;
    if (mode & 1) {
        QSettings settings(setup->configuration, QSettings::IniFormat);
        settings.clear();
        settings.setValue(configurationGroup, typedEntries(input));
        settings.sync();
        if (settings.status() != QSettings::NoError)
            return 0;
    } else if (!writeFile(setup->configuration, input.takeRest())) {
        return 0;
    }

    {
        Dialog dialog(nullptr, setup->settingsDir);
        dialog.loadConfigurationFrom(setup->configuration);
        FUZZ_CHECK(kivra::plainValue(dialog.optionMap().value(keyName)).toByteArray() == key);
    }
    for (qsizetype i = 0; i < setup->protectedFiles.size(); ++i)
        FUZZ_CHECK(contentOf(setup->protectedFiles.at(i)) == setup->protectedContents.at(i));
    forgetParsed(setup->configuration);
    return 0;
}
