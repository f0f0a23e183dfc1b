#pragma once

#include <QLoggingCategory>

// Diagnostics of the form framework. Debug output is off unless enabled through
// QT_LOGGING_RULES, because values of forms may carry personal data.
Q_DECLARE_LOGGING_CATEGORY(lcKivra)
