#pragma once
// The application object. Its notify() is the general error report: an
// exception that escapes an event handler is shown in a message box and the
// program goes on with the next event.

#include <QApplication>

class VelmoApplication : public QApplication {
    Q_OBJECT
public:
    VelmoApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;

    // Shows the text of an error that no handler caught.
    static void reportError(const QString& text);
};
