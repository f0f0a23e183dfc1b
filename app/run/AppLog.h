#pragma once

#include <QLoggingCategory>

// Diagnostics of the processing run: phases, positions, counts and field types, never cell
// contents, file contents or keys. Debug messages are off unless enabled by a logging rule.
Q_DECLARE_LOGGING_CATEGORY(lcRun)
