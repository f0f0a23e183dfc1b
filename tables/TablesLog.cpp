#include "TablesLog.h"

Q_LOGGING_CATEGORY(lcTables, "vondrel.tables")
