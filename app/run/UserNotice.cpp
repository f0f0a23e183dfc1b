#include "UserNotice.h"

#include "AppLog.h"

namespace {

UserNotice::Handler &handler()
{
    static UserNotice::Handler instance;
    return instance;
}

} // namespace

void UserNotice::setHandler(Handler newHandler)
{
    handler() = std::move(newHandler);
}

void UserNotice::information(const QString &title, const QString &text)
{
    if (const Handler &current = handler())
        current(title, text);
    else
        qCWarning(lcRun) << "A notice with no window to show it:" << title;
}
