#include "app/startup.h"

#include "app/UnitMYTH.h"
#include "app/main.h"
#include "app/messagebox.h"
#include "collect/Unitget.h"
#include "data/Unit1.h"
#include "data/dataerror.h"
#include "documents/Unit3.h"
#include "documents/marks.h"
#include "topics/Unitselectnode.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QTranslator>

namespace {

MYTH *worker = nullptr;
QStringList trace;
const QString kTitle = MessageBoxes::programTitle();
const QString kFile = QStringLiteral("wenk.dat");

// "宋体" is the font the forms are designed in; use an installed CJK serif.
void mapSongFont()
{
    const QStringList families = QFontDatabase::families();
    for (const char *candidate : {"Noto Serif CJK SC", "Noto Sans CJK SC", "AR PL UMing CN", "WenQuanYi Zen Hei"}) {
        if (families.contains(candidate)) {
            QFont::insertSubstitution(QStringLiteral("宋体"), candidate);
            return;
        }
    }
}

// The toolkit's own texts (dialog buttons, the editor windows' system menu)
// in Chinese, where the translations are installed.
void loadQtChinese()
{
    static QTranslator *qt = nullptr;
    if (qt) return;
    qt = new QTranslator(qApp);
    if (qt->load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qt);
}

// No library in the folder: offer to make an empty one. False ends the program.
bool ensureLibraryFile()
{
    const QString path = QDir::current().absoluteFilePath(kFile);
    if (QFileInfo::exists(path) || QFileInfo(path).isSymLink()) return true;
    const QString text = QStringLiteral("当前文件夹中没有资料库文件：\n%1\n\n是否在这里新建一个空的资料库？").arg(path);
    if (MessageBoxes::question(nullptr, kTitle, text) != MessageBoxes::Yes) return false;
    try {
        Database::createLibrary(path);
    } catch (const DataError &e) {
        MessageBoxes::notice(nullptr, kTitle, QStringLiteral("无法新建资料库文件 %1：\n%2").arg(path, e.message()));
        return false;
    }
    return true;
}

void refuseLibrary(const QString &reason)
{
    const QString path = QDir::current().absoluteFilePath(kFile);
    MessageBoxes::notice(nullptr, kTitle,
                         QStringLiteral("无法打开资料库文件 %1：\n%2\n\n程序将退出，文件保持原样。").arg(path, reason));
    stopProgram();
}

// The connection opens with the first dataset; opening it here checks the
// file before anything else is made of it.
bool openLibrary()
{
    try {
        MastData->ADOConnection1->open();
        return true;
    } catch (const DataError &e) {
        refuseLibrary(e.message());
        return false;
    }
}

void openStartupDatasets()
{
    TMastData *d = MastData;
    for (TDataSet *ds : std::initializer_list<TDataSet *>{d->ADOTable1, d->ADOTable2, d->ADOTable3, d->ADOTable4,
                                                         d->ADOTable5, d->ADOTable6, d->ADOTable7, d->ADOTable8,
                                                         d->ADOTable1check, d->ADOTgl2, d->ADOTzt, d->ADOTtemp}) {
        trace << ds->name();
        ds->open();
    }
}

}  // namespace

MYTH *startupWorker()
{
    return worker;
}

QStringList &startupTrace()
{
    return trace;
}

bool startProgram()
{
    // 1. The application and its title.
    // The name only: a display name set as well would be appended to the
    // caption of every other window ("春望 — 云笈研读书匣").
    QApplication::setApplicationName(kTitle);
    mapSongFont();
    loadQtChinese();
    if (!ensureLibraryFile()) return false;

    // 2. The windows and the data module, the main window first.
    trace.clear();
    MainForm = new TMainForm;
    trace << "TMainForm";
    MastData = new TMastData;
    trace << "TMastData";
    MainForm->bindDataSources();
    // The large tables are read meanwhile, so the tree and the document
    // list do not wait for them one after the other.
    if (!openLibrary()) return false;
    MastData->database().prefetch({{"gl", "ztid"}, {"mainfile", ""}});
    Form3 = new TForm3;
    Form3->onGoToSelected = [] { TMarks(*MastData, *Form3, *MainForm).goToSelected(); };
    trace << "TForm3";
    frmselectnode = new Tfrmselectnode(MainForm);
    trace << "Tfrmselectnode";
    frmget = new Tfrmget;
    trace << "Tfrmget";

    // 3. The worker, which has the user-interface thread open the document
    //    datasets once the event loop runs.
    worker = new MYTH([] {
        trace << "ADOTmain";
        MastData->ADOTmain->open();
        trace << "ADOTfile";
        MastData->ADOTfile->open();
    });
    worker->start(QThread::HighestPriority);
    trace << "MYTH";

    // 4. The twelve datasets; the first one opens the connection.
    try {
        openStartupDatasets();
    } catch (const DataError &e) {
        refuseLibrary(e.message());
        return false;
    }
    MainForm->showMaximized();
    trace << "shown";
    return true;
}

void stopProgram()
{
    // The worker waits for its request; serve it before waiting for the thread.
    if (worker) {
        while (!worker->isFinished()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            worker->wait(5);
        }
        delete worker;
        worker = nullptr;
    }
    delete frmget;
    frmget = nullptr;
    delete Form3;
    Form3 = nullptr;
    delete MainForm;  // owns the picker and the editor windows
    MainForm = nullptr;
    frmselectnode = nullptr;
    delete MastData;
    MastData = nullptr;
}
