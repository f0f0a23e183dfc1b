#include "CallbackTypes.h"

namespace kivra {

const char *callbackTypeName(CallbackType type)
{
    static constexpr const char *names[] = {
        "kInit",
        "kAccept",
        "kReject",
        "kClose",
        "kBeforeDataChanged",
        "kAfterDataChanged",
        "kBeforeAction",
        "kAfterAction",
        "kValidate",
        "kTimer",
        "kSetActive",
        "kKillActive",
        "kCleanup",
    };
    const int index = int(type);
    return index >= 0 && index < int(std::size(names)) ? names[index] : "";
}

} // namespace kivra
