// The side panel's attachment and cover commands. Both files lie inside the
// library folder; only their names relative to it are stored.
#include "editor/childwin.h"

#include "data/Unit1.h"
#include "data/dataerror.h"
#include "data/schema.h"
#include "editor/programfolder.h"
#include "ui/messagebox.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolButton>
#include <QUrl>

namespace {

const QString kOutsideFolder = QStringLiteral("注意：所选的文件只允许在当前程序目录中，请重新选择。此次操作被退回。");
const QString kUntitled = QStringLiteral("未命名");

// The formats the picture box can load, as the cover dialog offers them.
QString pictureFilter()
{
    QStringList patterns;
    for (const QByteArray &format : QImageReader::supportedImageFormats())
        patterns << QStringLiteral("*.") + QString::fromLatin1(format);
    return QStringLiteral("图像文件 (%1)").arg(patterns.join(' '));
}

}  // namespace

// One dialog for both commands: it keeps the filter it last had.
QFileDialog *TMDIChild::openDialog()
{
    if (!OpenDialog1) {
        OpenDialog1 = new QFileDialog(this);
        OpenDialog1->setObjectName("OpenDialog1");
        OpenDialog1->setFileMode(QFileDialog::ExistingFile);
        OpenDialog1->setDirectory(programFolder());
    }
    return OpenDialog1;
}

QString TMDIChild::chooseFile()
{
    if (openDialog()->exec() != QDialog::Accepted || OpenDialog1->selectedFiles().isEmpty()) return {};
    return OpenDialog1->selectedFiles().first();
}

// The relative name of the chosen file, or empty after a refusal: a file
// outside the library folder, or a name longer than its column.
QString TMDIChild::acceptedName(const QString &path, const QString &column)
{
    const QString name = relativeName(path);
    if (name.isEmpty()) {
        MessageBoxes::notice(this, MessageBoxes::programTitle(), kOutsideFolder);
        return {};
    }
    const int size = schema::table("mainfile")->column(column)->size;
    const int length = int(name.toUcs4().size());
    if (length > size) {
        MessageBoxes::notice(this, MessageBoxes::programTitle(),
                             QStringLiteral("所选文件在资料库文件夹中的名称“%1”有 %2 个字符，超过了可以保存的 %3 "
                                            "个字符。此次操作被退回。")
                                 .arg(name)
                                 .arg(length)
                                 .arg(size));
        return {};
    }
    return name;
}

// Stored at once, whether or not the document is saved afterwards.
void TMDIChild::storeAtOnce(const QString &column, const QString &value)
{
    locateOwnRow();
    TADOTable *documents = MastData->ADOTmain;
    documents->edit();
    documents->setFieldValue(column, value);
    documents->post();
}

void TMDIChild::SpeedButton1Click()
{
    RichEdit1->document()->setModified(true);
    const QString path = chooseFile();
    if (path.isEmpty()) return;
    const QString name = acceptedName(path, QStringLiteral("othersource"));
    if (name.isEmpty()) return;
    if (Edit1->text() == kUntitled) Edit1->setText(QFileInfo(path).fileName());
    storeAtOnce(QStringLiteral("othersource"), name);
    Edit3->setPlainText(name);
    Edit1->setModified(true);
    SpeedButton2->setEnabled(true);
}

void TMDIChild::SpeedButton2Click()
{
    // The desktop's answer is not reported, as the shell's never was.
    QDesktopServices::openUrl(QUrl::fromLocalFile(libraryFile(Edit3->toPlainText())));
}

void TMDIChild::SpeedButton4Click()
{
    RichEdit1->document()->setModified(true);
    openDialog()->setNameFilter(pictureFilter());
    openDialog()->setDefaultSuffix(QStringLiteral("jpg"));
    const QString path = chooseFile();
    if (path.isEmpty()) return;
    const QString name = acceptedName(path, QStringLiteral("othersourceb"));
    if (name.isEmpty()) return;
    storeAtOnce(QStringLiteral("othersourceb"), name);
    Edit5->setText(name);
    Edit1->setModified(true);
    // A picture that cannot be loaded keeps its name; the box keeps what it showed.
    const QImage picture(libraryFile(name));
    if (picture.isNull())
        MessageBoxes::notice(this, MessageBoxes::programTitle(), QStringLiteral("图像格式不支持,请重新设置。"));
    else
        Image1->setPixmap(QPixmap::fromImage(picture));
}

void TMDIChild::SpeedButton5Click()
{
    RichEdit1->document()->setModified(true);
    Edit5->clear();
}
