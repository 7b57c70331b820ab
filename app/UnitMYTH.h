#pragma once
#include <QString>
#include <QThread>
#include <functional>

// The start-up worker: asks the user-interface thread, once its event loop
// runs, to open the document datasets, waits for that, and ends.
class MYTH : public QThread {
    Q_OBJECT
public:
    // whenReady runs on the worker's own thread before the request is
    // queued: it waits for what the opening function would otherwise wait
    // for on the user-interface thread.
    explicit MYTH(std::function<void()> openingFunction, std::function<void()> whenReady = {},
                  QObject *parent = nullptr);

    // The error the opening function raised, handed back to the worker.
    QString error() const { return error_; }
    bool requestServed() const { return served_; }

protected:
    void run() override;

private:
    std::function<void()> opening_;
    std::function<void()> whenReady_;
    QString error_;
    bool served_ = false;
};
