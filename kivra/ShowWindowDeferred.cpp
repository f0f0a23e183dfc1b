#include "ShowWindowDeferred.h"

#include <QScreen>

namespace kivra {

void showWindowDeferred(const QPointer<QWidget> &window, FormFlags formFlags)
{
    if (!window)
        return;
    if ((formFlags & kCentered) && !(formFlags & kMaximized)) {
        // move() places the frame; shifting it by the client area's offset from the centre
        // centres the client area whatever the frame's size.
        if (const QScreen *screen = window->screen())
            window->move(window->pos() + screen->availableGeometry().center() -
                         window->geometry().center());
    }
    if (formFlags & kMaximized)
        window->showMaximized();
    if (formFlags & kActivate) {
        window->show();
        window->activateWindow();
        window->raise();
    }
}

} // namespace kivra
