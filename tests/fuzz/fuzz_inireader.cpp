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

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    FuzzEnvironment::silenceMessages();
    // Stored pixmaps, images and icons are decoded as in the application, which has one.
    FuzzEnvironment::startGuiApplication(argc, argv);
    // Stored variants may name the framework's types, as in the application.
    kivra::registerMetaTypes();
    folder = std::make_unique<QTemporaryDir>();
    return folder->isValid() ? 0 : 1;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    const quint8 choice = input.takeByte();
    // A new name for every input: QSettings caches what it read under the file name.
    static quint64 counter = 0;
    const QString path = folder->filePath(QStringLiteral("input%1.ini").arg(++counter));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(input.takeRest()) < 0)
            return 0;
    }

    QVariantMap values {{QStringLiteral("kept"), 1}};
    kivra::readIniValues(&values, path, groups[(choice >> 1) & 3], choice & 1,
                         (choice & 8) ? QStringLiteral("vmap") : QString());
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        FUZZ_CHECK(!kivra::isReservedKey(it.key()));
        it.value().toString();
    }
    QFile::remove(path);
    return 0;
}
