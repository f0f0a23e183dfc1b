#include "AppLog.h"

// Per-cell traces would flood the output of a million-row run; they stay off by default.
Q_LOGGING_CATEGORY(lcRun, "vondrel.run", QtInfoMsg)
