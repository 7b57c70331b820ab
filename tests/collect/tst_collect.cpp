// The quick collection window: its looks, and the document, body and link
// that "收集" writes for a picked topic.
#include "app/main.h"
#include "collect/Unitget.h"
#include "collect/collecting.h"
#include "data/Unit1.h"
#include "rtf/rtfcodec.h"
#include "tests/support/fixture.h"
#include "tests/support/program.h"
#include "tests/support/testmain.h"
#include "tests/support/treedriver.h"
#include "topics/Unitselectnode.h"

#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSlider>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <memory>

class TestCollect : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void layout();
    void opacity_data();
    void opacity();
    void sizeButtons();
    void contextMenus();
    void emptyTitleRefused_data();
    void emptyTitleRefused();
    void collectFilesTheDocument_data();
    void collectFilesTheDocument();
    void pastedFormattingIsKept();
    void twiceInARow();
    void pickerCancelledKeepsEverything();
    void refusedWriteStoresNothing();
    void showingFromTheMainWindow();

private:
    std::unique_ptr<LibraryFixture> lib;
    std::unique_ptr<ProgramRun> run;
};

namespace {

// 甲 (1) ─ 乙 (2) ─ 丙 (3) ─ 丁 (4)
// 戊 (5)
const char *kOutline = "甲\n  乙\n    丙\n      丁\n戊\n";

void fill(const QString &title, const QString &text)
{
    frmget->Edit1->setText(title);
    frmget->Memo1->setPlainText(text);
}

void collectUnder(const QString &topic)
{
    if (topic.isEmpty())
        whenPickerShowsCancel();
    else
        whenPickerShowsPick(topic);
    frmget->BitBtn4->click();
}

}  // namespace

void TestCollect::init()
{
    lib = std::make_unique<LibraryFixture>();
    lib->topics(kOutline);
    lib->useAutoincrement(true);
    lib->write();
    run = std::make_unique<ProgramRun>();
    QVERIFY(run->started());
    frmget->show();
}

void TestCollect::cleanup()
{
    if (frmget) frmget->hide();
    run.reset();
    lib.reset();
    CHECK_BOXES();
}

void TestCollect::layout()
{
    QCOMPARE(frmget->windowTitle(), QStringLiteral("简易收集窗"));
    QCOMPARE(frmget->size(), QSize(291, 190));
    const Qt::WindowFlags flags = frmget->windowFlags();
    QVERIFY(flags & Qt::WindowStaysOnTopHint);
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QCOMPARE(frmget->windowModality(), Qt::ApplicationModal);
    QCOMPARE(frmget->BitBtn4->text(), QStringLiteral("收集"));
    QCOMPARE(frmget->Panel1->width(), 79);
    QCOMPARE(frmget->TrackBar1->orientation(), Qt::Vertical);
    QCOMPARE(frmget->TrackBar1->minimum(), 1);
    QCOMPARE(frmget->TrackBar1->maximum(), 10);
    QCOMPARE(frmget->TrackBar1->value(), 1);
    QCOMPARE(frmget->windowOpacity(), 1.0);
    QCOMPARE(frmget->Edit1->font().pixelSize(), 15);
    QCOMPARE(frmget->Memo1->font().pixelSize(), 16);
}

void TestCollect::opacity_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("opacity");
    QTest::newRow("position 1: opaque") << 1 << 255;
    QTest::newRow("position 2") << 2 << 245;
    QTest::newRow("position 10") << 10 << 165;
}

void TestCollect::opacity()
{
    QFETCH(int, position);
    QFETCH(int, opacity);
    frmget->TrackBar1->setValue(10);
    frmget->TrackBar1->setValue(position);
    QCOMPARE(Tfrmget::opacityOf(position), opacity);
    QCOMPARE(qRound(frmget->windowOpacity() * 255), opacity);
}

void TestCollect::sizeButtons()
{
    frmget->SpeedButton1->click();
    QCOMPARE(frmget->size(), QSize(700, 360));
    QCOMPARE(frmget->Edit1->width(), 610);
    frmget->SpeedButton2->click();
    QCOMPARE(frmget->size(), QSize(280, 220));
    QCOMPARE(frmget->Edit1->width(), 190);
}

void TestCollect::contextMenus()
{
    QStringList titles, texts;
    for (QAction *a : frmget->PopupMenu2->actions()) titles << (a->isSeparator() ? "-" : a->text());
    for (QAction *a : frmget->PopupMenu1->actions()) texts << (a->isSeparator() ? "-" : a->text());
    QCOMPARE(titles, (QStringList{"复制", "粘贴", "-", "清空"}));
    QCOMPARE(texts, (QStringList{"复制", "粘贴", "-", "清空"}));
    fill("题目", "正文");
    frmget->Edit1->selectAll();
    frmget->N3->trigger();
    frmget->N6->trigger();
    QCOMPARE(frmget->Edit1->text(), QString());
    frmget->N4->trigger();
    QCOMPARE(frmget->Edit1->text(), QStringLiteral("题目"));
    frmget->Memo1->selectAll();
    frmget->N1->trigger();
    frmget->N8->trigger();
    QCOMPARE(frmget->Memo1->toPlainText(), QString());
    frmget->N2->trigger();
    QCOMPARE(frmget->Memo1->toPlainText(), QStringLiteral("正文"));
}

void TestCollect::emptyTitleRefused_data()
{
    QTest::addColumn<QString>("title");
    QTest::newRow("empty") << "";
    QTest::newRow("blanks only") << "   ";
    QTest::newRow("blanks and control characters") << QStringLiteral("\t \x01\u3000 ");
}

void TestCollect::emptyTitleRefused()
{
    QFETCH(QString, title);
    fill(title, "正文");
    MessageBoxes::expectNext(MessageBoxes::Ok, QStringLiteral("标题未填写，请填写后再操作。"));
    frmget->BitBtn4->click();
    CHECK_BOXES();
    QVERIFY(!frmselectnode->isVisible());
    QCOMPARE(lib->scalar("SELECT count(*) FROM mainfile").toInt(), 0);
    QCOMPARE(frmget->Memo1->toPlainText(), QStringLiteral("正文"));
}

void TestCollect::collectFilesTheDocument_data()
{
    QTest::addColumn<QString>("topic");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QVariantList>("link");  // ztid, aztid, bztid, cztid, dztid
    const QVariant none;
    QTest::newRow("a level-3 topic: its path in the link")
        << "丙" << "第一行\n第二行" << QVariantList{qint64(3), qint64(1), qint64(2), qint64(3), none};
    QTest::newRow("a root") << "戊" << "文" << QVariantList{qint64(5), qint64(5), none, none, none};
    QTest::newRow("a level-4 topic") << "丁" << "文" << QVariantList{qint64(4), qint64(1), qint64(2), qint64(3), qint64(4)};
    QTest::newRow("an empty text: an empty body") << "乙" << "" << QVariantList{qint64(2), qint64(1), qint64(2), none, none};
}

void TestCollect::collectFilesTheDocument()
{
    QFETCH(QString, topic);
    QFETCH(QString, text);
    QFETCH(QVariantList, link);
    fill(QStringLiteral("  题 目  "), text);
    collectUnder(topic);
    CHECK_BOXES();
    // The title as typed, the plain text with Windows line breaks.
    const QList<QVariantList> docs = lib->query("SELECT id, name, text, othersource, othersourceb FROM mainfile");
    QCOMPARE(docs.size(), 1);
    const qint64 id = docs[0][0].toLongLong();
    QCOMPARE(docs[0][1].toString(), QStringLiteral("  题 目  "));
    QCOMPARE(docs[0][2].toString(), QString(text).replace("\n", "\r\n"));
    QVERIFY(docs[0][3].isNull() && docs[0][4].isNull());
    const QList<QVariantList> bodies = lib->query(QString("SELECT richtext FROM richfile WHERE fileid = %1").arg(id));
    QCOMPARE(bodies.size(), 1);
    QCOMPARE(rtf::plainText(bodies[0][0].toByteArray()), text);
    QCOMPARE(lib->query(QString("SELECT ztid, aztid, bztid, cztid, dztid FROM gl WHERE fileid = %1").arg(id)),
             QList<QVariantList>{link});
    // Emptied for the next item; the window stays.
    QCOMPARE(frmget->Edit1->text(), QString());
    QCOMPARE(frmget->Memo1->toPlainText(), QString());
    QVERIFY(frmget->isVisible());
}

void TestCollect::pastedFormattingIsKept()
{
    frmget->Edit1->setText("格式");
    frmget->Memo1->setHtml(QStringLiteral("<p>普通<b>加粗</b><span style='color:#ff0000'>红色</span></p>"));
    collectUnder("甲");
    CHECK_BOXES();
    QTextDocument stored;
    rtf::read(lib->scalar("SELECT richtext FROM richfile").toByteArray(), &stored);
    QCOMPARE(stored.toPlainText(), QStringLiteral("普通加粗红色"));
    QTextCursor c(&stored);
    c.setPosition(3);
    QCOMPARE(c.charFormat().fontWeight(), int(QFont::Bold));
    c.setPosition(5);
    QCOMPARE(c.charFormat().foreground().color(), QColor(255, 0, 0));
    QCOMPARE(lib->scalar("SELECT text FROM mainfile").toString(), QStringLiteral("普通加粗红色"));
}

void TestCollect::twiceInARow()
{
    fill("一", "甲文");
    collectUnder("乙");
    fill("二", "戊文");
    collectUnder("戊");
    CHECK_BOXES();
    QCOMPARE(lib->query("SELECT m.name, g.ztid FROM mainfile m JOIN gl g ON g.fileid = m.id ORDER BY m.id"),
             (QList<QVariantList>{{QString("一"), qint64(2)}, {QString("二"), qint64(5)}}));
}

void TestCollect::pickerCancelledKeepsEverything()
{
    fill("题", "文");
    collectUnder(QString());
    CHECK_BOXES();
    QCOMPARE(lib->scalar("SELECT count(*) FROM mainfile").toInt(), 0);
    QCOMPARE(frmget->Edit1->text(), QStringLiteral("题"));
    QCOMPARE(frmget->Memo1->toPlainText(), QStringLiteral("文"));
}

void TestCollect::refusedWriteStoresNothing()
{
    MastData->database().exec(
        "CREATE TRIGGER refuse BEFORE INSERT ON gl BEGIN SELECT RAISE(ABORT, 'refused by test'); END");
    fill("题", "文");
    MessageBoxes::expectNext(MessageBoxes::Ok, "refused by test");
    collectUnder("丙");
    CHECK_BOXES();
    QCOMPARE(lib->scalar("SELECT count(*) FROM mainfile").toInt(), 0);
    QCOMPARE(lib->scalar("SELECT count(*) FROM richfile").toInt(), 0);
    QCOMPARE(frmget->Edit1->text(), QStringLiteral("题"));
    QCOMPARE(frmget->Memo1->toPlainText(), QStringLiteral("文"));
    // The datasets hold what the file holds, and the next collect works.
    QCOMPARE(MastData->ADOTmain->recordCount(), 0);
    MastData->database().exec("DROP TRIGGER refuse");
    collectUnder("丙");
    CHECK_BOXES();
    QCOMPARE(lib->scalar("SELECT count(*) FROM mainfile").toInt(), 1);
    QCOMPARE(lib->scalar("SELECT count(*) FROM gl").toInt(), 1);
}

void TestCollect::showingFromTheMainWindow()
{
    frmget->hide();
    frmget->move(300, 200);
    frmget->TrackBar1->setValue(4);
    frmget->SpeedButton1->click();
    bool mainMinimised = false;
    QTimer::singleShot(50, [&] {
        mainMinimised = MainForm->isMinimized();
        fill("题", "文");
        collectUnder("戊");
        frmget->close();
    });
    MainForm->SpeedButton6Click();
    CHECK_BOXES();
    QVERIFY(mainMinimised);
    QVERIFY(MainForm->isMaximized());
    QCOMPARE(lib->scalar("SELECT count(*) FROM mainfile").toInt(), 1);
    // Size, place and opacity are kept for the next showing.
    QCOMPARE(frmget->size(), QSize(700, 360));
    QCOMPARE(frmget->pos(), QPoint(300, 200));
    QCOMPARE(qRound(frmget->windowOpacity() * 255), 225);
    // Closing read the current document's links again.
    QVERIFY(MastData->ADOTmain->locate("id", 1));
    QCOMPARE(MastData->ADOTgl2->recordCount(), 1);
}

WENK_TEST_MAIN(TestCollect)
#include "tst_collect.moc"
