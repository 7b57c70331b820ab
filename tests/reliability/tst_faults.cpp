// The library when the file cannot be written: a read-only file or folder,
// another program holding the write lock, a full disk. Each gives a clear
// message, loses nothing, and the program goes on where it can.
#include "app/main.h"
#include "data/Unit1.h"
#include "editor/childwin.h"
#include "tests/editor/editordriver.h"
#include "tests/support/dialogdriver.h"
#include "tests/support/fixture.h"
#include "tests/support/listdriver.h"
#include "tests/support/program.h"
#include "tests/support/testmain.h"
#include "tests/support/treedriver.h"
#include "topics/topictree.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QToolButton>
#include <QTreeWidget>
#include <csignal>
#include <sqlite3.h>
#include <sys/resource.h>
#include <grp.h>
#include <unistd.h>

namespace {



QString integrity(const QString &path)
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &st, nullptr);
    const QString result = sqlite3_step(st) == SQLITE_ROW
                               ? QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)))
                               : QString::fromUtf8(sqlite3_errmsg(db));
    sqlite3_finalize(st);
    sqlite3_close(db);
    return result;
}

// A library with a topic or two and a document, in the journal mode the
// program leaves its files in.
void writeLibrary(LibraryFixture &lib)
{
    lib.topics("甲\n乙\n");
    const qint64 doc = lib.document(QStringLiteral("文1"), QStringLiteral("床前明月光"));
    lib.link(doc, QStringLiteral("甲"));
    lib.setCounter(3);
    lib.write();
    runSqlOn(lib.path(), "PRAGMA journal_mode=WAL");
}

// Permission checks do not stop root: the test then runs as nobody, with
// the way back kept.
class AsOrdinaryUser {
public:
    AsOrdinaryUser()
    {
        if (geteuid() != 0) return;
        groups_.resize(std::max(getgroups(0, nullptr), 0));
        getgroups(int(groups_.size()), groups_.data());
        switched_ = setgroups(0, nullptr) == 0 && setresgid(65534, 65534, 0) == 0 && setresuid(65534, 65534, 0) == 0;
    }
    ~AsOrdinaryUser()
    {
        if (!switched_) return;
        setresuid(0, 0, 0);
        setresgid(0, 0, 0);
        setgroups(groups_.size(), groups_.data());
    }

private:
    bool switched_ = false;
    std::vector<gid_t> groups_;
};

// Files may grow no further than limit bytes while this lives: a full disk,
// for the writes of this process.
class FullDisk {
public:
    explicit FullDisk(rlim_t limit)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit r = saved_;
        r.rlim_cur = limit;
        setrlimit(RLIMIT_FSIZE, &r);
    }
    ~FullDisk() { setrlimit(RLIMIT_FSIZE, &saved_); }

private:
    rlimit saved_{};
};

void expectReadOnlyNotice(const LibraryFixture &lib, const QString &reason)
{
    MessageBoxes::expectNext(MessageBoxes::Ok,
                             QStringLiteral("资料库文件 %1 以只读方式打开：%2。\n可以浏览和查询，但所做的修改无法保存。")
                                 .arg(lib.path(), reason));
}

// The error boxes shown since the last call; exactly one is expected.
QString theErrorBox()
{
    const ErrorBoxes boxes = takeErrorBoxes();
    if (!boxes.otherFailures.isEmpty()) return "other failures: " + boxes.otherFailures.join("; ");
    if (boxes.texts.size() != 1) return QStringLiteral("%1 error boxes: ").arg(boxes.texts.size()) + boxes.texts.join(" | ");
    return boxes.texts.first();
}

const QString kConfirmLink = QStringLiteral("提示   \n    确定将当前所选的文件与主题区的专题分类关联吗？");

}  // namespace

class TestFaults : public QObject {
    Q_OBJECT
private slots:
    void readOnlyLibraryIsBrowsed_data();
    void readOnlyLibraryIsBrowsed();
    void writeLockHeldAtStart();
    void writeLockAtSaveKeepsTheEditor();
    void diskFull_data();
    void diskFull();
};

void TestFaults::readOnlyLibraryIsBrowsed_data()
{
    QTest::addColumn<bool>("folder");  // the folder, rather than the file, cannot be written
    QTest::newRow("read-only file") << false;
    QTest::newRow("folder without write permission") << true;
}

void TestFaults::readOnlyLibraryIsBrowsed()
{
    QFETCH(bool, folder);
    LibraryFixture lib;
    writeLibrary(lib);
    const QByteArray before = fileHash(lib.path());
    QFile::setPermissions(lib.folder(), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther |
                                            (folder ? QFile::Permissions() : QFile::WriteOwner));
    if (folder) {
        QVERIFY(::chown(lib.path().toUtf8().constData(), 65534, 65534) == 0 || geteuid() != 0);
        QFile::setPermissions(lib.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
    } else {
        QFile::setPermissions(lib.path(), QFile::ReadOwner | QFile::ReadOther);
    }
    {
        AsOrdinaryUser user;
        expectReadOnlyNotice(lib, folder ? QStringLiteral("所在的文件夹不能写入") : QStringLiteral("文件只能读取"));
        ProgramRun run;
        QVERIFY(run.started());
        CHECK_BOXES();
        MainForm->tree->SpeedButton16Click();
        QCOMPARE(treeText(MainForm->tree->TreeView1), QStringLiteral("甲[1/0]\n乙[0/0]\n"));
        searchFor(QStringLiteral("明月"), false);
        QCOMPARE(gridRows(), QStringList{"|文1"});
        // A write is refused with the reason, and the program goes on.
        runCommand([] { MainForm->ToolButton26Click(); });
        const QString error = theErrorBox();
        QVERIFY2(error.contains(QStringLiteral("资料库是以只读方式打开的")), qPrintable(error));
        searchFor(QStringLiteral("文"));
        QCOMPARE(gridRows(), QStringList{"|文1"});
    }
    QFile::setPermissions(lib.folder(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(fileHash(lib.path()), before);
}

void TestFaults::writeLockHeldAtStart()
{
    LibraryFixture lib;
    writeLibrary(lib);
    sqlite3 *other = nullptr;
    sqlite3_open(lib.path().toUtf8().constData(), &other);
    QCOMPARE(sqlite3_exec(other, "BEGIN IMMEDIATE; INSERT INTO zt (name, itno, preid) VALUES ('丙', 9, 0)", nullptr,
                          nullptr, nullptr),
             SQLITE_OK);
    {
        expectReadOnlyNotice(lib, QStringLiteral("另一个程序正在写入它，等待后仍未写完；它写完后重新启动本程序即可修改"));
        ProgramRun run;
        QVERIFY(run.started());
        CHECK_BOXES();
        MainForm->tree->SpeedButton16Click();
        QCOMPARE(treeText(MainForm->tree->TreeView1), QStringLiteral("甲[1/0]\n乙[0/0]\n"));
    }
    // The other program's write is its own to finish.
    QCOMPARE(sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(other);
    QCOMPARE(lib.scalar("SELECT count(*) FROM zt").toLongLong(), 3);
}

void TestFaults::writeLockAtSaveKeepsTheEditor()
{
    LibraryFixture lib;
    writeLibrary(lib);
    ProgramRun run;
    QVERIFY(run.started());
    TMDIChild *editor = openDocument(1);
    typeAtEnd(editor->RichEdit1, QStringLiteral("，疑是地上霜"));
    sqlite3 *other = nullptr;
    sqlite3_open(lib.path().toUtf8().constData(), &other);
    QCOMPARE(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    MainForm->ToolButton31->click();
    const QString error = theErrorBox();
    QVERIFY2(error.contains(QStringLiteral("资料库文件正被另一个程序写入，等待后仍无法写入")), qPrintable(error));
    QVERIFY(editor->isModified());
    QCOMPARE(editor->RichEdit1->toPlainText(), QStringLiteral("床前明月光，疑是地上霜"));
    QCOMPARE(lib.scalar("SELECT text FROM mainfile WHERE id = 1").toString(), QStringLiteral("床前明月光"));
    // Once the other program is done, the same save goes through.
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    MainForm->ToolButton31->click();
    CHECK_BOXES();
    QVERIFY(!editor->isModified());
    QCOMPARE(lib.scalar("SELECT text FROM mainfile WHERE id = 1").toString(), QStringLiteral("床前明月光，疑是地上霜"));
}

void TestFaults::diskFull_data()
{
    QTest::addColumn<QString>("command");
    QTest::newRow("save") << "save";
    QTest::newRow("new document") << "new";
    QTest::newRow("link") << "link";
    QTest::newRow("topic added") << "topic";
    QTest::newRow("import") << "import";
}

void TestFaults::diskFull()
{
    QFETCH(QString, command);
    LibraryFixture lib;
    writeLibrary(lib);
    const QString rows = "SELECT (SELECT group_concat(id || name || itno) FROM zt), (SELECT group_concat(id || name "
                         "|| text) FROM mainfile), (SELECT count(*) FROM gl), (SELECT count(*) FROM richfile), "
                         "(SELECT num FROM temp)";
    const QList<QVariantList> before = lib.query(rows);
    {
        ProgramRun run;
        QVERIFY(run.started());
        TMDIChild *editor = nullptr;
        if (command == "save") {
            editor = openDocument(1);
            typeAtEnd(editor->RichEdit1, QString(20, QChar(0x971C)));
        }
        if (command == "link") {
            searchFor(QStringLiteral("文"));
            selectRowsNamed({QStringLiteral("文1")});
            whenPickerShowsPick(QStringLiteral("乙"));
            MessageBoxes::expectNext(MessageBoxes::Yes, kConfirmLink, QStringLiteral("执行关联确认"));
        }
        if (command == "import") whenFileDialogChooses(QStringLiteral(WENK_JET_FIXTURES "/library-demo.mdb"));
        // Everything written so far is in the file; the log starts empty
        // and cannot grow.
        runSqlOn(lib.path(), "PRAGMA wal_checkpoint(TRUNCATE)");
        {
            FullDisk full(1024);
            if (command == "save") MainForm->ToolButton31->click();
            if (command == "new") runCommand([] { MainForm->ToolButton26Click(); });
            if (command == "link") MainForm->SpeedButton7->click();
            if (command == "topic") {
                clickTopic(QStringLiteral("乙"));
                runCommand([] { MainForm->tree->SpeedButton8Click(); });
                acceptEdit(MainForm->tree->TreeView1, QStringLiteral("丙"));
            }
            if (command == "import") runCommand([] { MainForm->SpeedButton20Click(); });
        }
        const QString error = theErrorBox();
        QVERIFY2(error.contains(QStringLiteral("磁盘空间不足")) || error.contains(QStringLiteral("读写资料库文件时出错")),
                 qPrintable(error));
        if (editor) {
            QVERIFY(editor->isModified());
            QCOMPARE(editor->RichEdit1->toPlainText(), QStringLiteral("床前明月光") + QString(20, QChar(0x971C)));
            MessageBoxes::expectNext(MessageBoxes::No, QStringLiteral("是否保存对 文1 修改？"), QStringLiteral("文1"));
            QVERIFY(closeWindow(editor));
        }
        CHECK_BOXES();
        QCOMPARE(integrity(lib.path()), QStringLiteral("ok"));
        QCOMPARE(lib.query(rows), before);
    }
    // The file opens afterwards, as it was.
    ProgramRun again;
    QVERIFY(again.started());
    QCOMPARE(lib.query(rows), before);
}

WENK_TEST_MAIN(TestFaults)
#include "tst_faults.moc"
