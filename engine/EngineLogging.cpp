#include "EngineLogging.h"

Q_LOGGING_CATEGORY(lcEngine, "vondrel.engine")
