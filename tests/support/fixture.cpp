#include "tests/support/fixture.h"

#include <QCryptographicHash>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <sqlite3.h>
#include <stdexcept>

namespace {

void check(int rc, sqlite3 *db, const QString &what)
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW)
        throw std::runtime_error((what + ": " + QString::fromUtf8(sqlite3_errmsg(db))).toStdString());
}

}  // namespace

LibraryFixture::LibraryFixture()
{
    previous_ = QDir::currentPath();
    QDir::setCurrent(dir_.path());
}

LibraryFixture::~LibraryFixture()
{
    QDir::setCurrent(previous_);
}

QString LibraryFixture::path() const
{
    return QDir(dir_.path()).absoluteFilePath("wenk.dat");
}

void LibraryFixture::topics(const QString &outline)
{
    QList<qint64> parents;  // id of the last topic at each depth
    int baseIndent = -1;
    static const QRegularExpression attrs(R"(\{([^}]*)\}\s*$)");
    for (QString line : outline.split('\n')) {
        if (line.trimmed().isEmpty()) continue;
        int indent = 0;
        while (indent < line.size() && line[indent] == ' ') ++indent;
        if (baseIndent < 0) baseIndent = indent;
        const int depth = (indent - baseIndent) / 2;
        line = line.trimmed();
        Topic t;
        t.id = topics_.isEmpty() ? 1 : topics_.last().id + 1;
        for (const Topic &o : topics_) t.id = std::max(t.id, o.id + 1);
        QString options;
        const QRegularExpressionMatch m = attrs.match(line);
        if (m.hasMatch()) {
            options = m.captured(1);
            line = line.left(m.capturedStart()).trimmed();
        }
        t.name = line;
        t.itno = -1;
        t.preid = depth == 0 ? 0 : parents.value(depth - 1);
        for (const QString &kv : options.split(',', Qt::SkipEmptyParts)) {
            const QString k = kv.section('=', 0, 0).trimmed(), v = kv.section('=', 1).trimmed();
            if (k == "id") t.id = v.toLongLong();
            if (k == "itno") t.itno = v.toLongLong();
            if (k == "preid") t.preid = v.toLongLong();
        }
        if (t.itno < 0) t.itno = t.id;
        while (parents.size() <= depth) parents << 0;
        parents[depth] = t.id;
        parents = parents.mid(0, depth + 1);
        topics_ << t;
    }
}

qint64 LibraryFixture::topicId(const QString &name) const
{
    for (const Topic &t : topics_)
        if (t.name == name) return t.id;
    throw std::runtime_error(("no topic " + name).toStdString());
}

qint64 LibraryFixture::document(const QString &name, const QString &text, const QByteArray &rtf, qint64 id)
{
    if (id == 0) id = nextDoc_;
    nextDoc_ = std::max(nextDoc_, id + 1);
    docs_ << Doc{id, name, text, rtf};
    return id;
}

qint64 LibraryFixture::link(qint64 documentId, const QString &topicName)
{
    links_ << Link{documentId, topicId(topicName)};
    return links_.size();
}

void LibraryFixture::sql(const QString &statement)
{
    extra_ << statement;
}

void LibraryFixture::setCounter(qint64 num)
{
    counter_ = num;
}

void LibraryFixture::write()
{
    sqlite3 *db = nullptr;
    check(sqlite3_open(path().toUtf8().constData(), &db), db, "open");
    const QString key = autoincrement_ ? "INTEGER PRIMARY KEY AUTOINCREMENT" : "INTEGER PRIMARY KEY";
    QStringList script = {
        QString("CREATE TABLE mainfile (id %1, name TEXT, text TEXT, times INTEGER, othersource TEXT, "
                "othersourceb TEXT)").arg(key),
        QString("CREATE TABLE richfile (id %1, fileid INTEGER, richtext BLOB)").arg(key),
        QString("CREATE TABLE zt (id %1, name TEXT, itno INTEGER, preid INTEGER)").arg(key),
        QString("CREATE TABLE gl (id %1, ztid INTEGER, fileid INTEGER, aztid INTEGER, bztid INTEGER, "
                "cztid INTEGER, dztid INTEGER)").arg(key),
        "CREATE TABLE temp (num INTEGER)",
        QString("CREATE TABLE upmain (id %1, name TEXT, text TEXT)").arg(key),
    };
    check(sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr), db, "begin");
    for (const QString &s : script) check(sqlite3_exec(db, s.toUtf8().constData(), nullptr, nullptr, nullptr), db, s);

    auto run = [db](const char *sql, const QVariantList &values) {
        sqlite3_stmt *st = nullptr;
        check(sqlite3_prepare_v2(db, sql, -1, &st, nullptr), db, sql);
        for (int i = 0; i < values.size(); ++i) {
            const QVariant &v = values[i];
            if (v.isNull())
                sqlite3_bind_null(st, i + 1);
            else if (v.typeId() == QMetaType::QByteArray)
                sqlite3_bind_blob(st, i + 1, v.toByteArray().constData(), int(v.toByteArray().size()), SQLITE_TRANSIENT);
            else if (v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::Int)
                sqlite3_bind_int64(st, i + 1, v.toLongLong());
            else  // with its length: a text may hold zero characters
                sqlite3_bind_text(st, i + 1, v.toString().toUtf8().constData(), int(v.toString().toUtf8().size()),
                                  SQLITE_TRANSIENT);
        }
        const int rc = sqlite3_step(st);
        sqlite3_finalize(st);
        check(rc, db, sql);
    };
    for (const Topic &t : topics_)
        run("INSERT INTO zt (id, name, itno, preid) VALUES (?, ?, ?, ?)", {t.id, t.name, t.itno, t.preid});
    for (const Doc &d : docs_) {
        run("INSERT INTO mainfile (id, name, text) VALUES (?, ?, ?)",
            {d.id, d.name, d.text.isNull() ? QVariant() : QVariant(d.text)});
        if (!d.rtf.isNull()) run("INSERT INTO richfile (fileid, richtext) VALUES (?, ?)", {d.id, d.rtf});
    }
    for (const Link &l : links_) {
        // The path from the root down to the topic fills aztid.. in order.
        QList<qint64> path;
        for (qint64 id = l.topic; id != 0;) {
            path.prepend(id);
            qint64 parent = 0;
            for (const Topic &t : topics_)
                if (t.id == id) parent = t.preid;
            id = parent;
        }
        QVariantList cols = {l.topic, l.doc};
        for (int i = 0; i < 4; ++i) cols << (i < path.size() ? QVariant(path[i]) : QVariant());
        run("INSERT INTO gl (ztid, fileid, aztid, bztid, cztid, dztid) VALUES (?, ?, ?, ?, ?, ?)", cols);
    }
    if (counter_ >= 0) run("INSERT INTO temp (num) VALUES (?)", {counter_});
    for (const QString &s : extra_) check(sqlite3_exec(db, s.toUtf8().constData(), nullptr, nullptr, nullptr), db, s);
    check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db, "commit");
    sqlite3_close(db);
}

QList<QVariantList> LibraryFixture::query(const QString &select) const
{
    sqlite3 *db = nullptr;
    check(sqlite3_open_v2(path().toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr), db, "open");
    sqlite3_stmt *st = nullptr;
    check(sqlite3_prepare_v2(db, select.toUtf8().constData(), -1, &st, nullptr), db, select);
    QList<QVariantList> rows;
    while (sqlite3_step(st) == SQLITE_ROW) {
        QVariantList row;
        for (int i = 0; i < sqlite3_column_count(st); ++i) {
            switch (sqlite3_column_type(st, i)) {
            case SQLITE_NULL: row << QVariant(); break;
            case SQLITE_INTEGER: row << QVariant(qint64(sqlite3_column_int64(st, i))); break;
            case SQLITE_BLOB:
                row << QVariant(QByteArray(static_cast<const char *>(sqlite3_column_blob(st, i)),
                                           sqlite3_column_bytes(st, i)));
                break;
            default: row << QVariant(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, i))));
            }
        }
        rows << row;
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return rows;
}

QVariant LibraryFixture::scalar(const QString &select) const
{
    const QList<QVariantList> rows = query(select);
    return rows.isEmpty() || rows.first().isEmpty() ? QVariant() : rows.first().first();
}

void runSqlOn(const QString &path, const QString &sql)
{
    sqlite3 *db = nullptr;
    sqlite3_open(path.toUtf8().constData(), &db);
    char *err = nullptr;
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &err) != SQLITE_OK) qWarning() << err;
    sqlite3_free(err);
    sqlite3_close(db);
}

QByteArray fileHash(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return "unreadable";
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}
