#include "topics/topicnode.h"

#include "topics/topictree.h"

#include <QPainter>
#include <QPixmap>

namespace {

// The two pictures of the node image list: a closed and an open folder.
QIcon nodeIcon()
{
    auto draw = [](QColor body, bool open) {
        QPixmap pm(16, 16);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QColor(120, 90, 20));
        p.setBrush(body);
        p.drawRect(1, 4, 13, 10);
        p.drawRect(1, 2, 6, 3);
        if (open) {
            p.setBrush(body.lighter(125));
            p.drawPolygon(QPolygon({QPoint(3, 7), QPoint(15, 7), QPoint(13, 14), QPoint(1, 14)}));
        }
        return pm;
    };
    QIcon icon;
    icon.addPixmap(draw(QColor(240, 200, 90), false), QIcon::Normal);
    icon.addPixmap(draw(QColor(250, 215, 110), true), QIcon::Selected);
    return icon;
}

}  // namespace

TTopicNode::TTopicNode(const QString &label, const QString &name, qint64 id, bool withPictures)
    : QTreeWidgetItem(QStringList{label}, UserType), name_(name), id_(id), pictures_(withPictures)
{
    setFlags(flags() | Qt::ItemIsEditable);
}

QVariant TTopicNode::data(int column, int role) const
{
    if (column == 0) {
        switch (role) {
        case TTopicTree::TopicIdRole: return id_;
        case TTopicTree::NameRole: return name_;
        case TTopicTree::ImageIndexRole: return pictures_ ? QVariant(0) : QVariant();
        case TTopicTree::SelectedIndexRole: return pictures_ ? QVariant(1) : QVariant();
        case Qt::DecorationRole:
            if (pictures_) {
                static const QIcon icon = nodeIcon();
                return icon;
            }
            break;
        default: break;
        }
    }
    return QTreeWidgetItem::data(column, role);
}

void TTopicNode::setData(int column, int role, const QVariant &value)
{
    if (column == 0 && (role == TTopicTree::TopicIdRole || role == TTopicTree::NameRole)) {
        if (role == TTopicTree::TopicIdRole)
            id_ = value.toLongLong();
        else
            name_ = value.toString();
        emitDataChanged();
        return;
    }
    QTreeWidgetItem::setData(column, role, value);
}
