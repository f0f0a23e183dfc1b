#pragma once

#include <QLoggingCategory>

// Diagnostics of the XLSX layer. Never log cell contents: they are personal data.
Q_DECLARE_LOGGING_CATEGORY(lcXlsx)
