#include "EngineLogging.h"

namespace vondrel {
Q_LOGGING_CATEGORY(lcEngine, "vondrel.engine")
} // namespace vondrel
