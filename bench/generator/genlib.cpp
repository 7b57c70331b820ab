// Writes a library of a given size for the benchmarks:
//   wenk_genlib FOLDER [--topics N] [--docs N] [--body CHARS] [--links N] [--rich]
// Topics spread over four levels, documents with bodies of the given length
// (mostly ASCII words with Chinese among them), links to random topics.
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
    exec(db, "COMMIT");
    exec(db, "PRAGMA wal_checkpoint(TRUNCATE)");
    sqlite3_close(db);
    std::printf("wrote %s: %lld topics, %lld documents of %lld characters, %lld links in %.1f s\n", qPrintable(path),
                topics, docs, body, links, timer.elapsed() / 1000.0);
    return 0;
}
