#include "collect/collecting.h"

#include "data/Unit1.h"
#include "data/transaction.h"
#include "documents/linking.h"
#include "rtf/rtfcodec.h"
#include "topics/Unitselectnode.h"
#include "ui/messagebox.h"

#include <QTextDocument>
#include <algorithm>

namespace {

bool isBlankOrControl(QChar c)
{
    return c.isSpace() || c.category() == QChar::Other_Control;
}

}  // namespace

QString trimmedTitle(const QString &title)
{
    qsizetype from = 0, to = title.size();
    while (from < to && isBlankOrControl(title[from])) ++from;
    while (to > from && isBlankOrControl(title[to - 1])) --to;
    return title.mid(from, to - from);
}

bool collectDocument(const QString &title, const QTextDocument &text, QWidget *owner)
{
    if (trimmedTitle(title).isEmpty()) {
        MessageBoxes::notice(owner, MessageBoxes::programTitle(), QStringLiteral("标题未填写，请填写后再操作。"));
        return false;
    }
    const std::optional<PickedTopic> topic = pickTopic();
    if (!topic) return false;

    TMastData &d = *MastData;
    TADOTable *documents = d.ADOTmain;
    TADOTable *bodies = d.ADOTfile;
    // The document, its body and its link go in together or not at all.
    Transaction t(d.database(), {bodies, documents, d.linkLevel(std::clamp(topic->level, 1, 4))});
    documents->insert();
    documents->setFieldValue("text", rtf::storedText(text));
    documents->setFieldValue("name", title);
    documents->post();
    const qint64 id = documents->fieldInt("id");
    // The body row takes the new document's id from its master.
    bodies->append();
    bodies->setFieldValue("richtext", rtf::write(text));
    bodies->post();
    documents->locate("id", id);
    if (topic->level >= 1 && topic->level <= 4) appendLink(d, *topic, id);
    t.commit();
    return true;
}

void finishCollecting()
{
    MastData->ADOTgl2->close();
    MastData->ADOTgl2->open();
}
