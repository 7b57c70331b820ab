// Filling an editor window from the current document row.
#include "editor/childwin.h"

#include "data/Unit1.h"
#include "data/dataerror.h"
#include "editor/programfolder.h"
#include "rtf/rtfcodec.h"

#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolButton>

namespace {

// The body of the current document; empty for a document without a
// rich-text row.
QByteArray currentBody()
{
    TADOTable *bodies = MastData->ADOTfile;
    if (bodies->recordCount() == 0) return {};
    return bodies->fieldValue("richtext").toByteArray();
}

// A document whose body is missing or reads as nothing, while its plain
// text is not (libraries brought in from elsewhere hold such documents),
// shows the plain text: an empty editor would wipe the text at the next save.
void loadBody(QTextEdit *editor, const QByteArray &rtf, const QString &plainText)
{
    // Read into a fresh document, then handed to the editor: a document the
    // editor shows is laid out again after every piece that is read.
    auto *doc = new QTextDocument(editor);
    doc->setDefaultFont(editor->font());
    // Loading is not an edit the user could undo.
    doc->setUndoRedoEnabled(false);
    if (!rtf.isEmpty()) rtf::read(rtf, doc);
    if (doc->isEmpty() && !plainText.isEmpty()) doc->setPlainText(QString(plainText).replace("\r\n", "\n"));
    doc->setUndoRedoEnabled(true);
    editor->setDocument(doc);
}

// Loads the picture into the box; the reason it could not, or empty.
QString loadCover(QLabel *box, const QString &relativeName)
{
    QString path;
    try {
        path = libraryFile(relativeName);
    } catch (const DataError &e) {
        return e.message();
    }
    QImageReader reader(path);
    const QImage image = reader.read();
    if (image.isNull()) return QStringLiteral("无法载入封面图片 %1：%2").arg(path, reader.errorString());
    box->setPixmap(QPixmap::fromImage(image));
    return {};
}

}  // namespace

QString TMDIChild::loadDocument()
{
    TADOTable *documents = MastData->ADOTmain;
    loadBody(RichEdit1, currentBody(), documents->fieldText("text"));
    Edit1->setText(documents->fieldText("name"));
    Edit3->setPlainText(documents->fieldText("othersource"));
    Edit5->setText(documents->fieldText("othersourceb"));
    QString coverError;
    if (!Edit5->text().isEmpty()) coverError = loadCover(Image1, Edit5->text());
    SpeedButton2->setEnabled(!documents->fieldText("othersource").isEmpty());
    clearModified();
    return coverError;
}
