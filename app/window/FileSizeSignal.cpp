#include "FileSizeSignal.h"

#include <QtGlobal>

#ifdef Q_OS_UNIX
#include <csignal>
#endif

void ignoreFileSizeSignal()
{
#ifdef Q_OS_UNIX
    std::signal(SIGXFSZ, SIG_IGN);
#endif
}
