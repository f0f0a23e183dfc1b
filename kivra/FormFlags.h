#pragma once

#include <QtGlobal>

namespace kivra {

// The form builder's 32-bit flag word.
using FormFlags = quint32;

enum FormFlag : FormFlags {
    kNewWindow = 0x1,
    kFixedSize = 0x2,
    kNoEscapeHandling = 0x4,
    kBoldCaptions = 0x8,
    kApplyWindowFlags = 0x10,
    kInstallLayout = 0x20,
    kExec = 0x40,
    kOpen = 0x80,
    kShow = 0x100,
    kApplicationModal = 0x200,
    kKeepAllNamed = 0x400,
    kScrollArea = 0x800,
    kWheelNeedsFocus = 0x1000,
    kMaximized = 0x2000,
    kCentered = 0x4000,
    kActivate = 0x8000,
    kStaysOnTop = 0x10000,
    kSaveAllOnClose = 0x20000,
    kLocalEventLoop = 0x40000,
    kDeleteLater = 0x80000,
    kCloseAccepts = 0x100000,
};

} // namespace kivra
