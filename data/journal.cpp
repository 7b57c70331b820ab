#include "data/journal.h"

#include <algorithm>
#include <set>

void Journal::record(const QString &table, qint64 rowid, const void *writer, RowImage before)
{
    log_[table].push_back(Change{++moment_, rowid, writer, std::move(before)});
}

bool Journal::changedSince(const QString &table, quint64 moment) const
{
    if (unknownSince_ > moment) return true;
    auto it = log_.constFind(table);
    return it != log_.constEnd() && !it->empty() && it->back().moment > moment;
}

std::vector<const Change *> Journal::changesAfter(const QString &table, quint64 moment) const
{
    std::vector<const Change *> out;
    auto it = log_.constFind(table);
    if (it == log_.constEnd()) return out;
    auto first = std::partition_point(it->begin(), it->end(), [moment](const Change &c) { return c.moment <= moment; });
    for (auto c = first; c != it->end(); ++c) out.push_back(&*c);
    return out;
}

std::map<qint64, std::vector<const Change *>> Journal::changesByRow(const QString &table, quint64 moment) const
{
    std::map<qint64, std::vector<const Change *>> out;
    for (const Change *c : changesAfter(table, moment)) out[c->rowid].push_back(c);
    return out;
}

std::vector<std::pair<QString, qint64>> Journal::rowsChangedAfter(quint64 moment) const
{
    std::vector<std::pair<QString, qint64>> out;
    for (auto it = log_.constBegin(); it != log_.constEnd(); ++it) {
        std::set<qint64> rows;
        for (const Change *c : changesAfter(it.key(), moment)) rows.insert(c->rowid);
        for (qint64 r : rows) out.emplace_back(it.key(), r);
    }
    return out;
}

void Journal::release(const QString &table, quint64 moment)
{
    auto it = held_.find(table);
    if (it == held_.end()) return;
    auto m = it->find(moment);
    if (m != it->end()) it->erase(m);
}

quint64 Journal::oldestHeld(const QString &table) const
{
    auto it = held_.constFind(table);
    return it == held_.constEnd() || it->empty() ? moment_ : *it->begin();
}

void Journal::forgetBefore(const QString &table, quint64 moment)
{
    auto it = log_.find(table);
    if (it == log_.end()) return;
    while (!it->empty() && it->front().moment <= moment) it->pop_front();
}

size_t Journal::size(const QString &table) const
{
    auto it = log_.constFind(table);
    return it == log_.constEnd() ? 0 : it->size();
}
