#pragma once
// Restoring a backup of the library: the list to choose from, and the
// program started again on the restored file.
#include "data/backups.h"

#include <QDialog>
#include <optional>

class QTableWidget;

// The backups with their dates and sizes, newest first; "恢复" returns the
// one selected.
class TRestoreDialog : public QDialog {
    Q_OBJECT
public:
    TRestoreDialog(const std::vector<backups::Backup> &list, QWidget *parent);
    std::optional<QString> chosen() const;

    QTableWidget *BackupList;
};
