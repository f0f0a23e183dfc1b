#include "FuzzEnvironment.h"

#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>

namespace FuzzEnvironment {

void silenceMessages()
{
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &text) {
        if (type != QtFatalMsg)
            return;
        std::fprintf(stderr, "%s\n", qPrintable(text));
        std::abort();
    });
}

void startGuiApplication(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Kept for the life of the process; the fuzzer never returns to tear it down.
    static QGuiApplication *const application = new QGuiApplication(*argc, *argv);
    Q_UNUSED(application);
}

void fail(const char *condition, const char *file, int line)
{
    std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, condition);
    std::abort();
}

} // namespace FuzzEnvironment
