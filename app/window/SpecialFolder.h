#pragma once

#include <QString>

// The folders where the system keeps installed programs. The numbers are the
// ones Windows names them by, so callers read the same on every platform.
namespace SpecialFolder {
inline constexpr int ProgramFiles = 38;
inline constexpr int ProgramFilesX86 = 42;
} // namespace SpecialFolder

// The path of the special folder csidl; empty for a number without a folder here.
QString specialFolderPath(int csidl);
