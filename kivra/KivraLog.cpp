#include "KivraLog.h"

Q_LOGGING_CATEGORY(lcKivra, "vondrel.kivra", QtInfoMsg)
