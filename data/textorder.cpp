#include "data/textorder.h"

#include "data/casefold.h"

#include <QChar>

namespace textorder {

namespace {

// The code points of a text, case folded; a lone surrogate reads as U+FFFD.
class Folded {
public:
    explicit Folded(QStringView text) : text_(text) {}
    bool hasNext() const { return at_ < text_.size(); }
    char32_t next()
    {
        const char16_t u = text_[at_++].unicode();
        char32_t c = u;
        if (QChar::isHighSurrogate(u) && at_ < text_.size() && QChar::isLowSurrogate(text_[at_].unicode()))
            c = QChar::surrogateToUcs4(u, text_[at_++].unicode());
        else if (QChar::isSurrogate(u))
            c = 0xFFFD;
        return foldCase(c);
    }

private:
    QStringView text_;
    qsizetype at_ = 0;
};

}  // namespace

int compare(QStringView a, QStringView b)
{
    Folded fa(a), fb(b);
    while (fa.hasNext() && fb.hasNext()) {
        const char32_t ca = fa.next(), cb = fb.next();
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    if (fa.hasNext()) return 1;
    if (fb.hasNext()) return -1;
    return 0;
}

uint64_t key(QStringView text, int skip)
{
    Folded f(text);
    for (int i = 0; i < skip && f.hasNext(); ++i) f.next();
    uint64_t k = 0;
    for (int i = 0; i < 3; ++i) k = (k << 21) | (f.hasNext() ? f.next() : 0);
    return k;
}

}  // namespace textorder
