// The library file through crashes and a second program: a writer killed at
// random moments while it saves large documents, and two writers at once.
#include "data/database.h"
#include "tests/reliability/versions.h"
#include "tests/support/fixture.h"
#include "tests/support/testmain.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <random>
#include <sqlite3.h>

namespace {

constexpr int kDocs = 4;
constexpr int kChars = 200000;

// Reads what a worker has said so far: "saved DOC VERSION" lines.
void readSaves(QProcess &p, QHash<qint64, qint64> &committed, qint64 &saves)
{
    while (p.canReadLine()) {
        const QString line = QString::fromUtf8(p.readLine()).trimmed();
        const QStringList parts = line.split(' ');
        if (parts.size() == 3 && parts[0] == "saved") {
            committed[parts[1].toLongLong()] = parts[2].toLongLong();
            ++saves;
        }
    }
}

QList<QVariantList> rawRows(const QString &path, const char *sql)
{
    QList<QVariantList> out;
    sqlite3 *db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
    while (st && sqlite3_step(st) == SQLITE_ROW) {
        QVariantList row;
        for (int i = 0; i < sqlite3_column_count(st); ++i) {
            if (sqlite3_column_type(st, i) == SQLITE_BLOB)
                row << QByteArray(static_cast<const char *>(sqlite3_column_blob(st, i)), sqlite3_column_bytes(st, i));
            else if (sqlite3_column_type(st, i) == SQLITE_NULL)
                row << QVariant();
            else
                row << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, i)));
        }
        out << row;
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return out;
}

}  // namespace

class TestCrash : public QObject {
    Q_OBJECT
private slots:
    void killedWhileSavingLosesNothing();
    void twoProgramsWritingAtOnce();
};

// Every document holds one whole version, its plain text, body and index
// entry together, and never one older than the last save the writer
// reported done. WENK_CRASH_ROUNDS sets the number of kills (10 by default).
void TestCrash::killedWhileSavingLosesNothing()
{
    const int rounds = qEnvironmentVariableIsSet("WENK_CRASH_ROUNDS") ? qEnvironmentVariableIntValue("WENK_CRASH_ROUNDS")
                                                                       : 10;
    LibraryFixture lib;
    for (qint64 d = 1; d <= kDocs; ++d)
        lib.document(QStringLiteral("文%1").arg(d), versionText(d, 0, kChars), versionRtf(d, 0, kChars), d);
    lib.write();

    std::mt19937 rng(20261211);
    QHash<qint64, qint64> committed;
    qint64 saves = 0;
    qint64 from = 1;
    for (int round = 0; round < rounds; ++round) {
        QProcess worker;
        worker.start(WENK_LIBRARYWORKER, {lib.folder(), "save", QString::number(kDocs), QString::number(kChars),
                                          QString::number(from)});
        QVERIFY(worker.waitForStarted());
        QElapsedTimer alive;
        alive.start();
        const int lifetime = 150 + int(rng() % 1500);
        while (alive.elapsed() < lifetime) {
            worker.waitForReadyRead(5);
            readSaves(worker, committed, saves);
        }
        worker.kill();  // SIGKILL
        QVERIFY(worker.waitForFinished());
        readSaves(worker, committed, saves);
        const QByteArray err = worker.readAllStandardError();
        QVERIFY2(!worker.readAllStandardOutput().contains("error"), err.constData());

        QCOMPARE(rawRows(lib.path(), "PRAGMA integrity_check"), (QList<QVariantList>{{QStringLiteral("ok")}}));
        const QList<QVariantList> rows =
            rawRows(lib.path(), "SELECT m.id, m.text, r.richtext FROM mainfile m JOIN richfile r ON r.fileid = m.id "
                                "ORDER BY m.id");
        QCOMPARE(rows.size(), kDocs);
        Database db;
        db.openLibrary(lib.path());
        while (db.buildBodyIndexStep(100) == 100) {}  // a library written without the index
        for (const QVariantList &row : rows) {
            const qint64 d = row[0].toLongLong();
            const qint64 v = versionOf(row[1].toString());
            QVERIFY2(v >= committed.value(d, 0), qPrintable(QStringLiteral("document %1 holds version %2, %3 was saved")
                                                                .arg(d)
                                                                .arg(v)
                                                                .arg(committed.value(d))));
            QVERIFY(row[1].toString() == versionText(d, v, kChars));
            QVERIFY(row[2].toByteArray() == versionRtf(d, v, kChars));
            // The index names the version the row holds, and no other.
            QCOMPARE(db.rowsLike("mainfile", "text", QStringLiteral("%doc %1 version %2;%").arg(d).arg(v)),
                     (std::optional<std::vector<qint64>>{{d}}));
            for (qint64 other : {v - 1, v + 1})
                QCOMPARE(db.rowsLike("mainfile", "text", QStringLiteral("%doc %1 version %2;%").arg(d).arg(other)),
                         (std::optional<std::vector<qint64>>{std::vector<qint64>{}}));
            from = std::max(from, v + 1);
        }
        db.close();
        // The next writer goes on past anything this one may have begun.
        from += 2;
    }
    qInfo("%d kills, %lld saves reported", rounds, saves);
    QVERIFY(saves > rounds);
}

// Two programs add topics and documents to one library at the same time:
// every row of both is there once, and the topic order keys stay unique.
void TestCrash::twoProgramsWritingAtOnce()
{
    LibraryFixture lib;
    lib.setCounter(1);
    lib.write();
    constexpr int kEach = 150;
    QProcess a, b;
    a.start(WENK_LIBRARYWORKER, {lib.folder(), "add", "甲", QString::number(kEach)});
    b.start(WENK_LIBRARYWORKER, {lib.folder(), "add", "乙", QString::number(kEach)});
    QVERIFY(a.waitForStarted() && b.waitForStarted());
    QVERIFY(a.waitForReadyRead(100) == false && b.state() == QProcess::Running);  // both wait for the word
    QFile go(QDir(lib.folder()).filePath("go"));
    QVERIFY(go.open(QIODevice::WriteOnly));
    go.close();
    QVERIFY(a.waitForFinished(120000));
    QVERIFY(b.waitForFinished(120000));
    const QByteArray outA = a.readAllStandardOutput(), outB = b.readAllStandardOutput();
    QVERIFY2(a.exitCode() == 0 && !outA.contains("error"), outA.right(300).constData());
    QVERIFY2(b.exitCode() == 0 && !outB.contains("error"), outB.right(300).constData());

    QCOMPARE(rawRows(lib.path(), "PRAGMA integrity_check"), (QList<QVariantList>{{QStringLiteral("ok")}}));
    QSet<QString> expected;
    for (const char *prefix : {"甲", "乙"})
        for (int i = 0; i < kEach; ++i) expected << QStringLiteral("%1-%2").arg(QString::fromUtf8(prefix)).arg(i);
    QSet<QString> topics, documents;
    for (const QVariantList &r : rawRows(lib.path(), "SELECT name FROM zt")) topics << r[0].toString();
    for (const QVariantList &r : rawRows(lib.path(), "SELECT name, text FROM mainfile")) {
        documents << r[0].toString();
        QCOMPARE(r[1].toString(), QStringLiteral("正文 ") + r[0].toString());
    }
    QCOMPARE(topics, expected);
    QCOMPARE(documents, expected);
    QCOMPARE(rawRows(lib.path(), "SELECT count(*), count(DISTINCT itno) FROM zt"),
             (QList<QVariantList>{{QString::number(2 * kEach), QString::number(2 * kEach)}}));
    QCOMPARE(rawRows(lib.path(), "SELECT (SELECT num FROM temp) - (SELECT max(itno) FROM zt)"),
             (QList<QVariantList>{{QStringLiteral("1")}}));
}

WENK_TEST_MAIN(TestCrash)
#include "tst_crash.moc"
