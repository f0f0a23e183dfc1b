#pragma once

#include <QLoggingCategory>

// Diagnostics of the engine. Never log cell values or keys here.
Q_DECLARE_LOGGING_CATEGORY(lcEngine)
