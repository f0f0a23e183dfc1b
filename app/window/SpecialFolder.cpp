#include "SpecialFolder.h"

QString specialFolderPath(int csidl)
{
    // Programs installed by the system's package manager live below /usr, those
    // installed by hand below /opt; neither is a place for a program's settings.
    switch (csidl) {
    case SpecialFolder::ProgramFiles:
        return QStringLiteral("/usr");
    case SpecialFolder::ProgramFilesX86:
        return QStringLiteral("/opt");
    default:
        return {};
    }
}
