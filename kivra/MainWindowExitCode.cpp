#include "MainWindowExitCode.h"

#include "OptionKeys.h"

#include <QMainWindow>
#include <QTimer>

namespace kivra {

void closeDecidedMainWindow(QMainWindow *window, int exitCode)
{
    mainWindowExitCode = exitCode;
    if (!window)
        return;
    window->setProperty(OptionKey::mainwindowExitcode.latin1(), exitCode);
    QTimer::singleShot(0, window, &QWidget::close);
}

} // namespace kivra
