// Writes a library of a given size for the benchmarks:
//   wenk_genlib FOLDER [--topics N] [--docs N] [--body CHARS] [--links N] [--rich] [--chinese] [--no-index]
// Topics spread over four levels, documents with bodies of the given length
// (mostly ASCII words with Chinese among them, or with --chinese Chinese
// prose: common characters, the most common far more often), links to
// random topics.
// The body index is built at the end and its size and time printed;
// --no-index leaves it for the program to build when it opens the library.
#include "data/database.h"
#include "data/dataerror.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <cstdio>
#include <random>
#include <sqlite3.h>

namespace {

void exec(sqlite3 *db, const char *sql)
{
    char *err = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &err) != SQLITE_OK) {
        std::fprintf(stderr, "%s: %s\n", sql, err);
        std::exit(1);
    }
}

struct Insert {
    sqlite3_stmt *st = nullptr;
    Insert(sqlite3 *db, const char *sql) { sqlite3_prepare_v2(db, sql, -1, &st, nullptr); }
    ~Insert() { sqlite3_finalize(st); }
    void run()
    {
        sqlite3_step(st);
        sqlite3_reset(st);
    }
};

qint64 scalar(sqlite3 *db, const char *sql)
{
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
    const qint64 v = sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int64(st, 0) : 0;
    sqlite3_finalize(st);
    return v;
}

// Builds the body index as the program would and prints its size against
// the bodies' size.
int buildIndex(const QString &path)
{
    QElapsedTimer timer;
    timer.start();
    Database library;
    try {
        library.openLibrary(path);
        qint64 before =
            scalar(library.handle(), "SELECT page_count * page_size FROM pragma_page_count, pragma_page_size");
        while (library.buildBodyIndexStep(2000) == 2000) {}
        sqlite3_exec(library.handle(), "PRAGMA wal_checkpoint(TRUNCATE)", nullptr, nullptr, nullptr);
        const qint64 after =
            scalar(library.handle(), "SELECT page_count * page_size FROM pragma_page_count, pragma_page_size");
        const qint64 text = scalar(library.handle(), "SELECT sum(length(CAST(text AS BLOB))) FROM mainfile");
        std::printf("indexed the bodies in %.1f s: index %.0f MB for %.0f MB of text (%.0f%%)\n",
                    timer.elapsed() / 1000.0, (after - before) / 1e6, text / 1e6,
                    100.0 * double(after - before) / double(std::max<qint64>(text, 1)));
    } catch (const DataError &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty()) {
        std::fprintf(stderr, "usage: wenk_genlib FOLDER [--topics N] [--docs N] [--body CHARS] [--links N] [--rich]\n");
        return 2;
    }
    const QString folder = args.takeFirst();
    qint64 topics = 10000, docs = 100000, body = 2000, links = 300000;
    bool rich = false;
    bool index = true;
    bool chinese = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString a = args[i];
        auto num = [&] { return args.value(++i).toLongLong(); };
        if (a == "--topics")
            topics = num();
        else if (a == "--docs")
            docs = num();
        else if (a == "--body")
            body = num();
        else if (a == "--links")
            links = num();
        else if (a == "--rich")
            rich = true;
        else if (a == "--no-index")
            index = false;
        else if (a == "--chinese")
            chinese = true;
    }
    QDir().mkpath(folder);
    const QString path = QDir(folder).absoluteFilePath("wenk.dat");
    QFile::remove(path);
    QFile::remove(path + "-wal");
    QFile::remove(path + "-shm");
    try {
        Database::createLibrary(path);
    } catch (const DataError &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
        return 1;
    }
    QElapsedTimer timer;
    timer.start();
    sqlite3 *db = nullptr;
    sqlite3_open(path.toUtf8().constData(), &db);
    exec(db, "PRAGMA synchronous=OFF");
    exec(db, "BEGIN");
    // The bodies are indexed in one go at the end, not row by row.
    exec(db, "UPDATE wenk_body_state SET built = 0, upto = 0");
    std::mt19937_64 rng(42);

    // Topics: a tenth of the roots' share at each level above, the rest at level 4.
    std::vector<std::vector<qint64>> levels(4);
    {
        Insert ins(db, "INSERT INTO zt (id, name, itno, preid) VALUES (?, ?, ?, ?)");
        const qint64 perLevel[4] = {std::max<qint64>(1, topics / 1000), std::max<qint64>(1, topics / 100),
                                    std::max<qint64>(1, topics / 10), 0};
        qint64 id = 0;
        for (int lv = 0; lv < 4; ++lv) {
            const qint64 n = lv < 3 ? std::min(perLevel[lv], topics - id) : topics - id;
            for (qint64 i = 0; i < n; ++i) {
                ++id;
                const qint64 parent = lv == 0 ? 0 : levels[lv - 1][rng() % levels[lv - 1].size()];
                const QByteArray name = QStringLiteral("专题%1-%2").arg(lv + 1).arg(id).toUtf8();
                sqlite3_bind_int64(ins.st, 1, id);
                sqlite3_bind_text(ins.st, 2, name.constData(), -1, SQLITE_TRANSIENT);
                sqlite3_bind_int64(ins.st, 3, id);
                sqlite3_bind_int64(ins.st, 4, parent);
                ins.run();
                levels[lv].push_back(id);
            }
        }
        sqlite3_stmt *t = nullptr;
        sqlite3_prepare_v2(db, "INSERT INTO temp (num) VALUES (?)", -1, &t, nullptr);
        sqlite3_bind_int64(t, 1, id + 1);
        sqlite3_step(t);
        sqlite3_finalize(t);
    }

    // Documents.
    const QStringList words = {"the", "river", "moon", "light", "poem", "ancient", "book", "study", "note",
                               "月",  "山河",  "诗",   "书",    "研读", "春",      "风",   "明月",  "文章"};
    {
        Insert ins(db, "INSERT INTO mainfile (id, name, text) VALUES (?, ?, ?)");
        Insert insRich(db, "INSERT INTO richfile (fileid, richtext) VALUES (?, ?)");
        for (qint64 d = 1; d <= docs; ++d) {
            QString text;
            text.reserve(int(body) + 16);
            while (text.size() < body) {
                if (chinese) {
                    // 3,500 characters, skewed as prose is: a cube of a uniform draw.
                    const double u = double(rng() % 1000000) / 1e6;
                    text += QChar(char16_t(0x4E00 + int(3500 * u * u * u) * 5));
                    const int r = int(rng() % 40);
                    if (r == 0) text += QStringLiteral("，");
                    if (r == 1) text += QStringLiteral("。\r\n");
                    continue;
                }
                text += words[int(rng() % words.size())];
                text += (rng() % 12 == 0) ? QStringLiteral("\r\n") : QStringLiteral(" ");
            }
            text.truncate(int(body));
            const QByteArray name = QStringLiteral("文档 %1 %2").arg(d).arg(words[int(rng() % words.size())]).toUtf8();
            const QByteArray t = text.toUtf8();
            sqlite3_bind_int64(ins.st, 1, d);
            sqlite3_bind_text(ins.st, 2, name.constData(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(ins.st, 3, t.constData(), int(t.size()), SQLITE_TRANSIENT);
            ins.run();
            if (rich) {
                QByteArray rtf = "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil\\fcharset134 "
                                 "\\'cb\\'ce\\'cc\\'e5;}}\\f0\\fs20 ";
                for (QChar c : text) {
                    if (c.unicode() < 128) {
                        if (c == '\n')
                            rtf += "\\par\n";
                        else if (c != '\r')
                            rtf += char(c.unicode());
                    } else {
                        rtf += "\\u" + QByteArray::number(qint16(c.unicode())) + "?";
                    }
                }
                rtf += "}";
                sqlite3_bind_int64(insRich.st, 1, d);
                sqlite3_bind_blob(insRich.st, 2, rtf.constData(), int(rtf.size()), SQLITE_TRANSIENT);
                insRich.run();
            }
        }
    }

    // Links: a random document under a random topic, with its path.
    {
        std::vector<qint64> parentOf(size_t(topics) + 1, 0);
        {
            sqlite3_stmt *s = nullptr;
            sqlite3_prepare_v2(db, "SELECT id, preid FROM zt", -1, &s, nullptr);
            while (sqlite3_step(s) == SQLITE_ROW)
                parentOf[size_t(sqlite3_column_int64(s, 0))] = sqlite3_column_int64(s, 1);
            sqlite3_finalize(s);
        }
        Insert ins(db, "INSERT INTO gl (ztid, fileid, aztid, bztid, cztid, dztid) VALUES (?, ?, ?, ?, ?, ?)");
        for (qint64 l = 0; l < links; ++l) {
            const qint64 topic = qint64(rng() % quint64(topics)) + 1;
            const qint64 doc = qint64(rng() % quint64(std::max<qint64>(docs, 1))) + 1;
            std::vector<qint64> path;
            for (qint64 t = topic; t != 0; t = parentOf[size_t(t)]) path.insert(path.begin(), t);
            sqlite3_bind_int64(ins.st, 1, topic);
            sqlite3_bind_int64(ins.st, 2, doc);
            for (int i = 0; i < 4; ++i) {
                if (i < int(path.size()))
                    sqlite3_bind_int64(ins.st, 3 + i, path[size_t(i)]);
                else
                    sqlite3_bind_null(ins.st, 3 + i);
            }
            ins.run();
        }
    }
    exec(db, "DELETE FROM wenk_body_pending");
    exec(db, "COMMIT");
    exec(db, "PRAGMA wal_checkpoint(TRUNCATE)");
    sqlite3_close(db);
    std::printf("wrote %s: %lld topics, %lld documents of %lld characters, %lld links in %.1f s\n", qPrintable(path),
                topics, docs, body, links, timer.elapsed() / 1000.0);
    std::fflush(stdout);
    if (index) return buildIndex(path);
    return 0;
}
