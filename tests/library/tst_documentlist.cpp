// The document list: a topic's documents after a tree click, the keyword
// search, and what a click and a double click on a listed row do.
#include "app/main.h"
#include "data/Unit1.h"
#include "data/dataerror.h"
#include "editor/childwin.h"
#include "tests/support/fixture.h"
#include "tests/support/listdriver.h"
#include "tests/support/program.h"
#include "tests/support/testmain.h"
#include "tests/support/treedriver.h"
#include "topics/topictree.h"

#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableView>
#include <QToolButton>
#include <QTreeWidget>
#include <memory>
#include <sqlite3.h>

class TestDocumentList : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void treeClickListsTheTopicsOwnDocuments_data();
    void treeClickListsTheTopicsOwnDocuments();
    void treeClickEnablesTheTreeCommands();
    void treeClickFailureShowsItsMessage();

    void search_data();
    void search();
    void enterInTheKeywordBoxSearches();
    void changingTheOptionDoesNotSearch();
    void searchFailureRestoresCursorAndDisplay();

    void clickMakesTheListedDocumentCurrent_data();
    void clickMakesTheListedDocumentCurrent();
    void clickOnARowWhoseDocumentIsGone();
    void clickOpensTheLinksOfTheCurrentDocument();
    void clickFailureShowsItsMessage();
    void ctrlAndShiftSelectSeveralRows();
    void doubleClickOpensTheDocument();
    void doubleClickOnARowWhoseDocumentIsGone();

private:
    std::unique_ptr<LibraryFixture> lib;
    std::unique_ptr<ProgramRun> run;
};

namespace {

const QString kTitle = QStringLiteral("云笈研读书匣");

qint64 currentDocument()
{
    return MastData->ADOTmain->fieldInt("id");
}

// Changes the library file behind the program's back.
void execSql(const QString &path, const QString &sql)
{
    sqlite3 *db = nullptr;
    QCOMPARE(sqlite3_open(path.toUtf8().constData(), &db), SQLITE_OK);
    QCOMPARE(sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
}

}  // namespace

void TestDocumentList::init()
{
    lib = std::make_unique<LibraryFixture>();
    lib->topics("唐诗\n  李白\n  杜甫\n宋词\n");
    lib->link(lib->document("静夜思", QStringLiteral("床前明月光，疑是地上霜")), "李白");           // 1
    const qint64 wine = lib->document("将进酒", QStringLiteral("君不见黄河之水天上来"));           // 2
    lib->link(wine, "李白");
    lib->link(wine, "唐诗");
    lib->document("xABCx", "Notes about CAFÉ life");        // 3
    lib->document("O'Neil's notes", "it's a quote");        // 4
    lib->document("abxc", QStringLiteral("ЖУРНАЛ entries"));  // 5
    lib->document("ac", QStringLiteral("ＡＢＣ full width"));   // 6
    lib->document("100% pure", "underscore_here");          // 7
    lib->document(QStringLiteral("孤本"));                   // 8, no body
    // A link to a document that no longer exists.
    lib->sql("INSERT INTO gl (ztid, fileid, aztid) VALUES (4, 99, 4)");
    lib->write();
    run = std::make_unique<ProgramRun>();
    QVERIFY(run->started());
    QVERIFY(MastData->ADOTmain->active());
}

void TestDocumentList::cleanup()
{
    run.reset();
    lib.reset();
    CHECK_BOXES();
}

// ---- tree click -------------------------------------------------------------

void TestDocumentList::treeClickListsTheTopicsOwnDocuments_data()
{
    QTest::addColumn<QString>("topic");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QString>("label");
    QTest::newRow("a topic's links, with the document titles")
        << "李白" << QStringList{"1|静夜思", "2|将进酒"} << "   [当前编数] 2篇";
    QTest::newRow("a topic with sub-topics lists only its own links")
        << "唐诗" << QStringList{"2|将进酒"} << "   [当前编数] 1篇";
    QTest::newRow("a topic without links lists nothing") << "杜甫" << QStringList{} << "   [当前编数] 0篇";
    QTest::newRow("a link whose document is gone has an empty title")
        << "宋词" << QStringList{"99|"} << "   [当前编数] 1篇";
}

void TestDocumentList::treeClickListsTheTopicsOwnDocuments()
{
    QFETCH(QString, topic);
    QFETCH(QStringList, rows);
    QFETCH(QString, label);
    clickTopic(topic);
    QCOMPARE(MainForm->currentList(), MastData->DSADOQuery1);
    QCOMPARE(gridRows(), rows);
    QCOMPARE(MainForm->Label1->text(), label);
    QCOMPARE(MainForm->ListSql, QStringLiteral("select * from gl where ztid = %1").arg(lib->topicId(topic)));
    QCOMPARE(MainForm->tree->CurrentNode, nodeNamed(MainForm->tree->TreeView1, topic));
}

void TestDocumentList::treeClickEnablesTheTreeCommands()
{
    MainForm->SpeedButton16Click();  // a reload of a tree with nodes disables them
    TTopicTree *tree = MainForm->tree;
    const QList<QToolButton *> six = {tree->SpeedButton8,  tree->SpeedButton9,  tree->SpeedButton12,
                                      tree->SpeedButton13, tree->SpeedButton14, tree->SpeedButton15};
    for (QToolButton *b : six) QVERIFY(!b->isEnabled());
    clickTopic("杜甫");
    for (QToolButton *b : six) QVERIFY2(b->isEnabled(), qPrintable(b->objectName()));
}

void TestDocumentList::treeClickFailureShowsItsMessage()
{
    searchFor("abc");
    execSql(lib->path(), "DROP TABLE gl");
    MessageBoxes::expectNext(MessageBoxes::Ok, QStringLiteral("出错信息：点击专题窗出错。操作被中止"), kTitle);
    clickTopic("李白");
    CHECK_BOXES();
    // What was done before the failure stays: the grid on the topic list.
    QCOMPARE(MainForm->currentList(), MastData->DSADOQuery1);
    QCOMPARE(MainForm->Label1->text(), QStringLiteral("  [当前编数] 1篇"));
    QVERIFY(!MainForm->tree->SpeedButton12->isEnabled());
}

// ---- search -----------------------------------------------------------------

void TestDocumentList::search_data()
{
    QTest::addColumn<bool>("inTitles");
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<QStringList>("names");  // sorted, except for the full list
    QTest::addColumn<QString>("statement");
    const QString all = "Select * from mainfile order by name";
    const QString titles = "Select * from mainfile where name like ? ";
    const QString bodies = "Select * from mainfile where  text like ? ";
    // Letter case is ignored in the title order.
    const QStringList byTitle = {"100% pure", "abxc", "ac", "O'Neil's notes", "xABCx", "孤本", "将进酒", "静夜思"};

    QTest::newRow("empty keyword: every document by title") << true << "" << byTitle << all;
    QTest::newRow("empty keyword with 正文: the same") << false << "" << byTitle << all;
    QTest::newRow("abc in titles also finds xABCx") << true << "abc" << QStringList{"xABCx"} << titles;
    QTest::newRow("a quote is searched for like any other letter")
        << true << "O'Neil" << QStringList{"O'Neil's notes"} << titles;
    QTest::newRow("a crafted keyword cannot change the statement")
        << true << "x' or '1'='1" << QStringList{} << titles;
    QTest::newRow("% stands for any run of letters") << true << "a%c" << QStringList{"abxc", "ac", "xABCx"} << titles;
    QTest::newRow("_ stands for one letter") << true << "a_c" << QStringList{"xABCx"} << titles;
    QTest::newRow("nothing found") << true << QStringLiteral("不存在") << QStringList{} << titles;
    QTest::newRow("正文 searches the bodies") << false << QStringLiteral("明月") << QStringList{"静夜思"} << bodies;
    QTest::newRow("正文 does not search the titles") << false << "xABCx" << QStringList{} << bodies;
    QTest::newRow("case ignored for accented letters: é finds É")
        << false << QStringLiteral("café") << QStringList{"xABCx"} << bodies;
    QTest::newRow("case ignored for Cyrillic: ж finds Ж")
        << false << QStringLiteral("журнал") << QStringList{"abxc"} << bodies;
    QTest::newRow("case ignored for full-width letters: ａ finds Ａ")
        << false << QStringLiteral("ａｂｃ") << QStringList{"ac"} << bodies;
    QTest::newRow("a quote in the bodies") << false << "it's" << QStringList{"O'Neil's notes"} << bodies;
}

void TestDocumentList::search()
{
    QFETCH(bool, inTitles);
    QFETCH(QString, keyword);
    QFETCH(QStringList, names);
    QFETCH(QString, statement);
    clickTopic("李白");  // the search replaces the topic list
    searchFor(keyword, inTitles);
    QCOMPARE(MainForm->currentList(), MastData->DSADOQuery2);
    QCOMPARE(MainForm->ListSql, statement);
    QStringList found, firstColumn;
    for (const QString &row : gridRows()) {
        firstColumn << row.section('|', 0, 0);
        found << row.section('|', 1);
    }
    if (!keyword.isEmpty()) std::sort(found.begin(), found.end());
    QCOMPARE(found, names);
    QCOMPARE(firstColumn, QStringList(names.size(), QString()));  // search rows have no 文件ID
    QCOMPARE(MainForm->Label1->text(), QStringLiteral("  [当前编数] %1篇").arg(names.size()));
}

void TestDocumentList::enterInTheKeywordBoxSearches()
{
    MainForm->PageControl2->setCurrentIndex(1);
    MainForm->Edit4->setFocus();
    QTest::keyClicks(MainForm->Edit4, "abc");
    QTest::keyClick(MainForm->Edit4, Qt::Key_Return);
    QCOMPARE(gridRows(), QStringList{"|xABCx"});
    QCOMPARE(MainForm->Label1->text(), QStringLiteral("  [当前编数] 1篇"));
}

void TestDocumentList::changingTheOptionDoesNotSearch()
{
    searchFor("abc", true);
    MainForm->Edit4->setText(QStringLiteral("明月"));
    QTest::mouseClick(MainForm->RadioButton2, Qt::LeftButton);
    QVERIFY(MainForm->RadioButton2->isChecked());
    QCOMPARE(gridRows(), QStringList{"|xABCx"});
    QCOMPARE(MainForm->ListSql, QStringLiteral("Select * from mainfile where name like ? "));
}

void TestDocumentList::searchFailureRestoresCursorAndDisplay()
{
    clickTopic("李白");
    execSql(lib->path(), "DROP TABLE mainfile");
    MainForm->Edit4->setText("abc");
    QVERIFY_THROWS_EXCEPTION(DataError, MainForm->SpeedButton18Click());
    QVERIFY(QApplication::overrideCursor() == nullptr);
    QVERIFY(!MastData->ADOQuery2->controlsDisabled());
    QVERIFY(!MastData->ADOQuery2->active());
    QCOMPARE(MainForm->currentList(), MastData->DSADOQuery2);
    QCOMPARE(MainForm->Label1->text(), QStringLiteral("   [当前编数] 2篇"));
    QCOMPARE(gridRows(), QStringList{});
    // Through the button the engine's message reaches the default error display.
    MessageBoxes::expectNext(MessageBoxes::Ok, "no such table: mainfile");
    QTest::mouseClick(MainForm->SpeedButton18, Qt::LeftButton);
    CHECK_BOXES();
}

// ---- clicks on the list ---------------------------------------------------

void TestDocumentList::clickMakesTheListedDocumentCurrent_data()
{
    QTest::addColumn<QString>("list");  // a topic, or "?keyword" for a search
    QTest::addColumn<QString>("name");  // of the row clicked
    QTest::addColumn<qint64>("document");
    QTest::newRow("a topic's row names its document by fileid") << "李白" << "将进酒" << qint64(2);
    QTest::newRow("a search row is the document itself") << "?a%c" << "ac" << qint64(6);
}

void TestDocumentList::clickMakesTheListedDocumentCurrent()
{
    QFETCH(QString, list);
    QFETCH(QString, name);
    QFETCH(qint64, document);
    if (list.startsWith('?'))
        searchFor(list.mid(1));
    else
        clickTopic(list);
    int row = 0;
    while (row < gridRows().size() && gridRows()[row].section('|', 1) != name) ++row;
    QVERIFY(row < gridRows().size());
    QVERIFY(row > 0);  // not the row the list starts on
    MainForm->SpeedButton2->setEnabled(false);
    clickRow(row);
    QCOMPARE(currentDocument(), document);
    QCOMPARE(MainForm->currentListDocumentId(), document);
    QVERIFY(MainForm->SpeedButton2->isEnabled());  // "取消"
    // The row clicked is the list's current row.
    QCOMPARE(MainForm->currentListQuery()->recNo(), row + 1);
}

void TestDocumentList::clickOnARowWhoseDocumentIsGone()
{
    clickTopic("李白");
    clickRow(0);
    QCOMPARE(currentDocument(), 1);
    clickTopic("宋词");
    clickRow(0);
    QCOMPARE(MainForm->currentListDocumentId(), 99);
    QCOMPARE(currentDocument(), 1);
}

void TestDocumentList::clickOpensTheLinksOfTheCurrentDocument()
{
    MastData->ADOTgl2->close();
    clickTopic("李白");
    clickRow(1);
    QVERIFY(MastData->ADOTgl2->active());
    QCOMPARE(MastData->ADOTgl2->recordCount(), 2);  // 将进酒 is filed twice
}

void TestDocumentList::clickFailureShowsItsMessage()
{
    clickTopic("李白");
    MastData->ADOTmain->close();
    MessageBoxes::expectNext(MessageBoxes::Ok, QStringLiteral("出错信息：点击列表窗出错。操作被中止"), kTitle);
    clickRow(0);
    CHECK_BOXES();
    QVERIFY(MainForm->SpeedButton2->isEnabled());  // done before the failure
}

void TestDocumentList::ctrlAndShiftSelectSeveralRows()
{
    searchFor("");
    clickRow(0);
    clickRow(2, Qt::ControlModifier);
    QCOMPARE(MainForm->selectedListRows(), (QList<int>{0, 2}));
    QCOMPARE(currentDocument(), MainForm->currentListDocumentId());
    clickRow(4, Qt::ShiftModifier);  // from the row last clicked
    QCOMPARE(MainForm->selectedListRows(), (QList<int>{0, 2, 3, 4}));
    clickRow(3);
    QCOMPARE(MainForm->selectedListRows(), QList<int>{3});
    // A new list empties the selection.
    searchFor("a%c");
    QCOMPARE(MainForm->selectedListRows(), QList<int>{});
}

void TestDocumentList::doubleClickOpensTheDocument()
{
    clickTopic("李白");
    doubleClickRow(1);
    QCOMPARE(currentDocument(), 2);
    QVERIFY(!MainForm->inLibraryMode());
    const QList<TMDIChild *> editors = MainForm->editorWindows();
    QCOMPARE(editors.size(), 1);
    QCOMPARE(editors.first()->documentId(), 2);
}

void TestDocumentList::doubleClickOnARowWhoseDocumentIsGone()
{
    clickTopic("宋词");
    doubleClickRow(0);
    QVERIFY(MainForm->inLibraryMode());
    QVERIFY(MainForm->editorWindows().isEmpty());
}

WENK_TEST_MAIN(TestDocumentList)
#include "tst_documentlist.moc"
