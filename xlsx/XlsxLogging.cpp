#include "XlsxLogging.h"

Q_LOGGING_CATEGORY(lcXlsx, "vondrel.xlsx")
