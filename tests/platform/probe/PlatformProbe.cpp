// Second process for the single-instance tests.
//   probe lock <folder>            prints Acquired, AlreadyExists or Unavailable;
//                                  when acquired, holds the lock until stdin closes
//   probe serve <folder>           takes the lock, listens, prints "listening" and
//                                  one "got:<path>" line per hand-off, runs until killed
//   probe send <socket> <path>     hands path over; exit 0 when answered, 1 if not

#include "platform/HandOffServer.h"
#include "platform/InstanceLock.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>
#include <unistd.h>

namespace {

void say(const QString& line) {
    std::fputs((line + '\n').toUtf8().constData(), stdout);
    std::fflush(stdout);
}

const char* resultName(InstanceLock::Result r) {
    switch (r) {
    case InstanceLock::Result::Acquired: return "Acquired";
    case InstanceLock::Result::AlreadyExists: return "AlreadyExists";
    case InstanceLock::Result::Unavailable: return "Unavailable";
    }
    return "?";
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() >= 3 && args[1] == "lock") {
        InstanceLock lock(args[2]);
        const InstanceLock::Result r = lock.acquire();
        say(resultName(r));
        if (r == InstanceLock::Result::Acquired) {
            char c;
            while (::read(0, &c, 1) > 0) {
            }
        }
        return 0;
    }
    if (args.size() >= 3 && args[1] == "serve") {
        InstanceLock lock(args[2]);
        if (lock.acquire() != InstanceLock::Result::Acquired)
            return 2;
        HandOffServer server([](const QString& path) { say("got:" + path); });
        if (!server.listen(lock))
            return 3;
        say("listening");
        return app.exec();
    }
    if (args.size() >= 4 && args[1] == "send")
        return SendHandOff(args[2], args[3]) ? 0 : 1;
    return 64;
}
