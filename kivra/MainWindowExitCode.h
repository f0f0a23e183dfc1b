#pragma once

class QMainWindow;

namespace kivra {

// The exit code of the last form whose main window closed: 1 accepted, 0 not; -1 while none
// has closed. Kept for the whole process, never reset between forms.
inline int mainWindowExitCode = -1;

// Ends a main window whose close sequence has already run: stores the exit code, marks the
// window ("mainwindow_exitcode") so that its Close event passes without asking the callbacks
// again, and closes it once control is back in the event loop.
void closeDecidedMainWindow(QMainWindow *window, int exitCode);

} // namespace kivra
