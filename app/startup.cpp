#include "app/startup.h"

#include "app/indexbuild.h"
#include "app/upgrade.h"

#include "app/UnitMYTH.h"
#include "app/main.h"
#include "collect/Unitget.h"
#include "data/Unit1.h"
#include "data/backups.h"
#include "data/dataerror.h"
#include "data/schema.h"
#include "documents/Unit3.h"
#include "documents/marks.h"
#include "topics/Unitselectnode.h"
#include "ui/messagebox.h"
#include "upgrade/jetfile.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QIcon>
#include <QStatusBar>
#include <QLibraryInfo>
#include <QTranslator>
#include <memory>

namespace {

// What start-up makes, in the order it makes it; the members are destroyed
// in the reverse order. The global pointers the forms are known by are set
// from here and cleared here, and own nothing.
struct TProgram {
    std::unique_ptr<TMainForm> mainForm;
    std::unique_ptr<TMastData> mastData;
    std::unique_ptr<TForm3> jumpWindow;
    std::unique_ptr<Tfrmselectnode> picker;
    std::unique_ptr<Tfrmget> collectionWindow;
    std::unique_ptr<MYTH> worker;
    // Goes first when the program stops: a copy still running is stopped.
    std::unique_ptr<BackgroundBackup> backup;
};

std::unique_ptr<TProgram> program;
QStringList trace;
const QString kTitle = MessageBoxes::programTitle();
const QString kFile = schema::libraryFileName;

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

// No library in the folder: offer to make an empty one; a library of the
// Windows version: offer to convert it. False ends the program.
bool ensureLibraryFile()
{
    const QString path = QDir::current().absoluteFilePath(kFile);
    if (QFileInfo::exists(path) && JetFile::looksLikeJet(path)) return convertJetLibrary(path);
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

BackgroundBackup *startupBackup()
{
    return program ? program->backup.get() : nullptr;
}

MYTH *startupWorker()
{
    return program ? program->worker.get() : nullptr;
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
    QGuiApplication::setDesktopFileName(QStringLiteral("net.wenk.Shuxia"));
    QIcon icon;
    for (const char *size : {"48", "256"}) icon.addFile(QStringLiteral(":/icons/wenk-%1.png").arg(size));
    QApplication::setWindowIcon(icon);
    mapSongFont();
    loadQtChinese();
    if (!ensureLibraryFile()) return false;

    // 2. The windows and the data module, the main window first.
    trace.clear();
    program = std::make_unique<TProgram>();
    program->mainForm = std::make_unique<TMainForm>();
    MainForm = program->mainForm.get();
    trace << "TMainForm";
    program->mastData = std::make_unique<TMastData>();
    MastData = program->mastData.get();
    trace << "TMastData";
    MainForm->bindDataSources();
    // The large tables are read meanwhile, so the tree and the document
    // list do not wait for them one after the other.
    if (!openLibrary()) return false;
    // Where the library is, for whoever looks: the status bar's tooltip.
    MainForm->StatusBar1->setToolTip(
        QStringLiteral("资料库：%1").arg(QDir::toNativeSeparators(QDir::current().absoluteFilePath(kFile))));
    const QString readOnly = MastData->database().readOnlyReason();
    if (readOnly.isEmpty())
        program->backup = std::make_unique<BackgroundBackup>(QDir::current().absoluteFilePath(kFile));
    else
        MessageBoxes::notice(nullptr, kTitle,
                             QStringLiteral("资料库文件 %1 以只读方式打开：%2。\n可以浏览和查询，但所做的修改无法保存。")
                                 .arg(QDir::current().absoluteFilePath(kFile), readOnly));
    try {
        buildBodyIndex(MastData->database());
    } catch (const DataError &) {
        // Left unbuilt (a file that cannot be written): the body search
        // reads every body instead.
    }
    MastData->prefetchLargeTables();
    program->jumpWindow = std::make_unique<TForm3>();
    Form3 = program->jumpWindow.get();
    Form3->onGoToSelected = [] { TMarks(*MastData, *Form3, *MainForm).goToSelected(); };
    trace << "TForm3";
    program->picker = std::make_unique<Tfrmselectnode>(MainForm);
    frmselectnode = program->picker.get();
    trace << "Tfrmselectnode";
    program->collectionWindow = std::make_unique<Tfrmget>();
    frmget = program->collectionWindow.get();
    trace << "Tfrmget";

    // 3. The worker, which has the user-interface thread open the document
    //    datasets once the event loop runs.
    program->worker = std::make_unique<MYTH>([] {
        trace << "ADOTmain";
        MastData->ADOTmain->open();
        trace << "ADOTfile";
        MastData->ADOTfile->open();
    }, MastData->database().prefetchWaiter("mainfile"));
    program->worker->start(QThread::HighestPriority);
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
    if (!program) return;
    // The worker waits for its request; serve it before waiting for the thread.
    if (MYTH *worker = program->worker.get()) {
        while (!worker->isFinished()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            worker->wait(5);
        }
    }
    // Nothing is reached through them while it goes away.
    MainForm = nullptr;
    MastData = nullptr;
    Form3 = nullptr;
    frmselectnode = nullptr;
    frmget = nullptr;
    program.reset();
}
