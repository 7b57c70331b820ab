#pragma once
#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>

// Writes a library file with plain SQL from a short description, in a fresh
// temporary folder that becomes the working folder until the fixture ends.
//
//   LibraryFixture lib;
//   lib.topics(R"(
//     唐诗
//       李白
//         五言 {itno=9}
//     孤儿 {preid=999}
//   )");
//   qint64 doc = lib.document("静夜思", "床前明月光");
//   lib.link(doc, "李白");
//   lib.write();
//
// Topics: one per line, two spaces of indent per level; ids 1, 2, ... and
// itno equal to the id unless given; "{id=, itno=, preid=}" override.
class LibraryFixture {
public:
    LibraryFixture();
    ~LibraryFixture();

    QString folder() const { return dir_.path(); }
    QString path() const;  // of wenk.dat

    void topics(const QString &outline);
    qint64 topicId(const QString &name) const;
    qint64 document(const QString &name, const QString &text = QString(), const QByteArray &rtf = QByteArray(),
                    qint64 id = 0);
    // Files the document under the topic, with the path columns filled.
    qint64 link(qint64 documentId, const QString &topicName);
    void sql(const QString &statement);  // run after the tables are made
    void setCounter(qint64 num);         // one row in temp
    // Tables made with AUTOINCREMENT keys, as the program makes them.
    void useAutoincrement(bool on) { autoincrement_ = on; }

    void write();

    // Plain SQL against the written file, for checking what a command stored.
    QList<QVariantList> query(const QString &select) const;
    QVariant scalar(const QString &select) const;

private:
    struct Topic {
        qint64 id, itno, preid;
        QString name;
    };
    struct Doc {
        qint64 id;
        QString name, text;
        QByteArray rtf;
    };
    struct Link {
        qint64 doc, topic;
    };
    QTemporaryDir dir_;
    QString previous_;
    QList<Topic> topics_;
    QList<Doc> docs_;
    QList<Link> links_;
    QStringList extra_;
    qint64 counter_ = -1;
    bool autoincrement_ = false;
    qint64 nextDoc_ = 1;
};

// Plain SQL on any file, as another program would run it; failures are
// printed, not thrown.
void runSqlOn(const QString &path, const QString &sql);
// A file's bytes summed up, for "left as it was"; "unreadable" when it
// cannot be read.
QByteArray fileHash(const QString &path);
