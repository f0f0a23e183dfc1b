#include "KivraLog_p.h"

Q_LOGGING_CATEGORY(lcKivra, "vondrel.kivra", QtInfoMsg)
