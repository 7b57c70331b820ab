#include "editor/annotations.h"

#include "data/Unit1.h"
#include "editor/opening.h"
#include "library/documentlist.h"
#include "rtf/rtfcodec.h"

#include <QTreeWidget>

namespace {

// The document id in the selected-image index and the position in the image
// index, as the marks of the jump window carry theirs.
enum Role { PositionRole = Qt::UserRole + 1, DocumentRole };

}  // namespace

AnnotationScan scanAnnotations(const QString &text)
{
    AnnotationScan scan;
    qsizetype p = text.indexOf(kOpeningMarker);
    scan.hasOpeningMarker = p >= 0;
    while (p >= 0) {
        const qsizetype q = text.indexOf(kClosingMarker, p + 2);
        if (q < 0) break;
        scan.annotations.append({int(p), text.mid(p + 2, q - p - 2)});
        // The slash of a closing marker never starts an opening one.
        p = text.indexOf(kOpeningMarker, q + 2);
    }
    return scan;
}

QString storedBodyText(TMastData &d)
{
    TADOTable *bodies = d.ADOTfile;
    if (!bodies->active() || bodies->recordCount() == 0) return {};
    return rtf::plainText(bodies->fieldValue("richtext").toByteArray());
}

void TAnnotationList::appendGroup(const QString &name, qint64 documentId, const QString &text)
{
    if (text.isEmpty()) return;
    const AnnotationScan scan = scanAnnotations(text);
    auto *group =
        new QTreeWidgetItem(QStringList{scan.hasOpeningMarker ? name : name + QStringLiteral("[无标注信息]")});
    group->setData(0, DocumentRole, 0);
    group->setData(0, PositionRole, 0);
    QList<QTreeWidgetItem *> lines;
    lines.reserve(scan.annotations.size());
    for (int n = 0; n < scan.annotations.size(); ++n) {
        const Annotation &a = scan.annotations[n];
        auto *line = new QTreeWidgetItem;
        line->setText(0, QStringLiteral("注") + QString::number(n + 1) + QStringLiteral(": ") + a.text);
        line->setData(0, DocumentRole, documentId);
        line->setData(0, PositionRole, a.position);
        lines << line;
    }
    group->addChildren(lines);
    view_->addTopLevelItem(group);
}

qint64 TAnnotationList::documentOf(const QTreeWidgetItem *line)
{
    return line ? line->data(0, DocumentRole).toLongLong() : 0;
}

int TAnnotationList::positionOf(const QTreeWidgetItem *line)
{
    return line ? line->data(0, PositionRole).toInt() : 0;
}

void showAnnotations(TMastData &d, const TDocumentList &list, QTreeWidget *view)
{
    if (!list.hasSelection()) return;
    TADOQuery *query = list.currentListQuery();
    if (!query || !query->active() || query->isEmpty()) return;
    const qint64 documentId = list.currentDocumentId();
    // A listed document that no longer exists has no body to scan; the
    // current document is another one.
    if (!d.ADOTmain->locate("id", documentId)) return;
    TAnnotationList(view).appendGroup(query->fieldText("name"), documentId, storedBodyText(d));
}

void openAnnotation(TMastData &d, QTreeWidget *view, TEditorHost &host)
{
    const QList<QTreeWidgetItem *> selected = view->selectedItems();
    if (selected.isEmpty()) return;
    // A group carries 0, which matches no document: the current one opens.
    d.ADOTmain->locate("id", TAnnotationList::documentOf(selected.first()));
    host.pendingCaret() = TAnnotationList::positionOf(selected.first());
    openCurrentDocument(d, host);
}
