#include "platform/Shell.h"

#include <QProcess>
#include <QtGlobal>

namespace {
Shell* g_shell = nullptr;
}

Shell& shell() {
    Q_ASSERT(g_shell);
    return *g_shell;
}

Shell* setShell(Shell* s) {
    Shell* previous = g_shell;
    g_shell = s;
    return previous;
}

bool Shell::startProgram(const QString& program, const QStringList& arguments) {
    return QProcess::startDetached(program, arguments);
}
