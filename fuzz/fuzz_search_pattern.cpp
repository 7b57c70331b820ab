// Feeds a keyword and a body (split at the first zero byte) to the body
// search. Besides crashes and sanitizer reports it stops when the index
// answers differently from reading the body: a body of one row must be
// found exactly when its text is LIKE the pattern, as the scan decides.
#include "data/bodyindex.h"
#include "data/unicodelike.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <sqlite3.h>

namespace {

sqlite3 *library()
{
    static sqlite3 *db = [] {
        sqlite3 *d = nullptr;
        sqlite3_open(":memory:", &d);
        BodyIndex::prepareConnection(d);
        installUnicodeLike(d);
        sqlite3_exec(d, "CREATE TABLE mainfile (id INTEGER PRIMARY KEY, text TEXT)", nullptr, nullptr, nullptr);
        for (const QString &sql : BodyIndex::createStatements())
            sqlite3_exec(d, sql.toUtf8().constData(), nullptr, nullptr, nullptr);
        return d;
    }();
    return db;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const char *bytes = reinterpret_cast<const char *>(data);
    const void *zero = std::memchr(bytes, 0, size);
    const std::size_t split = zero ? static_cast<const char *>(zero) - bytes : size;
    // Both as the program holds them: valid UTF-16 turned into UTF-8.
    const QString pattern = QString::fromUtf8(bytes, static_cast<qsizetype>(split));
    const QString text = zero ? QString::fromUtf8(bytes + split + 1, static_cast<qsizetype>(size - split - 1)) : QString();
    const QByteArray p = pattern.toUtf8();
    const QByteArray t = text.toUtf8();

    sqlite3 *db = library();
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO mainfile (id, text) VALUES (1, ?)", -1, &st, nullptr);
    sqlite3_bind_text(st, 1, t.constData(), int(t.size()), SQLITE_STATIC);
    sqlite3_step(st);
    sqlite3_finalize(st);
    bool matches = false;
    sqlite3_prepare_v2(db, "SELECT text LIKE ? FROM mainfile WHERE id = 1", -1, &st, nullptr);
    sqlite3_bind_text(st, 1, p.constData(), int(p.size()), SQLITE_STATIC);
    if (sqlite3_step(st) == SQLITE_ROW) matches = sqlite3_column_int(st, 0) == 1;
    sqlite3_finalize(st);
    BodyIndex index(db);
    index.catchUp();
    const std::optional<std::vector<qint64>> found = index.rowsLike(pattern);
    if (found && (found->size() == 1) != matches) std::abort();
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    return 0;
}
