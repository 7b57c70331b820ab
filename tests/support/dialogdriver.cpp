#include "tests/support/dialogdriver.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QTimer>
#include <memory>

void whenModalShows(const std::function<bool(QWidget *)> &action)
{
    auto *poll = new QTimer;
    poll->setInterval(5);
    auto waited = std::make_shared<QElapsedTimer>();
    waited->start();
    QObject::connect(poll, &QTimer::timeout, [poll, action, waited] {
        QWidget *modal = QApplication::activeModalWidget();
        // A dialog that never comes must not answer a later test's.
        if (waited->elapsed() > 10000) {
            poll->stop();
            poll->deleteLater();
            return;
        }
        if (!modal || !modal->isVisible() || !action(modal)) return;
        poll->stop();
        poll->deleteLater();
    });
    poll->start();
}

void whenFileDialogChooses(const QString &path)
{
    whenModalShows([path](QWidget *w) {
        auto *dialog = qobject_cast<QFileDialog *>(w);
        if (!dialog) return false;
        if (path.isEmpty()) {
            dialog->reject();
        } else {
            dialog->selectFile(path);
            static_cast<QDialog *>(dialog)->accept();
        }
        return true;
    });
}
