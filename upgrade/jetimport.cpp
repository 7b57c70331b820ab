#include "upgrade/jetimport.h"

#include "data/database.h"
#include "rtf/codepage.h"
#include "upgrade/jetfile.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>
#include <array>
#include <deque>

namespace {

struct Shape {
    const char *table;
    QStringList columns;
};

// What the import reads; the path columns of links are not read, they are
// derived from the topic tree.
const std::vector<Shape> &shapes()
{
    static const std::vector<Shape> s{
        {"zt", {"id", "name", "itno", "preid"}},
        {"mainfile", {"id", "name", "text", "times", "othersource", "othersourceb"}},
        {"richfile", {"id", "fileid", "richtext"}},
        {"gl", {"id", "ztid", "fileid"}},
    };
    return s;
}

// A stored RTF body: bytes as they are; a memo read as text holds the bytes
// the Windows program wrote, turned into Unicode with the RTF's code page.
QVariant rtfBytes(const QVariant &value)
{
    if (value.isNull() || value.typeId() == QMetaType::QByteArray) return value;
    const QString text = value.toString();
    if (std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; })) return text.toLatin1();
    static const QRegularExpression ansicpg(QStringLiteral("\\\\ansicpg(\\d+)"));
    const QRegularExpressionMatch m = ansicpg.match(text.left(200));
    // Without \\ansicpg the bytes were turned into text with the code page
    // of the Windows the program ran on: Chinese.
    bool ok = false;
    const QByteArray bytes = rtf::encode(m.hasMatch() ? m.captured(1).toInt() : 936, text, &ok);
    if (ok) return bytes;
    // Characters the code page has no bytes for: RTF's own escape, in a
    // group of its own so that the replacement count stays one.
    QByteArray out;
    for (QChar c : text) {
        if (c.unicode() < 0x80)
            out += char(c.unicode());
        else
            out += "{\\uc1\\u" + QByteArray::number(qint16(c.unicode())) + "?}";
    }
    return out;
}

struct Topic {
    qint64 id;
    QString name;
    QVariant itno;
    qint64 preid;
};

class Importer {
public:
    Importer(Database &db, JetFile &jet, const ImportProgress &progress) : db_(db), jet_(jet), progress_(progress) {}

    bool run(ImportSummary &s)
    {
        for (const Shape &shape : shapes()) total_ += jet_.rowCount(shape.table);
        keep_ = libraryIsEmpty();
        const bool whole = topics(s) && documents(s) && bodies(s) && links(s) && counter();
        s.keptIds = keep_ && !idsChanged_;
        s.skipped << jet_.problems();
        return whole;
    }

private:
    Database &db_;
    JetFile &jet_;
    const ImportProgress &progress_;
    bool keep_ = false;
    bool idsChanged_ = false;
    qint64 done_ = 0;
    qint64 total_ = 0;
    QHash<qint64, qint64> topicIds_;  // old id to new id
    QHash<qint64, std::array<qint64, 4>> paths_;  // new topic id to its path, 0 past its level
    QHash<qint64, qint64> documentIds_;
    qint64 highestItno_ = 0;
    qint64 nextItno_ = 0;

    bool tick()
    {
        ++done_;
        return done_ % 64 != 0 || !progress_ || progress_(done_, total_);
    }

    bool libraryIsEmpty()
    {
        Statement st(db_.handle(),
                     "SELECT EXISTS (SELECT 1 FROM mainfile) OR EXISTS (SELECT 1 FROM zt) OR "
                     "EXISTS (SELECT 1 FROM gl) OR EXISTS (SELECT 1 FROM richfile)");
        st.step();
        return st.columnInt(0) == 0;
    }

    // The id the row got: the engine's number unless a kept one was given.
    qint64 insert(const char *table, QStringList columns, QVariantList values, qint64 oldId)
    {
        if (keep_) {
            columns.prepend("id");
            values.prepend(oldId);
        }
        const qint64 rowid = db_.insertRow(table, columns, values);
        Statement st(db_.handle(), QStringLiteral("SELECT id FROM \"%1\" WHERE rowid = ?").arg(table));
        st.bind(1, rowid);
        st.step();
        const qint64 id = st.columnInt(0);
        // A library whose keys the program hands out itself numbers anew.
        if (keep_ && id != oldId) idsChanged_ = true;
        return id;
    }

    bool topics(ImportSummary &s)
    {
        std::vector<Topic> read;
        QSet<qint64> seen;
        const bool whole = jet_.readRows("zt", shapes()[0].columns, [&](const QVariantList &v) {
            const QString name = v[1].toString();
            if (v[0].isNull() || v[0].toLongLong() <= 0)
                s.skipped << QStringLiteral("专题“%1”：没有有效的编号").arg(name);
            else if (seen.contains(v[0].toLongLong()))
                s.skipped << QStringLiteral("专题“%1”（编号 %2）：编号与另一个专题重复").arg(name, QString::number(v[0].toLongLong()));
            else {
                seen.insert(v[0].toLongLong());
                read.push_back({v[0].toLongLong(), name, v[2], v[3].isNull() ? 0 : v[3].toLongLong()});
            }
            return tick();
        });
        if (!whole) return false;

        QHash<qint64, std::vector<int>> children;
        for (int i = 0; i < int(read.size()); ++i) children[read[i].preid].push_back(i);
        // Parents before children, level by level from the roots.
        std::vector<std::pair<int, int>> placed;  // topic, level
        std::deque<std::pair<qint64, int>> queue{{0, 0}};
        std::vector<bool> reached(read.size(), false);
        while (!queue.empty()) {
            auto [parent, level] = queue.front();
            queue.pop_front();
            for (int i : children.value(parent)) {
                if (reached[i]) continue;
                reached[i] = true;
                if (level + 1 > 4) {
                    s.skipped << QStringLiteral("专题“%1”（编号 %2）：在第五层或更深处，程序的专题只有四层")
                                     .arg(read[i].name, QString::number(read[i].id));
                    continue;
                }
                placed.emplace_back(i, level + 1);
                queue.emplace_back(read[i].id, level + 1);
            }
        }
        for (int i = 0; i < int(read.size()); ++i) {
            if (reached[i]) continue;
            const QString reason = seen.contains(read[i].preid)
                                       ? QStringLiteral("上级专题 %1 没有导入（它在第五层或更深处，或者上下级构成了循环）")
                                       : QStringLiteral("上级专题 %1 不存在");
            s.skipped << QStringLiteral("专题“%1”（编号 %2）：").arg(read[i].name, QString::number(read[i].id)) +
                             reason.arg(read[i].preid);
        }

        // Order keys: kept as they are, or handed out from this library's
        // counter in the old order.
        QHash<int, qint64> itno;
        if (!keep_) {
            nextItno_ = currentCounter();
            std::vector<int> byOrder;
            for (auto [i, level] : placed) byOrder.push_back(i);
            std::stable_sort(byOrder.begin(), byOrder.end(), [&](int a, int b) {
                return read[a].itno.toLongLong() < read[b].itno.toLongLong();
            });
            for (int i : byOrder) itno[i] = nextItno_++;
        }
        for (auto [i, level] : placed) {
            const Topic &t = read[i];
            const qint64 parent = level == 1 ? 0 : topicIds_.value(t.preid);
            const QVariant order = keep_ ? t.itno : QVariant(itno.value(i));
            const qint64 id = insert("zt", {"name", "itno", "preid"}, {t.name, order, parent}, t.id);
            topicIds_.insert(t.id, id);
            std::array<qint64, 4> path = level == 1 ? std::array<qint64, 4>{} : paths_.value(parent);
            path[level - 1] = id;
            paths_.insert(id, path);
            highestItno_ = std::max(highestItno_, order.toLongLong());
            ++s.topics;
        }
        return true;
    }

    bool documents(ImportSummary &s)
    {
        return jet_.readRows("mainfile", shapes()[1].columns, [&](const QVariantList &v) {
            const qint64 old = v[0].toLongLong();
            if (v[0].isNull())
                s.skipped << QStringLiteral("文档“%1”：没有编号").arg(v[1].toString());
            else if (documentIds_.contains(old))
                s.skipped << QStringLiteral("文档“%1”（编号 %2）：编号与另一篇文档重复").arg(v[1].toString(), QString::number(old));
            else {
                documentIds_.insert(old, insert("mainfile", {"name", "text", "times", "othersource", "othersourceb"},
                                                v.mid(1), old));
                ++s.documents;
            }
            return tick();
        });
    }

    bool bodies(ImportSummary &s)
    {
        QSet<qint64> seen;
        return jet_.readRows("richfile", shapes()[2].columns, [&](const QVariantList &v) {
            const qint64 old = v[0].toLongLong();
            if (v[1].isNull() || !documentIds_.contains(v[1].toLongLong()))
                s.skipped << QStringLiteral("正文（编号 %1）：所属的文档 %2 不存在").arg(QString::number(old), v[1].toString());
            else if (v[0].isNull() || seen.contains(old))
                s.skipped << QStringLiteral("正文（编号 %1）：编号缺失或重复").arg(v[0].toString());
            else {
                seen.insert(old);
                insert("richfile", {"fileid", "richtext"}, {documentIds_.value(v[1].toLongLong()), rtfBytes(v[2])},
                       old);
                ++s.bodies;
            }
            return tick();
        });
    }

    bool links(ImportSummary &s)
    {
        QSet<qint64> seen;
        return jet_.readRows("gl", shapes()[3].columns, [&](const QVariantList &v) {
            const qint64 old = v[0].toLongLong();
            const qint64 topic = topicIds_.value(v[1].toLongLong());
            if (v[1].isNull() || !topic)
                s.skipped << QStringLiteral("链接（编号 %1）：专题 %2 不存在或未导入").arg(QString::number(old), v[1].toString());
            else if (v[2].isNull() || !documentIds_.contains(v[2].toLongLong()))
                s.skipped << QStringLiteral("链接（编号 %1）：文档 %2 不存在").arg(QString::number(old), v[2].toString());
            else if (v[0].isNull() || seen.contains(old))
                s.skipped << QStringLiteral("链接（编号 %1）：编号缺失或重复").arg(v[0].toString());
            else {
                seen.insert(old);
                // The path columns follow the topic's place in the tree;
                // those below its level stay empty.
                const std::array<qint64, 4> path = paths_.value(topic);
                QVariantList values{topic, documentIds_.value(v[2].toLongLong())};
                for (qint64 p : path) values << (p ? QVariant(p) : QVariant());
                insert("gl", {"ztid", "fileid", "aztid", "bztid", "cztid", "dztid"}, values, old);
                ++s.links;
            }
            return tick();
        });
    }

    qint64 currentCounter()
    {
        Statement st(db_.handle(), "SELECT num FROM temp LIMIT 1");
        qint64 num = st.step() && !st.isNull(0) ? st.columnInt(0) : 0;
        Statement top(db_.handle(), "SELECT max(itno) FROM zt");
        top.step();
        return std::max(num, top.isNull(0) ? 1 : top.columnInt(0) + 1);
    }

    // The counter goes on past every order key handed out, from the old
    // library's when the ids were kept.
    bool counter()
    {
        qint64 num = keep_ ? highestItno_ + 1 : nextItno_;
        if (keep_ && jet_.hasTable("temp")) {
            jet_.readRows("temp", {"num"}, [&](const QVariantList &v) {
                if (!v[0].isNull()) num = std::max(num, v[0].toLongLong());
                return false;
            });
        }
        if (!keep_ && num == 0) return true;  // nothing imported
        Statement st(db_.handle(), "SELECT rowid FROM temp LIMIT 1");
        if (st.step())
            db_.updateRow("temp", st.columnInt(0), {"num"}, {num});
        else
            db_.insertRow("temp", {"num"}, {num});
        return true;
    }
};

}  // namespace

void checkJetLibrary(JetFile &jet)
{
    QStringList missing;
    for (const Shape &shape : shapes()) {
        if (!jet.hasTable(shape.table)) {
            missing << QStringLiteral("数据表 %1").arg(shape.table);
            continue;
        }
        const QStringList present = jet.columnNames(shape.table);
        for (const QString &c : shape.columns)
            if (!present.contains(c, Qt::CaseInsensitive)) missing << QStringLiteral("%1.%2").arg(shape.table, c);
    }
    if (!missing.isEmpty())
        throw JetError{QStringLiteral("这不是本程序 Windows 版的资料库：缺少 %1").arg(missing.join(QStringLiteral("、")))};
}

std::optional<ImportSummary> importJetLibrary(Database &db, JetFile &jet, const ImportProgress &progress)
{
    checkJetLibrary(jet);
    ImportSummary summary;
    db.begin();
    try {
        // Indexing the bodies as they come would take most of the time; the
        // index build that follows does it with its own progress, and the
        // body search reads the texts until it is done.
        db.leaveNewBodiesToIndexBuild();
        if (!Importer(db, jet, progress).run(summary)) {
            db.rollback();
            return std::nullopt;
        }
        db.commit();
    } catch (...) {
        db.rollback();
        throw;
    }
    return summary;
}

QString summaryText(const ImportSummary &s)
{
    QString text = QStringLiteral("导入完成：专题 %1 个，文档 %2 篇，正文 %3 篇，链接 %4 条。")
                       .arg(s.topics)
                       .arg(s.documents)
                       .arg(s.bodies)
                       .arg(s.links);
    text += s.keptIds ? QStringLiteral("\n各项保留原来的编号。")
                      : QStringLiteral("\n导入的各项都用了新的编号，资料库原有的内容没有改动。");
    if (!s.skipped.isEmpty()) {
        constexpr int kShown = 20;
        text += QStringLiteral("\n\n以下 %1 项没有导入：\n").arg(s.skipped.size());
        text += s.skipped.mid(0, kShown).join('\n');
        if (s.skipped.size() > kShown) text += QStringLiteral("\n……另有 %1 项").arg(s.skipped.size() - kShown);
    }
    return text;
}
