// The attachment and the cover picture of an editor window: files inside
// the library folder, stored by relative name at once, opened with the
// desktop's application, and names that lead out of the folder refused.
#include "app/main.h"
#include "data/Unit1.h"
#include "editor/childwin.h"
#include "tests/editor/editordriver.h"
#include "tests/support/dialogdriver.h"
#include "tests/support/fixture.h"
#include "tests/support/program.h"
#include "tests/support/testmain.h"

#include <QBuffer>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolButton>
#include <QUrl>
#include <memory>

// Receives what the desktop would open, instead of the desktop.
class OpenedUrls : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl &url) { urls << url; }
};

class TestAttachment : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void chooseAttachment_data();
    void chooseAttachment();
    void openAttachment_data();
    void openAttachment();
    void chooseCover_data();
    void chooseCover();
    void coverDialogOffersThePictureFormats();
    void removeCover();
    void storedCoverOutsideTheFolderIsNotLoaded();

private:
    std::unique_ptr<LibraryFixture> lib;
    std::unique_ptr<ProgramRun> run;
    QTemporaryDir elsewhere;
    OpenedUrls opened;
    TMDIChild *editor = nullptr;
    void start(const QString &title, const QString &attachment = QString(), const QString &cover = QString());
    QString file(const QString &relative, const QByteArray &content = "x");
    QVariant stored(const QString &column) const;
};

namespace {

const QString kOutside = QStringLiteral("注意：所选的文件只允许在当前程序目录中，请重新选择。此次操作被退回。");

QByteArray png()
{
    QImage image(20, 30, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

}  // namespace

void TestAttachment::initTestCase()
{
    QDesktopServices::setUrlHandler("file", &opened, "open");
}

void TestAttachment::cleanupTestCase()
{
    QDesktopServices::unsetUrlHandler("file");
}

void TestAttachment::init()
{
    lib = std::make_unique<LibraryFixture>();
    opened.urls.clear();
}

void TestAttachment::cleanup()
{
    editor = nullptr;
    run.reset();
    lib.reset();
    CHECK_BOXES();
}

QString TestAttachment::file(const QString &relative, const QByteArray &content)
{
    const QString path = QDir(lib->folder()).absoluteFilePath(relative);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(content);
    return path;
}

void TestAttachment::start(const QString &title, const QString &attachment, const QString &cover)
{
    lib->topics("甲\n");
    const qint64 id = lib->document(title, "正文", rtfOf("正文"));
    lib->link(id, "甲");
    if (!attachment.isNull() || !cover.isNull())
        lib->sql(QString("UPDATE mainfile SET othersource = '%1', othersourceb = '%2' WHERE id = %3")
                     .arg(attachment, cover)
                     .arg(id));
    lib->write();
    run = std::make_unique<ProgramRun>();
    QVERIFY(run->started());
    editor = openDocument(id);
    QVERIFY(editor);
}

QVariant TestAttachment::stored(const QString &column) const
{
    return lib->scalar(QString("SELECT %1 FROM mainfile WHERE id = 1").arg(column));
}

void TestAttachment::chooseAttachment_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("chosen");  // in the folder, "out:" elsewhere, "link:" a link out, "" cancelled
    QTest::addColumn<QString>("name");    // stored; empty when refused
    QTest::addColumn<QString>("titleAfter");
    QTest::newRow("in the folder: a new document takes the file's name")
        << "未命名" << "a.pdf" << "a.pdf" << "a.pdf";
    QTest::newRow("in a sub-folder, with its folder; another title kept")
        << "题" << "docs/b.txt" << "docs/b.txt" << "题";
    QTest::newRow("elsewhere: refused") << "未命名" << "out:c.pdf" << "" << "未命名";
    QTest::newRow("elsewhere, under a path holding the folder's text: refused")
        << "题" << "out:FOLDER/d.pdf" << "" << "题";
    QTest::newRow("a link in the folder leading out: refused") << "题" << "link:e.pdf" << "" << "题";
    QTest::newRow("through .. back into the folder: stored by its real name")
        << "题" << "docs/../f.pdf" << "f.pdf" << "题";
    QTest::newRow("a name longer than 200 characters: refused")
        << "题" << QString(196, 'n') + ".pdf" + "x" << "" << "题";
    QTest::newRow("cancelled") << "题" << "" << "" << "题";
}

void TestAttachment::chooseAttachment()
{
    QFETCH(QString, title);
    QFETCH(QString, chosen);
    QFETCH(QString, name);
    QFETCH(QString, titleAfter);
    start(title);
    QString path;
    if (chosen.startsWith("out:")) {
        QString inside = chosen.mid(4);
        inside.replace("FOLDER", lib->folder().mid(1));
        path = QDir(elsewhere.path()).absoluteFilePath(inside);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        QVERIFY(path.contains(lib->folder()) == chosen.contains("FOLDER"));
    } else if (chosen.startsWith("link:")) {
        const QString target = QDir(elsewhere.path()).absoluteFilePath("target.pdf");
        QFile(target).open(QIODevice::WriteOnly);
        path = QDir(lib->folder()).absoluteFilePath(chosen.mid(5));
        QVERIFY(QFile::link(target, path));
    } else if (!chosen.isEmpty()) {
        file(QString(chosen).replace("docs/../", ""));
        QDir(lib->folder()).mkpath("docs");
        path = QDir(lib->folder()).absoluteFilePath(chosen);
    }
    const bool refused = !chosen.isEmpty() && name.isEmpty();
    if (refused && chosen.size() > 200)
        MessageBoxes::expectNext(MessageBoxes::Ok,
                                 QStringLiteral("所选文件在资料库文件夹中的名称“%1”有 201 个字符，超过了可以保存的 "
                                                "200 个字符。此次操作被退回。")
                                     .arg(chosen),
                                 MessageBoxes::programTitle());
    else if (refused)
        MessageBoxes::expectNext(MessageBoxes::Ok, kOutside, MessageBoxes::programTitle());
    whenFileDialogChooses(path);
    editor->SpeedButton1->click();
    CHECK_BOXES();
    // Marked changed in every case, also when cancelled or refused.
    QVERIFY(editor->RichEdit1->document()->isModified());
    QCOMPARE(editor->Edit1->text(), titleAfter);
    if (name.isEmpty()) {
        QVERIFY(stored("othersource").isNull());
        QCOMPARE(editor->Edit3->toPlainText(), QString());
        QVERIFY(!editor->SpeedButton2->isEnabled());
        return;
    }
    // Stored at once, before any save.
    QCOMPARE(stored("othersource").toString(), name);
    QCOMPARE(editor->Edit3->toPlainText(), name);
    QVERIFY(editor->Edit1->isModified());
    QVERIFY(editor->SpeedButton2->isEnabled());
    QCOMPARE(stored("name").toString(), title);
}

void TestAttachment::openAttachment_data()
{
    QTest::addColumn<QString>("storedName");
    QTest::addColumn<QString>("opens");  // relative to the folder; empty when refused
    QTest::newRow("a name of this program") << "docs/a.pdf" << "docs/a.pdf";
    QTest::newRow("a name written on Windows") << "docs\\a.pdf" << "docs/a.pdf";
    QTest::newRow("a name leading out with ..") << "../../etc/passwd" << "";
    QTest::newRow("an absolute name") << "/etc/passwd" << "";
    QTest::newRow("a Windows drive") << "C:\\Windows\\notepad.exe" << "";
}

void TestAttachment::openAttachment()
{
    QFETCH(QString, storedName);
    QFETCH(QString, opens);
    file("docs/a.pdf");
    start("题", storedName);
    QVERIFY(editor->SpeedButton2->isEnabled());
    if (opens.isEmpty())
        MessageBoxes::expectNext(MessageBoxes::Ok,
                                 QStringLiteral("文件名“%1”指向资料库文件夹（%2/）之外，不予打开。")
                                     .arg(storedName, QFileInfo(lib->folder()).canonicalFilePath()));
    editor->SpeedButton2->click();
    CHECK_BOXES();
    if (opens.isEmpty()) {
        QVERIFY(opened.urls.isEmpty());
        return;
    }
    QCOMPARE(opened.urls.size(), 1);
    QCOMPARE(QFileInfo(opened.urls.first().toLocalFile()).canonicalFilePath(),
             QFileInfo(QDir(lib->folder()).absoluteFilePath(opens)).canonicalFilePath());
}

void TestAttachment::chooseCover_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("message");  // empty when none
    QTest::addColumn<bool>("stored");
    QTest::addColumn<bool>("shown");
    QTest::newRow("a picture in a sub-folder") << "covers/c.png" << png() << "" << true << true;
    QTest::newRow("not a picture: recorded, not shown") << "bad.jpg" << QByteArray("text") << "图像格式不支持,请重新设置。"
                                                        << true << false;
    QTest::newRow("a name longer than 50 characters: refused")
        << QString(47, 'c') + ".png" << png()
        << QStringLiteral("所选文件在资料库文件夹中的名称“%1”有 51 个字符，超过了可以保存的 50 个字符。此次操作被退回。")
               .arg(QString(47, 'c') + ".png")
        << false << false;
}

void TestAttachment::chooseCover()
{
    QFETCH(QString, chosen);
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    QFETCH(bool, stored);
    QFETCH(bool, shown);
    start("题");
    const QString path = file(chosen, content);
    if (!message.isEmpty()) MessageBoxes::expectNext(MessageBoxes::Ok, message, MessageBoxes::programTitle());
    whenFileDialogChooses(path);
    editor->SpeedButton4->click();
    CHECK_BOXES();
    QVERIFY(editor->RichEdit1->document()->isModified());
    QCOMPARE(this->stored("othersourceb").toString(), stored ? chosen : QString());
    QCOMPARE(editor->Edit5->text(), stored ? chosen : QString());
    QCOMPARE(editor->Edit1->isModified(), stored);
    const QPixmap picture = editor->Image1->pixmap();
    QCOMPARE(!picture.isNull(), shown);
    if (shown) QCOMPARE(picture.size(), QSize(20, 30));
}

void TestAttachment::coverDialogOffersThePictureFormats()
{
    start("题");
    QStringList filters;
    // Reads the filters of the next file dialog and cancels it.
    auto readFilters = [&filters] {
        whenModalShows([&filters](QWidget *w) {
            auto *dialog = qobject_cast<QFileDialog *>(w);
            if (!dialog) return false;
            filters = dialog->nameFilters();
            dialog->reject();
            return true;
        });
    };
    readFilters();
    editor->SpeedButton4->click();
    QCOMPARE(filters.size(), 1);
    for (const char *pattern : {"*.jpg", "*.jpeg", "*.png", "*.bmp", "*.gif", "*.ico"})
        QVERIFY2(filters.first().contains(pattern), qPrintable(filters.first()));
    // The attachment's dialog keeps what the cover's had last.
    readFilters();
    editor->SpeedButton1->click();
    QVERIFY(filters.first().contains("*.png"));
}

void TestAttachment::removeCover()
{
    file("c.png", png());
    start("题", QString(), "c.png");
    QVERIFY(!editor->Image1->pixmap().isNull());
    editor->SpeedButton5->click();
    QCOMPARE(editor->Edit5->text(), QString());
    QVERIFY(editor->RichEdit1->document()->isModified());
    // The old picture stays in view, and in the file until the next save.
    QVERIFY(!editor->Image1->pixmap().isNull());
    QCOMPARE(stored("othersourceb").toString(), QString("c.png"));
    MainForm->ToolButton31Click();
    CHECK_BOXES();
    QCOMPARE(stored("othersourceb").toString(), QString());
}

void TestAttachment::storedCoverOutsideTheFolderIsNotLoaded()
{
    const QString outside = QDir(elsewhere.path()).absoluteFilePath("x.png");
    QFile f(outside);
    f.open(QIODevice::WriteOnly);
    f.write(png());
    f.close();
    lib->topics("甲\n");
    const QString name = QDir(lib->folder()).relativeFilePath(outside);
    QVERIFY(name.startsWith("../"));
    lib->document("题", "正文", rtfOf("正文"));
    lib->sql(QString("UPDATE mainfile SET othersourceb = '%1'").arg(name));
    lib->write();
    run = std::make_unique<ProgramRun>();
    MessageBoxes::expectNext(MessageBoxes::Ok, QStringLiteral("文件名“%1”指向资料库文件夹（%2/）之外，不予打开。")
                                                   .arg(name, QFileInfo(lib->folder()).canonicalFilePath()));
    editor = openDocument(1);
    CHECK_BOXES();
    QVERIFY(editor);
    QVERIFY(editor->Image1->pixmap().isNull());
    QCOMPARE(editor->Edit5->text(), name);
}

WENK_TEST_MAIN(TestAttachment)
#include "tst_attachment.moc"
