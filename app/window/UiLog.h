#pragma once

#include <QLoggingCategory>

// Diagnostics of the start-up and the main window: decisions and failures, never file
// names, paths or cell contents.
Q_DECLARE_LOGGING_CATEGORY(lcUi)
