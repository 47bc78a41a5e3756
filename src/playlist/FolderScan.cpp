#include "playlist/FolderScan.h"

#include "platform/FileHelpers.h"

#include <QEventLoop>
#include <QThread>

#include <exception>
#include <memory>

QStringList FindAllFiles(const QString& folder) {
    QStringList files;
    FindFiles(folder, QStringLiteral("*.*"), files, true);
    return files;
}

QStringList ScanFolder(const QString& folder, const FolderSearch& search) {
    // Shared with the worker so nothing dangles whichever side ends first.
    struct Outcome {
        QStringList files;
        std::exception_ptr error;
    };
    auto outcome = std::make_shared<Outcome>();
    std::unique_ptr<QThread> worker(QThread::create([outcome, folder, search] {
        try {
            outcome->files = search(folder);
        } catch (...) {
            outcome->error = std::current_exception();
        }
    }));
    QEventLoop loop;
    QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    worker->start();
    if (!worker->isFinished())
        loop.exec();
    // The loop also ends when the application quits; the search is then
    // waited for, since the thread must not outlive this call.
    worker->wait();
    if (outcome->error)
        std::rethrow_exception(outcome->error);
    return outcome->files;
}
