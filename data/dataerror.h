#pragma once
#include <QString>
#include <stdexcept>

// Every failing dataset or engine operation raises this, carrying the
// engine's message (or ours, in Chinese, where the engine has none).
class DataError : public std::runtime_error {
public:
    explicit DataError(const QString &message) : std::runtime_error(message.toStdString()), message_(message) {}
    QString message() const { return message_; }

private:
    QString message_;
};
