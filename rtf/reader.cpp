#include "rtf/reader.h"

#include "rtf/codepage.h"
#include "rtf/keywords.h"
#include "rtf/textfilter.h"

#include <QHash>
#include <QStringDecoder>

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <vector>

namespace rtf {

namespace {

// Deeper groups than this are read as skipped text: real documents nest a
// few dozen levels at most, and the bound keeps hostile input from growing
// the state stack without limit.
constexpr int MaxDepth = 256;
constexpr int MaxFontNameLength = 256;
constexpr int MaxHalfPoints = 3276;    // 1638 pt, the largest size rich-edit controls accept
constexpr int DefaultHalfPoints = 24;  // 12 pt, RTF's size when none is given
// Control words longer than this are no words of ours; parameters grow no
// larger than this while their digits are read.
constexpr std::size_t MaxKeywordLength = 32;
constexpr std::int64_t MaxParameter = 1'000'000'000;
// \uc: how many fallback characters follow each \u at most.
constexpr int MaxFallbackCharacters = 16;
// \u gives UTF-16 code units as signed 16-bit numbers: -1 is U+FFFF.
constexpr int Utf16Units = 0x10000;
// The code pages of \ansi, \mac, \pc and \pca.
constexpr int AnsiCodePage = 1252;
constexpr int MacCodePage = 10000;
constexpr int PcCodePage = 437;
constexpr int PcaCodePage = 850;
// \levelnfc numberings with a meaning of their own: a bullet, none.
constexpr int NfcBullet = 23;
constexpr int NfcNone = 255;

enum class Dest : std::uint8_t { Text, Skip, FontTable, ColorTable, Pn, ListTable, ListOverrides };

struct CharState {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool hidden = false;
    int font = -1;  // -1: the \deff font
    int halfPoints = DefaultHalfPoints;
    int color = 0;
    bool operator==(const CharState &) const = default;
};

struct ParState {
    Align align = Align::Left;
    ListStyle pn = ListStyle::None;
    int ls = 0;
};

struct State {
    Dest dest = Dest::Text;
    bool upr = false;            // this group is an \upr: its \ud child is read
    Dest uprOuter = Dest::Text;  // the destination the \ud child returns to
    int uc = 1;
    CharState chr;
    ParState par;
    // collected inside a \pn group
    int pnLevel = 0;  // 0 none, 1 bullet, 2 numbered, 3 continuation
    ListStyle pnNumber = ListStyle::Decimal;
};

struct Font {
    QString name;
    int codePage = 0;  // 0: the document's \ansicpg
};

ListStyle styleForNfc(int nfc)
{
    switch (nfc) {
    case 0: return ListStyle::Decimal;
    case 1: return ListStyle::UpperRoman;
    case 2: return ListStyle::LowerRoman;
    case 3: return ListStyle::UpperAlpha;
    case 4: return ListStyle::LowerAlpha;
    case NfcBullet: return ListStyle::Bullet;
    case NfcNone: return ListStyle::None;
    default: return ListStyle::Decimal;  // the many other numberings (Chinese counting, ...)
    }
}

bool isAsciiLetter(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isDigit(unsigned char c)
{
    return c >= '0' && c <= '9';
}
int hexValue(unsigned char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

class Reader {
public:
    Reader(const QByteArray &bytes, Content *out)
        : p_(reinterpret_cast<const unsigned char *>(bytes.constData())), end_(p_ + bytes.size()), out_(out)
    {
        out_->paragraphs.clear();
        out_->paragraphs.append(Paragraph{});
        stack_.reserve(64);
    }

    void run();

private:
    State &top() { return stack_.back(); }
    bool skipping() const { return overflow_ > 0 || stack_.back().dest == Dest::Skip; }

    void openGroup();
    void closeGroup();
    void controlWord();
    void controlSymbol();
    void word(Kw kw, bool hasParam, int param);
    void setDestination(Dest d);

    void literal(unsigned char c);
    void asciiRun();
    void byte(unsigned char b);
    void unicode(int value);
    void textChar(char16_t c);
    void flushBytes();
    void emitText(const CharState &s, QStringView text);
    void endParagraph(const State &s);
    void finish();

    CharFormat resolve(const CharState &s) const;
    int codePageOf(const CharState &s);

    void fontByte(unsigned char b);
    void fontText(QStringView text);
    void commitFont();

    const unsigned char *p_;
    const unsigned char *end_;
    Content *out_;
    std::vector<State> stack_;
    int overflow_ = 0;   // groups opened beyond MaxDepth
    bool star_ = false;  // last token was \*
    int ucSkip_ = 0;     // fallback characters still to skip after \u
    bool done_ = false;

    int ansiCodePage_ = AnsiCodePage;
    int defaultFont_ = 0;
    QHash<int, Font> fonts_;
    int cachedFont_ = -2;
    int cachedCodePage_ = 0;
    QList<QColor> colors_;

    // font table entry being read
    int curFont_ = -1;
    bool fontPending_ = false;
    QByteArray fontBytes_;
    QString fontName_;

    // colour table entry being read
    int red_ = 0, green_ = 0, blue_ = 0;
    bool colorSet_ = false;

    // list table: \listid -> numbering of its first level; \ls -> numbering
    QHash<int, int> listNfc_;
    QHash<int, ListStyle> lsStyle_;
    int curListNfc_ = -1;
    int curListLevel_ = 0;
    int overrideListId_ = 0;
    int overrideLs_ = 0;
    bool haveOverrideListId_ = false;

    // 8-bit text waiting to be decoded: a double-byte character may arrive in
    // two escapes with other control words between them.
    QByteArray bytes_;
    int bytesCodePage_ = 0;
    CharState bytesState_;
    bool expectTrail_ = false;

    // The text of the run that text in runState_ goes on; null when the next
    // text starts a run (at the start of a paragraph).
    QString *runText_ = nullptr;
    CharState runState_;
};

void Reader::run()
{
    // The first group is the document; the caller checked it starts with {\rtf.
    while (p_ < end_ && *p_ != '{') ++p_;
    while (p_ < end_ && !done_) {
        const unsigned char c = *p_;
        switch (c) {
        case '{':
            ++p_;
            openGroup();
            break;
        case '}':
            ++p_;
            closeGroup();
            break;
        case '\\':
            ++p_;
            if (p_ < end_ && isAsciiLetter(*p_))
                controlWord();
            else
                controlSymbol();
            break;
        default:
            star_ = false;
            if (c >= 0x20 && c < 0x80 && !skipping() && top().dest == Dest::Text && ucSkip_ == 0 && !expectTrail_ &&
                codePageOf(top().chr) != SymbolCodePage)
                asciiRun();
            else {
                ++p_;
                literal(c);
            }
            break;
        }
    }
    if (!done_) finish();
}

void Reader::openGroup()
{
    star_ = false;
    ucSkip_ = 0;
    if (overflow_ > 0 || static_cast<int>(stack_.size()) >= MaxDepth) {
        ++overflow_;
        return;
    }
    if (stack_.empty())
        stack_.push_back(State{});
    else
        stack_.push_back(stack_.back());
    top().upr = false;
}

void Reader::closeGroup()
{
    star_ = false;
    ucSkip_ = 0;
    if (overflow_ > 0) {
        --overflow_;
        return;
    }
    if (stack_.size() <= 1) {
        finish();
        return;
    }
    const State closed = stack_.back();
    stack_.pop_back();
    State &parent = top();
    if (closed.dest == Dest::FontTable && fontPending_ && parent.dest != Dest::FontTable) commitFont();
    if (closed.dest == Dest::Pn && parent.dest == Dest::Text) {
        switch (closed.pnLevel) {
        case 1: parent.par.pn = ListStyle::Bullet; break;
        case 2: parent.par.pn = closed.pnNumber; break;
        case 3: parent.par.pn = ListStyle::None; break;
        default: break;
        }
    }
}

void Reader::controlWord()
{
    const unsigned char *start = p_;
    while (p_ < end_ && isAsciiLetter(*p_)) ++p_;
    const std::string_view name(reinterpret_cast<const char *>(start), static_cast<size_t>(p_ - start));
    bool negative = false;
    bool hasParam = false;
    std::int64_t value = 0;
    if (p_ + 1 < end_ && *p_ == '-' && isDigit(p_[1])) {
        negative = true;
        ++p_;
    }
    while (p_ < end_ && isDigit(*p_)) {
        hasParam = true;
        if (value < MaxParameter) value = value * 10 + (*p_ - '0');
        ++p_;
    }
    if (p_ < end_ && *p_ == ' ') ++p_;
    const int param = static_cast<int>(negative ? -value : value);
    const bool wasStar = star_;
    star_ = false;
    const Kw kw = name.size() > MaxKeywordLength ? Kw::Unknown : keyword(name);

    if (kw == Kw::Bin) {
        // Binary data is never text; it counts as one fallback character.
        const std::int64_t n = std::clamp<std::int64_t>(hasParam ? param : 0, 0, end_ - p_);
        p_ += n;
        if (ucSkip_ > 0) --ucSkip_;
        return;
    }
    if (overflow_ > 0) return;
    if (kw == Kw::Ud) {
        // The Unicode half of an \upr pair replaces its 8-bit half.
        if (stack_.size() >= 2 && stack_[stack_.size() - 2].upr) top().dest = stack_[stack_.size() - 2].uprOuter;
        return;
    }
    if (top().dest == Dest::Skip) return;
    ucSkip_ = 0;
    if (wasStar && kw != Kw::Pn && kw != Kw::Listtable && kw != Kw::Listoverridetable && kw != Kw::Upr) {
        setDestination(Dest::Skip);
        return;
    }
    word(kw, hasParam, param);
}

void Reader::controlSymbol()
{
    if (p_ >= end_) return;
    const unsigned char c = *p_++;
    if (c != '*') star_ = false;
    if (overflow_ > 0 || top().dest == Dest::Skip) {
        if (c == '\'') {
            for (int i = 0; i < 2 && p_ < end_ && hexValue(*p_) >= 0; ++i) ++p_;
        }
        return;
    }
    switch (c) {
    case '*': star_ = true; return;
    case '\'': {
        int v = 0;
        int n = 0;
        for (; n < 2 && p_ < end_ && hexValue(*p_) >= 0; ++n) v = v * 16 + hexValue(*p_++);
        if (n == 2) byte(static_cast<unsigned char>(v));
        return;
    }
    case '\\':
    case '{':
    case '}':
        // These may be the trail byte of a double-byte character.
        if (expectTrail_ || top().dest != Dest::Text)
            byte(c);
        else
            literal(c);
        return;
    case '\r':
    case '\n': word(Kw::Par, false, 0); return;
    case '\t': word(Kw::Tab, false, 0); return;
    case '~': textChar(0x00A0); return;
    case '_': textChar(0x2011); return;
    default:
        // \- (optional hyphen), \| \: (index entries) and unknown symbols show nothing,
        // but each is one fallback character of a \u.
        if (ucSkip_ > 0) --ucSkip_;
        return;
    }
}

void Reader::setDestination(Dest d)
{
    // A destination word outside a group of its own would end the document's
    // text; ignore it there.
    if (stack_.size() <= 1 || top().dest == Dest::Skip) return;
    top().dest = d;
}

void Reader::word(Kw kw, bool hasParam, int param)
{
    State &s = top();
    const bool on = !hasParam || param != 0;
    switch (kw) {
    case Kw::Unknown: return;
    // document
    case Kw::Ansi: ansiCodePage_ = AnsiCodePage; return;
    case Kw::Mac: ansiCodePage_ = MacCodePage; return;
    case Kw::Pc: ansiCodePage_ = PcCodePage; return;
    case Kw::Pca: ansiCodePage_ = PcaCodePage; return;
    case Kw::Ansicpg:
        if (hasParam && param > 0) ansiCodePage_ = param;
        cachedFont_ = -2;
        return;
    case Kw::Deff:
        defaultFont_ = param;
        cachedFont_ = -2;
        return;
    // destinations
    case Kw::Fonttbl: setDestination(Dest::FontTable); return;
    case Kw::Colortbl: setDestination(Dest::ColorTable); return;
    case Kw::SkipDest: setDestination(Dest::Skip); return;
    case Kw::Listtable: setDestination(Dest::ListTable); return;
    case Kw::Listoverridetable: setDestination(Dest::ListOverrides); return;
    case Kw::Pn:
        if (s.dest == Dest::Text) {
            setDestination(Dest::Pn);
            top().pnLevel = 0;
            top().pnNumber = ListStyle::Decimal;
        }
        return;
    case Kw::Upr:
        if (stack_.size() > 1) {
            s.upr = true;
            s.uprOuter = s.dest;
            s.dest = Dest::Skip;
        }
        return;
    default: break;
    }

    switch (s.dest) {
    case Dest::FontTable:
        switch (kw) {
        case Kw::F:
            commitFont();
            curFont_ = param;
            fonts_[curFont_] = Font{};
            fontPending_ = true;
            cachedFont_ = -2;
            return;
        case Kw::Fcharset:
            if (fontPending_) fonts_[curFont_].codePage = codePageForCharset(param);
            return;
        case Kw::Cpg:
            if (fontPending_ && param > 0) fonts_[curFont_].codePage = param;
            return;
        case Kw::U:
            if (fontPending_) fontText(QString(QChar(static_cast<char16_t>(param < 0 ? param + Utf16Units : param))));
            ucSkip_ = s.uc;
            return;
        case Kw::Uc: s.uc = std::clamp(param, 0, MaxFallbackCharacters); return;
        default: return;
        }
    case Dest::ColorTable:
        switch (kw) {
        case Kw::Red:
            red_ = std::clamp(param, 0, 255);
            colorSet_ = true;
            return;
        case Kw::Green:
            green_ = std::clamp(param, 0, 255);
            colorSet_ = true;
            return;
        case Kw::Blue:
            blue_ = std::clamp(param, 0, 255);
            colorSet_ = true;
            return;
        default: return;
        }
    case Dest::ListTable:
        switch (kw) {
        case Kw::List:
            curListNfc_ = -1;
            curListLevel_ = 0;
            return;
        case Kw::Listlevel: ++curListLevel_; return;
        case Kw::Levelnfc:
            if (curListLevel_ <= 1) curListNfc_ = param;
            return;
        case Kw::Listid:
            if (curListNfc_ >= 0) listNfc_.insert(param, curListNfc_);
            return;
        default: return;
        }
    case Dest::ListOverrides:
        switch (kw) {
        case Kw::Listoverride:
            haveOverrideListId_ = false;
            overrideLs_ = 0;
            return;
        case Kw::Listid:
            overrideListId_ = param;
            haveOverrideListId_ = true;
            if (overrideLs_ > 0) lsStyle_.insert(overrideLs_, styleForNfc(listNfc_.value(param, NfcBullet)));
            return;
        case Kw::Ls:
            overrideLs_ = param;
            if (haveOverrideListId_ && param > 0)
                lsStyle_.insert(param, styleForNfc(listNfc_.value(overrideListId_, NfcBullet)));
            return;
        default: return;
        }
    case Dest::Pn:
        switch (kw) {
        case Kw::Pnlvlblt: s.pnLevel = 1; return;
        case Kw::Pnlvlbody:
        case Kw::Pnlvl: s.pnLevel = 2; return;
        case Kw::Pnlvlcont: s.pnLevel = 3; return;
        case Kw::Pndec: s.pnNumber = ListStyle::Decimal; return;
        case Kw::Pnucltr: s.pnNumber = ListStyle::UpperAlpha; return;
        case Kw::Pnlcltr: s.pnNumber = ListStyle::LowerAlpha; return;
        case Kw::Pnucrm: s.pnNumber = ListStyle::UpperRoman; return;
        case Kw::Pnlcrm: s.pnNumber = ListStyle::LowerRoman; return;
        default: return;
        }
    case Dest::Skip: return;
    case Dest::Text: break;
    }

    switch (kw) {
    case Kw::Par:
    case Kw::Row:
        endParagraph(s);
        out_->paragraphs.append(Paragraph{});
        return;
    case Kw::Line: textChar(0x2028); return;  // QTextDocument's line break inside a paragraph
    case Kw::Tab:
    case Kw::Cell: textChar(u'\t'); return;
    case Kw::U: unicode(param); return;
    case Kw::Uc: s.uc = std::clamp(param, 0, MaxFallbackCharacters); return;
    case Kw::Emdash: textChar(0x2014); return;
    case Kw::Endash: textChar(0x2013); return;
    case Kw::Lquote: textChar(0x2018); return;
    case Kw::Rquote: textChar(0x2019); return;
    case Kw::Ldblquote: textChar(0x201C); return;
    case Kw::Rdblquote: textChar(0x201D); return;
    case Kw::Bullet: textChar(0x2022); return;
    case Kw::Emspace: textChar(0x2003); return;
    case Kw::Enspace: textChar(0x2002); return;
    case Kw::Qmspace: textChar(0x2005); return;
    case Kw::Zwj: textChar(0x200D); return;
    case Kw::Zwnj: textChar(0x200C); return;
    case Kw::Ltrmark: textChar(0x200E); return;
    case Kw::Rtlmark: textChar(0x200F); return;
    case Kw::Plain: s.chr = CharState{}; return;
    case Kw::Pard: s.par = ParState{}; return;
    case Kw::B: s.chr.bold = on; return;
    case Kw::I: s.chr.italic = on; return;
    case Kw::Ul:
    case Kw::UlStyle: s.chr.underline = on; return;
    case Kw::Ulnone: s.chr.underline = false; return;
    case Kw::Strike: s.chr.strike = on; return;
    case Kw::V: s.chr.hidden = on; return;
    case Kw::F: s.chr.font = param; return;
    case Kw::Fs:
        if (hasParam && param > 0)
            s.chr.halfPoints = std::min(param, MaxHalfPoints);
        else if (!hasParam)
            s.chr.halfPoints = 24;
        return;
    case Kw::Cf: s.chr.color = std::max(param, 0); return;
    case Kw::Ql: s.par.align = Align::Left; return;
    case Kw::Qc: s.par.align = Align::Center; return;
    case Kw::Qr: s.par.align = Align::Right; return;
    case Kw::Qj: s.par.align = Align::Justify; return;
    case Kw::Ls: s.par.ls = std::max(param, 0); return;
    default: return;
    }
}

void Reader::literal(unsigned char c)
{
    if (overflow_ > 0) return;
    State &s = top();
    switch (s.dest) {
    case Dest::Skip:
    case Dest::Pn:
    case Dest::ListTable:
    case Dest::ListOverrides: return;
    case Dest::ColorTable:
        if (c == ';') {
            colors_.append(colorSet_ ? QColor(red_, green_, blue_) : QColor());
            red_ = green_ = blue_ = 0;
            colorSet_ = false;
        }
        return;
    case Dest::FontTable:
        if (c == ';')
            commitFont();
        else if (c >= 0x80)
            fontByte(c);
        else if (c >= 0x20) {
            if (ucSkip_ > 0)
                --ucSkip_;
            else if (fontPending_)
                fontBytes_.append(static_cast<char>(c));
        }
        return;
    case Dest::Text: break;
    }
    if (c == '\t') {
        textChar(u'\t');
        return;
    }
    if (c < 0x20) return;  // line ends and other control bytes are not text in RTF
    // Symbol font letters are glyph numbers too (a is alpha).
    if (c >= 0x80 || (expectTrail_ && c >= 0x40 && c <= 0x7E) || codePageOf(s.chr) == SymbolCodePage) {
        byte(c);
        return;
    }
    textChar(c);
}

// A stretch of plain ASCII text, the common case, taken in one piece.
void Reader::asciiRun()
{
    const unsigned char *start = p_;
    while (p_ < end_) {
        const unsigned char c = *p_;
        if (c < 0x20 || c >= 0x80 || c == '\\' || c == '{' || c == '}') break;
        ++p_;
    }
    flushBytes();
    const auto n = static_cast<qsizetype>(p_ - start);
    emitText(top().chr, QLatin1StringView(reinterpret_cast<const char *>(start), n).toString());
}

void Reader::byte(unsigned char b)
{
    if (overflow_ > 0) return;
    State &s = top();
    if (s.dest == Dest::FontTable) {
        fontByte(b);
        return;
    }
    if (s.dest != Dest::Text) return;
    if (ucSkip_ > 0) {
        --ucSkip_;
        return;
    }
    if (expectTrail_) {
        bytes_.append(static_cast<char>(b));
        expectTrail_ = false;
        return;
    }
    const int cp = codePageOf(s.chr);
    if (!bytes_.isEmpty() && (cp != bytesCodePage_ || !(s.chr == bytesState_))) flushBytes();
    if (bytes_.isEmpty()) {
        bytesCodePage_ = cp;
        bytesState_ = s.chr;
    }
    bytes_.append(static_cast<char>(b));
    expectTrail_ = isDoubleByte(cp) && isLeadByte(cp, b);
}

void Reader::unicode(int value)
{
    if (value < 0) value += Utf16Units;
    if (value < 0 || value >= Utf16Units) value = QChar::ReplacementCharacter;
    textChar(static_cast<char16_t>(value));
    ucSkip_ = top().uc;
    // The usual fallback, one plain character such as "?", is passed over
    // here rather than by the main loop: a body is mostly \uN? escapes.
    if (ucSkip_ == 1 && p_ < end_) {
        const unsigned char c = *p_;
        if (c >= 0x20 && c < 0x80 && c != '\\' && c != '{' && c != '}') {
            ++p_;
            ucSkip_ = 0;
        }
    }
}

void Reader::textChar(char16_t c)
{
    if (ucSkip_ > 0) {
        --ucSkip_;
        return;
    }
    if (top().dest != Dest::Text) {
        if (top().dest == Dest::FontTable && fontPending_) fontText(QStringView(&c, 1));
        return;
    }
    flushBytes();
    const QChar ch(c);
    emitText(top().chr, QStringView(&ch, 1));
}

void Reader::flushBytes()
{
    const bool incomplete = expectTrail_;
    expectTrail_ = false;
    if (bytes_.isEmpty()) return;
    QString text = decode(bytesCodePage_, bytes_);
    if (incomplete) text += QChar(QChar::ReplacementCharacter);  // a lead byte whose trail never came
    bytes_.clear();
    emitText(bytesState_, text);
}

void Reader::emitText(const CharState &s, QStringView text)
{
    if (s.hidden || text.isEmpty()) return;
    if (!runText_ || !(runState_ == s)) {
        QList<Run> &runs = out_->paragraphs.last().runs;
        runs.append(Run{resolve(s), QString()});
        runText_ = &runs.last().text;
        runState_ = s;
    }
    appendFiltered(*runText_, text);
    if (runText_->isEmpty()) {
        out_->paragraphs.last().runs.removeLast();
        runText_ = nullptr;
    }
}

void Reader::endParagraph(const State &s)
{
    flushBytes();
    Paragraph &para = out_->paragraphs.last();
    para.align = s.par.align;
    if (s.par.ls > 0) {
        para.list = lsStyle_.value(s.par.ls, ListStyle::Bullet);
        para.listId = s.par.ls;
    } else {
        para.list = s.par.pn;
        para.listId = 0;
    }
    if (para.list == ListStyle::None) para.listId = 0;
    para.markFormat = resolve(s.chr);
    runText_ = nullptr;
}

void Reader::finish()
{
    done_ = true;
    if (stack_.empty()) return;
    endParagraph(top());
    auto &paras = out_->paragraphs;
    // Producers end the last paragraph with \par too; it opens no new one.
    if (paras.size() > 1 && paras.last().runs.isEmpty()) paras.removeLast();
}

CharFormat Reader::resolve(const CharState &s) const
{
    CharFormat f;
    f.bold = s.bold;
    f.italic = s.italic;
    f.underline = s.underline;
    f.strike = s.strike;
    f.halfPoints = s.halfPoints;
    const auto font = fonts_.constFind(s.font >= 0 ? s.font : defaultFont_);
    if (font != fonts_.constEnd()) f.family = font->name;
    if (s.color >= 0 && s.color < colors_.size()) f.color = colors_.at(s.color);
    return f;
}

int Reader::codePageOf(const CharState &s)
{
    const int index = s.font >= 0 ? s.font : defaultFont_;
    if (index != cachedFont_) {
        const auto font = fonts_.constFind(index);
        cachedCodePage_ = (font != fonts_.constEnd() && font->codePage != 0) ? font->codePage : ansiCodePage_;
        cachedFont_ = index;
    }
    return cachedCodePage_;
}

void Reader::fontByte(unsigned char b)
{
    if (ucSkip_ > 0) {
        --ucSkip_;
        return;
    }
    if (fontPending_) fontBytes_.append(static_cast<char>(b));
}

void Reader::fontText(QStringView text)
{
    if (!fontBytes_.isEmpty()) {
        const int cp = fonts_.value(curFont_).codePage;
        fontName_ += decode(cp != 0 ? cp : ansiCodePage_, fontBytes_);
        fontBytes_.clear();
    }
    fontName_ += text;
}

void Reader::commitFont()
{
    if (!fontPending_) return;
    fontText({});
    QString name;
    appendFiltered(name, fontName_);
    fonts_[curFont_].name = name.trimmed().left(MaxFontNameLength);
    fontName_.clear();
    fontPending_ = false;
    cachedFont_ = -2;
}

bool looksLikeRtf(const QByteArray &bytes)
{
    qsizetype i = 0;
    if (bytes.startsWith("\xEF\xBB\xBF")) i = 3;
    while (i < bytes.size() && (bytes[i] == ' ' || bytes[i] == '\t' || bytes[i] == '\r' || bytes[i] == '\n')) ++i;
    return QByteArrayView(bytes).sliced(i).startsWith("{\\rtf");
}

void parsePlain(const QByteArray &bytes, Content *out)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError()) text = decode(936, bytes);
    if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
    out->paragraphs.clear();
    out->plain = true;
    Paragraph para;
    QString line;
    auto flush = [&] {
        QString clean;
        appendFiltered(clean, line);
        if (!clean.isEmpty()) para.runs.append(Run{CharFormat{}, clean});
        out->paragraphs.append(para);
        para = Paragraph{};
        line.clear();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\r' || c == u'\n' || c == QChar::ParagraphSeparator) {
            if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n') ++i;
            flush();
        } else {
            line += c;
        }
    }
    flush();
}

}  // namespace

bool parse(const QByteArray &bytes, Content *out)
{
    *out = Content{};
    if (!looksLikeRtf(bytes)) {
        parsePlain(bytes, out);
        return false;
    }
    Reader(bytes, out).run();
    return true;
}

}  // namespace rtf
