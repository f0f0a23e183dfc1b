#pragma once

#include <QLoggingCategory>

// Diagnostics of the engine. Never log cell values or keys here.
namespace vondrel {
Q_DECLARE_LOGGING_CATEGORY(lcEngine)
} // namespace vondrel
