#pragma once

#include <QString>

#include <functional>

// The one way widget-free code tells the user something: a notice with a title and a text.
// The window routes it into its message boxes; without a handler it goes to the log.
class UserNotice
{
public:
    using Handler = std::function<void(const QString &title, const QString &text)>;

    // An empty handler sends notices to the log again.
    static void setHandler(Handler handler);
    static void information(const QString &title, const QString &text);
};
