#pragma once
#include <QList>
#include <QString>

class QTreeWidget;
class TDocumentList;
class TEditorHost;
class QTreeWidgetItem;
class TMastData;

// Annotations are marked in a document's text by "/<" before and ">/" after.
// An annotation is the text strictly between an opening marker and the
// first closing marker after it: markers do not nest, a closing marker with
// no opening one before it is ignored, and an opening marker never closed
// ends the scan.
inline const QString kOpeningMarker = QStringLiteral("/<");
inline const QString kClosingMarker = QStringLiteral(">/");

struct Annotation {
    int position;  // of its opening marker, in the editor's character positions
    QString text;
};

struct AnnotationScan {
    bool hasOpeningMarker = false;
    QList<Annotation> annotations;
};

AnnotationScan scanAnnotations(const QString &text);

// The plain text of the current document's stored body (its rich-text row as
// last saved, not an open editor's changes); empty without a body row.
QString storedBodyText(TMastData &data);

// The annotation list of the main window: every refresh appends a group for
// one document, and the list is never cleared. A line carries a document id
// and a position: an annotation its document's id and its opening marker's
// position, a group 0 and 0.
class TAnnotationList {
public:
    explicit TAnnotationList(QTreeWidget *view) : view_(view) {}
    // Appends the group of the document named name; nothing for an empty text.
    void appendGroup(const QString &name, qint64 documentId, const QString &text);

    static qint64 documentOf(const QTreeWidgetItem *line);
    static int positionOf(const QTreeWidgetItem *line);

private:
    QTreeWidget *view_;
};

// The refresh of the list: a group for the document of the list's current
// row, as last saved; nothing without a selected row, or for a row whose
// document no longer exists.
void showAnnotations(TMastData &data, const TDocumentList &list, QTreeWidget *view);

// Opens the document of the selected line with the caret at its annotation;
// a group line opens the current document at the start.
void openAnnotation(TMastData &data, QTreeWidget *view, TEditorHost &host);
