#pragma once
#include <QString>
#include <QThread>
#include <functional>

// The start-up worker: asks the user-interface thread, once its event loop
// runs, to open the document datasets, waits for that, and ends.
class MYTH : public QThread {
    Q_OBJECT
public:
    explicit MYTH(std::function<void()> openingFunction, QObject *parent = nullptr);

    // The error the opening function raised, handed back to the worker.
    QString error() const { return error_; }
    bool requestServed() const { return served_; }

protected:
    void run() override;

private:
    std::function<void()> opening_;
    QString error_;
    bool served_ = false;
};
