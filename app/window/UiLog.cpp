#include "UiLog.h"

Q_LOGGING_CATEGORY(lcUi, "vondrel.ui", QtInfoMsg)
