#pragma once

#include <QLoggingCategory>

// Diagnostics of the table models, the CSV reader and writer and the format detection.
// Messages name sizes, counts and encodings, never cell contents.
Q_DECLARE_LOGGING_CATEGORY(lcTables)
