// Upgrading a library of the Windows version, as at start: a Jet file of
// 10,000 documents with bodies of 10 KB (5,000 Chinese characters, and the
// RTF the Windows program stores beside them), 1,000 topics on four levels
// and 30,000 links, converted into a new library; then the body index that
// the program builds at its next start.
//   wenk_bench_upgrade [--docs N] [--chars N] [--keep FOLDER]
#include "data/database.h"
#include "data/dataerror.h"
#include "tests/support/jetwriter.h"
#include "upgrade/jetfile.h"
#include "upgrade/jetimport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>
#include <random>

namespace {

QString prose(std::mt19937 &rng, int chars)
{
    QString text;
    text.reserve(chars + 4);
    while (text.size() < chars) {
        const double u = double(rng() % 1000000) / 1e6;
        text += QChar(char16_t(0x4E00 + int(3500 * u * u * u) * 5));
        const int r = int(rng() % 40);
        if (r == 0) text += QStringLiteral("，");
        if (r == 1) text += QStringLiteral("。\r\n");
    }
    text.truncate(chars);
    return text;
}

QString rtfOf(const QString &text)
{
    QString rtf = QStringLiteral("{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}}"
                                 "\\viewkind4\\uc1\\pard\\lang2052\\f0\\fs20 ");
    for (QChar c : text) {
        if (c == '\n') rtf += QStringLiteral("\\par\r\n");
        else if (c != '\r') rtf += c.unicode() < 0x80 ? QString(c) : QStringLiteral("\\u%1?").arg(qint16(c.unicode()));
    }
    return rtf + "}";
}

}  // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    int docs = 10000, chars = 5000;
    QString keep;
    for (int i = 0; i + 1 < args.size(); i += 2) {
        if (args[i] == "--docs") docs = args[i + 1].toInt();
        else if (args[i] == "--chars") chars = args[i + 1].toInt();
        else if (args[i] == "--keep") keep = args[i + 1];
    }
    QTemporaryDir scratch;
    const QString folder = keep.isEmpty() ? scratch.path() : keep;
    const QString jetPath = folder + "/wenk-old.mdb";
    const QString libPath = folder + "/wenk.dat";

    constexpr int kTopics = 1000;
    std::vector<jet::Table> tables = jet::libraryTables();
    for (int t = 1; t <= kTopics; ++t) {
        // Ten roots, each topic's parent ten ids before it: four levels.
        const int parent = t <= 10 ? 0 : (t <= 110 ? (t - 11) / 10 + 1 : (t <= 1000 ? (t - 111) / 10 + 11 : 0));
        jet::table(tables, "zt").rows.push_back({t, QStringLiteral("专题%1").arg(t), t, parent});
    }
    jet::table(tables, "temp").rows = {{kTopics + 1}};
    std::mt19937 rng(7);
    std::mt19937 rtfRng(7);
    jet::table(tables, "mainfile").rowSource = [&](qint64 i, QVariantList &row) {
        if (i >= docs) return false;
        row = {int(i + 1), QStringLiteral("文档 %1").arg(i + 1), prose(rng, chars), 0, QVariant(), QVariant()};
        return true;
    };
    jet::table(tables, "richfile").rowSource = [&](qint64 i, QVariantList &row) {
        if (i >= docs) return false;
        row = {int(i + 1), int(i + 1), rtfOf(prose(rtfRng, chars))};
        return true;
    };
    jet::table(tables, "gl").rowSource = [&](qint64 i, QVariantList &row) {
        if (i >= 3LL * docs) return false;
        const int topic = int(111 + (i * 7919) % (kTopics - 110));  // level-3 and level-4 topics
        row = {int(i + 1), topic, int(i % docs + 1), QVariant(), QVariant(), QVariant(), QVariant()};
        return true;
    };
    QElapsedTimer t;
    t.start();
    jet::writeFile(jetPath, tables);
    std::printf("wrote the Jet file: %d documents of %d characters, %.0f MB, in %.1f s\n", docs, chars,
                QFileInfo(jetPath).size() / 1e6, t.elapsed() / 1000.0);

    t.restart();
    try {
        Database::createLibrary(libPath);
        Database db;
        db.openLibrary(libPath);
        JetFile jet(jetPath);
        const std::optional<ImportSummary> s = importJetLibrary(db, jet, {});
        const double seconds = t.elapsed() / 1000.0;
        const qint64 size = QFileInfo(libPath).size();
        // What the program does next, with its own progress dialog.
        t.restart();
        while (db.buildBodyIndexStep(2000) == 2000) {}
        db.close();
        const double indexSeconds = t.elapsed() / 1000.0;
        std::printf("upgraded in %.1f s: %lld topics, %lld documents, %lld bodies, %lld links, %lld skipped; "
                    "new library %.0f MB\n",
                    seconds, s->topics, s->documents, s->bodies, s->links, qint64(s->skipped.size()),
                    size / 1e6);
        std::printf("then the body index built in %.1f s; library %.0f MB\n", indexSeconds,
                    QFileInfo(libPath).size() / 1e6);
    } catch (const JetError &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message));
        return 1;
    } catch (const DataError &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
        return 1;
    }
    return 0;
}
