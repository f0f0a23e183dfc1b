// The framework's INI reader on an arbitrary file, as a user might hand-edit or be sent one.
//
// Input: one byte choosing separate keys (bit 0), the group (bits 1 and 2) and the summary key
// name (bit 3); the rest is the file.

#include "FuzzEnvironment.h"
#include "FuzzInput.h"
#include <kivra/IniStore.h>
#include <kivra/Records.h>
#include <kivra/Registry.h>

#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>

#include <array>
#include <memory>

namespace {

const std::array<QString, 4> groups = {
    QStringLiteral("config_data"),
    QStringLiteral("General"),
    QStringLiteral("options"),
    QString(),
};

std::unique_ptr<QTemporaryDir> folder;
QString path;

// In memory where the system offers it: the file is written anew for every input.
std::unique_ptr<QTemporaryDir> scratchFolder()
{
    const QString memory = QStringLiteral("/dev/shm");
    if (QFileInfo(memory).isDir() && QFileInfo(memory).isWritable()) {
        auto inMemory =
            std::make_unique<QTemporaryDir>(memory + QStringLiteral("/fuzz_ini-XXXXXX"));
        if (inMemory->isValid())
            return inMemory;
    }
    return std::make_unique<QTemporaryDir>();
}

bool writeFile(const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    FuzzEnvironment::silenceMessages();
    // Stored pixmaps, images and icons are decoded as in the application, which has one.
    FuzzEnvironment::startGuiApplication(argc, argv);
    // Stored variants may name the framework's types, as in the application.
    kivra::registerMetaTypes();
    folder = scratchFolder();
    path = folder->filePath(QStringLiteral("input.ini"));
    return folder->isValid() ? 0 : 1;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    const quint8 choice = input.takeByte();
    if (!writeFile(input.takeRest()))
        return 0;

    QVariantMap values {{QStringLiteral("kept"), 1}};
    kivra::readIniValues(&values, path, groups[(choice >> 1) & 3], choice & 1,
                         (choice & 8) ? QStringLiteral("vmap") : QString());
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        FUZZ_CHECK(!kivra::isReservedKey(it.key()));
        it.value().toString();
    }

    // QSettings keeps what it parsed under the file name, and would answer the next input of
    // the same size and time from there. Read empty, the file is dropped from that cache, so
    // that every input starts afresh and leaves nothing behind: memory kept from one input to
    // the next would make the fuzzer search for a leak after every input.
    if (writeFile({}))
        QSettings(path, QSettings::IniFormat).childKeys();
    return 0;
}
