#include "app/UnitMYTH.h"

#include "data/dataerror.h"
#include "ui/command.h"

#include <QCoreApplication>
#include <pthread.h>

MYTH::MYTH(std::function<void()> openingFunction, std::function<void()> whenReady, QObject *parent)
    : QThread(parent), opening_(std::move(openingFunction)), whenReady_(std::move(whenReady))
{
    setObjectName("MYOPEN");
}

void MYTH::run()
{
    // The name that debuggers show for this thread.
    pthread_setname_np(pthread_self(), "MYOPEN");
    if (whenReady_) whenReady_();
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [this] {
            served_ = true;
            try {
                opening_();
            } catch (const DataError &e) {
                error_ = e.message();
            } catch (const std::exception &e) {
                error_ = QString::fromLocal8Bit(e.what());
            }
            // Shown, not swallowed: otherwise later commands fail with an
            // unrelated message about a closed dataset.
            if (!error_.isEmpty()) showDefaultError(error_);
        },
        Qt::BlockingQueuedConnection);
}
