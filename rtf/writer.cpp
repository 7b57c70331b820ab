#include "rtf/writer.h"

#include <QStringEncoder>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>

#include <climits>
#include <cmath>

namespace rtf {

namespace {

// The character formats the writer keeps, each as its RTF control word.
struct Written {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    int font = 0;
    int halfPoints = 24;
    int color = 0;
};

bool isBulletStyle(QTextListFormat::Style s)
{
    return s == QTextListFormat::ListDisc || s == QTextListFormat::ListCircle || s == QTextListFormat::ListSquare;
}

class Writer {
public:
    explicit Writer(const QTextDocument &doc) : doc_(doc)
    {
        const QFont base = doc.defaultFont();
        defaultFamily_ = base.family();
        if (base.pointSizeF() > 0)
            defaultHalfPoints_ = static_cast<int>(std::lround(base.pointSizeF() * 2));
        else if (base.pixelSize() > 0)
            defaultHalfPoints_ = static_cast<int>(std::lround(base.pixelSize() * 72.0 / 96 * 2));
        fontIndex(defaultFamily_);
        colors_.append(QColor());  // \cf0: automatic
        // Nothing written yet: the first run states its font and size.
        current_.font = -1;
        current_.halfPoints = -1;
    }

    QByteArray run();

private:
    int fontIndex(const QString &family);
    int colorIndex(const QColor &c);
    Written wanted(const QTextCharFormat &f);
    void switchTo(QByteArray &out, const Written &w);
    void header(QByteArray &out);
    void listPrefix(QByteArray &out, const QTextBlock &block);
    static void text(QByteArray &out, QStringView s);
    static void word(QByteArray &out, const char *w, int n);

    const QTextDocument &doc_;
    QString defaultFamily_;
    int defaultHalfPoints_ = 24;
    QStringList fonts_;
    QList<QColor> colors_;
    int symbolFont_ = -1;
    Written current_;
    bool pendingSpace_ = false;  // a control word was written; text needs a delimiter
};

int Writer::fontIndex(const QString &family)
{
    qsizetype i = fonts_.indexOf(family);
    if (i >= 0 && i == symbolFont_) i = fonts_.indexOf(family, i + 1);  // the bullets' entry is not for text
    if (i >= 0) return static_cast<int>(i);
    fonts_.append(family);
    return static_cast<int>(fonts_.size() - 1);
}

int Writer::colorIndex(const QColor &c)
{
    if (!c.isValid()) return 0;
    const QColor rgb = c.toRgb();
    for (qsizetype i = 1; i < colors_.size(); ++i)
        if (colors_[i].rgb() == rgb.rgb()) return static_cast<int>(i);
    colors_.append(rgb);
    return static_cast<int>(colors_.size() - 1);
}

Written Writer::wanted(const QTextCharFormat &f)
{
    Written w;
    w.bold = f.fontWeight() >= QFont::DemiBold;
    w.italic = f.fontItalic();
    w.underline = f.fontUnderline();
    w.strike = f.fontStrikeOut();
    QString family;
    const QVariant families = f.property(QTextFormat::FontFamilies);
    if (families.isValid() && !families.toStringList().isEmpty())
        family = families.toStringList().constFirst();
    else if (f.hasProperty(QTextFormat::FontFamily))
        family = f.stringProperty(QTextFormat::FontFamily);
    w.font = fontIndex(family.isEmpty() ? defaultFamily_ : family);
    const double pt = f.fontPointSize();
    if (pt > 0)
        w.halfPoints = static_cast<int>(std::lround(pt * 2));
    else if (f.hasProperty(QTextFormat::FontPixelSize) && f.intProperty(QTextFormat::FontPixelSize) > 0)
        w.halfPoints = static_cast<int>(std::lround(f.intProperty(QTextFormat::FontPixelSize) * 72.0 / 96 * 2));
    else
        w.halfPoints = defaultHalfPoints_;
    w.halfPoints = std::max(w.halfPoints, 1);
    if (f.hasProperty(QTextFormat::ForegroundBrush) && f.foreground().style() != Qt::NoBrush)
        w.color = colorIndex(f.foreground().color());
    return w;
}

void Writer::word(QByteArray &out, const char *w, int n)
{
    out += '\\';
    out += w;
    if (n != INT_MIN) out += QByteArray::number(n);
}

void Writer::switchTo(QByteArray &out, const Written &w)
{
    Written &c = current_;
    const qsizetype before = out.size();
    if (w.bold != c.bold) word(out, w.bold ? "b" : "b0", INT_MIN);
    if (w.italic != c.italic) word(out, w.italic ? "i" : "i0", INT_MIN);
    if (w.underline != c.underline) word(out, w.underline ? "ul" : "ulnone", INT_MIN);
    if (w.strike != c.strike) word(out, w.strike ? "strike" : "strike0", INT_MIN);
    if (w.font != c.font) word(out, "f", w.font);
    if (w.halfPoints != c.halfPoints) word(out, "fs", w.halfPoints);
    if (w.color != c.color) word(out, "cf", w.color);
    if (out.size() != before) pendingSpace_ = true;
    c = w;
}

// Text as rich-edit controls write it: ASCII as is, the rest as \uN? with a
// '?' for readers that do not know \u.
void Writer::text(QByteArray &out, QStringView s)
{
    for (const QChar ch : s) {
        const char16_t c = ch.unicode();
        if (c >= 0x20 && c < 0x80) {
            if (c == '\\' || c == '{' || c == '}') out += '\\';
            out += static_cast<char>(c);
        } else if (c == u'\t') {
            out += "\\tab ";
        } else if (c == QChar::LineSeparator) {
            out += "\\line ";
        } else if (c == QChar::Nbsp) {
            out += "\\~";
        } else if (c < 0x20 || c == 0xFDD0 || c == 0xFDD1 || c == QChar::ParagraphSeparator) {
            // not text: frame marks and control characters
        } else {
            out += "\\u";
            out += QByteArray::number(c > 0x7FFF ? static_cast<int>(c) - 0x10000 : static_cast<int>(c));
            out += '?';
        }
    }
}

void Writer::listPrefix(QByteArray &out, const QTextBlock &block)
{
    QTextList *list = block.textList();
    if (!list) return;
    const QTextListFormat::Style style = list->format().style();
    if (isBulletStyle(style)) {
        // An entry of its own: text in a font called Symbol is already Unicode
        // and must not be read back as Symbol glyph numbers.
        if (symbolFont_ < 0) {
            symbolFont_ = static_cast<int>(fonts_.size());
            fonts_.append(QStringLiteral("Symbol"));
        }
        const QByteArray f = QByteArray::number(symbolFont_);
        out += "{\\pntext\\f" + f + "\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf" + f + "\\pnindent0{\\pntxtb\\'B7}}";
    } else {
        const char *kind = "pndec";
        switch (style) {
        case QTextListFormat::ListLowerAlpha: kind = "pnlcltr"; break;
        case QTextListFormat::ListUpperAlpha: kind = "pnucltr"; break;
        case QTextListFormat::ListLowerRoman: kind = "pnlcrm"; break;
        case QTextListFormat::ListUpperRoman: kind = "pnucrm"; break;
        default: break;
        }
        out += "{\\pntext\\f0 ";
        text(out, list->itemText(block));
        out += "\\tab}{\\*\\pn\\pnlvlbody\\pnf0\\pnindent0\\pnstart1\\";
        out += kind;
        out += "{\\pntxta.}}";
    }
    out += "\\fi-360\\li720";
}

void Writer::header(QByteArray &out)
{
    out += "{\\rtf1\\ansi\\ansicpg936\\deff0\\deflang1033\\deflangfe2052{\\fonttbl";
    for (qsizetype i = 0; i < fonts_.size(); ++i) {
        const QString &name = fonts_[i];
        bool ascii = true;
        for (QChar c : name) ascii = ascii && c.unicode() < 0x80;
        QByteArray encoded;
        if (!ascii) {
            QStringEncoder enc("GBK");
            encoded = enc.encode(name);
            if (enc.hasError()) encoded.clear();
        }
        const char *charset = i == symbolFont_ ? "2" : ascii ? "0" : encoded.isEmpty() ? "1" : "134";
        out += "{\\f" + QByteArray::number(i) + "\\fnil\\fcharset" + charset + ' ';
        if (!encoded.isEmpty()) {
            // Font names are bytes of the font's charset, as rich-edit controls write them.
            for (char b : encoded) {
                const auto u = static_cast<unsigned char>(b);
                if (u >= 0x80 || b == '\\' || b == '{' || b == '}' || b == ';') {
                    static const char hex[] = "0123456789abcdef";
                    out += "\\'";
                    out += hex[u >> 4];
                    out += hex[u & 15];
                } else {
                    out += b;
                }
            }
        } else {
            QString clean = name;
            clean.remove(u';');
            text(out, clean);
        }
        out += ";}";
    }
    out += "}\r\n{\\colortbl ;";
    for (qsizetype i = 1; i < colors_.size(); ++i) {
        const QColor &c = colors_[i];
        out += "\\red" + QByteArray::number(c.red()) + "\\green" + QByteArray::number(c.green()) + "\\blue" +
               QByteArray::number(c.blue()) + ';';
    }
    out += "}\r\n\\viewkind4\\uc1";
}

QByteArray Writer::run()
{
    // The body is written first: it decides which fonts and colours the tables need.
    QByteArray body;
    body.reserve(doc_.characterCount() * 8 + 256);
    for (QTextBlock block = doc_.begin(); block.isValid(); block = block.next()) {
        body += "\\pard";
        listPrefix(body, block);
        const Qt::Alignment align = block.blockFormat().alignment();
        if (align & Qt::AlignHCenter)
            body += "\\qc";
        else if (align & Qt::AlignRight)
            body += "\\qr";
        else if (align & Qt::AlignJustify)
            body += "\\qj";
        pendingSpace_ = true;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            // Images and other objects are not kept; a U+FFFC typed as text is.
            if (!frag.isValid() || frag.charFormat().objectType() != QTextFormat::NoObject) continue;
            switchTo(body, wanted(frag.charFormat()));
            if (pendingSpace_) {
                body += ' ';
                pendingSpace_ = false;
            }
            text(body, frag.text());
        }
        if (block.begin().atEnd()) switchTo(body, wanted(block.charFormat()));
        body += "\\par\r\n";
    }
    QByteArray out;
    out.reserve(body.size() + 512);
    header(out);
    out += body;
    out += "}\r\n";
    return out;
}

}  // namespace

QByteArray writeDocument(const QTextDocument &doc)
{
    return Writer(doc).run();
}

}  // namespace rtf
