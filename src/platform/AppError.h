#pragma once
// The one exception type of the program: parse and file errors carry the
// message the user sees. Whatever escapes an event handler is shown by the
// application's general error report (VelmoApplication::notify).

#include <QString>
#include <stdexcept>

class AppError : public std::runtime_error {
public:
    explicit AppError(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& message() const noexcept { return message_; }

private:
    QString message_;
};
