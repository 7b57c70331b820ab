#pragma once
#include <QWidget>

// An editor window: one open document, an MDI child of the main window.
class TMDIChild : public QWidget {
    Q_OBJECT
public:
    explicit TMDIChild(QWidget *parent = nullptr);

    // The document id, read back from the caption's leading digits.
    qint64 documentId() const;
    bool DocumentDeleted = false;

    // May the window close? Asks to save when it holds changes.
    void FormCloseQuery(bool &CanClose);
};
