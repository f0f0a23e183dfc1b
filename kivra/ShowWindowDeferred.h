#pragma once

#include <kivra/Records.h>

#include <QPointer>
#include <QWidget>

namespace kivra {

// The window's showing step once the event loop runs: kCentered (without kMaximized) centres
// it on its screen's available area, kMaximized shows it maximised, kActivate shows, activates
// and raises it. Nothing when the window is gone.
void showWindowDeferred(const QPointer<QWidget> &window, FormFlags formFlags);

} // namespace kivra
