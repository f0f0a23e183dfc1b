#pragma once

#include <QString>

// The user's date and text formats: how dates are written as text (date-to-text)
// and how text cells are read as dates (text-to-date). The application owns one
// record and keeps it current; the engine reads it at every call.
namespace vondrel {

struct DateTextSettings
{
    QString dateToTextFmt = QStringLiteral("dd.MM.yyyy");
    bool dateToTextISO = false;
    QString dateTimeToTextFmt = QStringLiteral("dd.MM.yyyy HH:mm:ss");
    bool dateTimeToTextISO = false;
    QString textToDateFmt = QStringLiteral("dd.MM.yyyy");
    bool textToDateISO = false;
    QString textToDateTimeFmt = QStringLiteral("dd.MM.yyyy HH:mm:ss");
    bool textToDateTimeISO = false;
};

} // namespace vondrel
