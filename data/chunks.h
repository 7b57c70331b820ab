#pragma once
// Column storage for row copies: rows kept in chunks of a fixed size that
// copies share until one of them writes to a chunk. Copying a million rows
// then costs a few hundred pointers, and a write costs one chunk.
#include <QStringView>
#include <cstdint>
#include <memory>
#include <vector>

namespace chunks {

constexpr int Shift = 12;
constexpr int Size = 1 << Shift;  // rows per chunk
constexpr int Mask = Size - 1;

inline size_t chunkOf(int row)
{
    return size_t(row) >> Shift;
}
inline int slotOf(int row)
{
    return row & Mask;
}

// A list of chunks shared between copies; mut() unshares one before a write.
template <class Chunk>
class List {
public:
    const Chunk &at(int row) const { return *list_[chunkOf(row)]; }
    Chunk &mut(int row)
    {
        std::shared_ptr<Chunk> &p = list_[chunkOf(row)];
        if (p.use_count() > 1) p = std::make_shared<Chunk>(*p);
        return *p;
    }
    // The chunk that the next row goes to.
    Chunk &tail()
    {
        // A chunk grows as rows come: the rows of one key are often a handful.
        if (list_.empty() || list_.back()->size() == Size) {
            list_.push_back(std::make_shared<Chunk>());
        } else if (list_.back().use_count() > 1) {
            list_.back() = std::make_shared<Chunk>(*list_.back());
        }
        return *list_.back();
    }

private:
    std::vector<std::shared_ptr<Chunk>> list_;
};

// Row ids and the removed mark.
struct Meta {
    std::vector<qint64> rowids;
    std::vector<uint8_t> dead;
    int size() const { return int(rowids.size()); }
};

// An integer column; an empty value reads as 0 with its null mark set.
struct Ints {
    std::vector<qint64> values;
    std::vector<uint8_t> nulls;
    int size() const { return int(values.size()); }
};

// A text column as one run of UTF-16 per chunk: no allocation per value.
struct Texts {
    std::vector<char16_t> chars;
    std::vector<uint32_t> ends;  // where each value's text ends in chars
    std::vector<uint8_t> nulls;
    int size() const { return int(ends.size()); }
    uint32_t begin(int slot) const { return slot == 0 ? 0 : ends[size_t(slot) - 1]; }
    QStringView at(int slot) const
    {
        const uint32_t b = begin(slot);
        return QStringView(chars.data() + b, qsizetype(ends[size_t(slot)] - b));
    }
    void push(const char16_t *text, size_t length, bool null)
    {
        chars.insert(chars.end(), text, text + length);
        ends.push_back(uint32_t(chars.size()));
        nulls.push_back(null ? 1 : 0);
    }
    void set(int slot, QStringView text, bool null)
    {
        const uint32_t b = begin(slot), e = ends[size_t(slot)];
        const auto *t = reinterpret_cast<const char16_t *>(text.utf16());
        chars.erase(chars.begin() + b, chars.begin() + e);
        chars.insert(chars.begin() + b, t, t + text.size());
        const int64_t delta = int64_t(text.size()) - int64_t(e - b);
        for (size_t i = size_t(slot); i < ends.size(); ++i) ends[i] = uint32_t(int64_t(ends[i]) + delta);
        nulls[size_t(slot)] = null ? 1 : 0;
    }
};

}  // namespace chunks
