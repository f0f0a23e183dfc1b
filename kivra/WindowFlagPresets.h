#pragma once

#include <Qt>

namespace kivra {

inline constexpr Qt::WindowFlags kDlgTitleClose =
    Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint | Qt::WindowCloseButtonHint;
inline constexpr Qt::WindowFlags kDlgTitleMinMax = Qt::Dialog | Qt::WindowTitleHint |
    Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint | Qt::CustomizeWindowHint;
inline constexpr Qt::WindowFlags kDlgTitleMinMaxClose = kDlgTitleMinMax | Qt::WindowCloseButtonHint;
inline constexpr Qt::WindowFlags kDlgTitleSysMinMax = kDlgTitleMinMax | Qt::WindowSystemMenuHint;
inline constexpr Qt::WindowFlags kDlgTitleSysMinMaxClose =
    kDlgTitleSysMinMax | Qt::WindowCloseButtonHint;

inline constexpr Qt::WindowFlags kWndTitleClose =
    Qt::Window | Qt::WindowTitleHint | Qt::CustomizeWindowHint | Qt::WindowCloseButtonHint;
inline constexpr Qt::WindowFlags kWndTitleMinMax = Qt::Window | Qt::WindowTitleHint |
    Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint | Qt::CustomizeWindowHint;
inline constexpr Qt::WindowFlags kWndTitleMinMaxClose = kWndTitleMinMax | Qt::WindowCloseButtonHint;
inline constexpr Qt::WindowFlags kWndTitleSysMinMax = kWndTitleMinMax | Qt::WindowSystemMenuHint;
inline constexpr Qt::WindowFlags kWndTitleSysMinMaxClose =
    kWndTitleSysMinMax | Qt::WindowCloseButtonHint;

inline constexpr Qt::WindowFlags kDefaultDialogFlags = kDlgTitleSysMinMaxClose;
inline constexpr Qt::WindowFlags kDefaultMainWindowFlags = kWndTitleSysMinMaxClose;

} // namespace kivra
