#pragma once

#include <QtGlobal>

// Shows the wait cursor for its lifetime and lets it be drawn at once: pending events run,
// the user's input excepted. restore() ends it early, before a prompt.
class WaitCursor
{
public:
    WaitCursor();
    ~WaitCursor();
    Q_DISABLE_COPY_MOVE(WaitCursor)

    void restore();

private:
    bool m_active = true;
};
