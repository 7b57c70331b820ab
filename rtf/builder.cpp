#include "rtf/builder.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

namespace rtf {

namespace {

QTextCharFormat toQt(const CharFormat &f)
{
    QTextCharFormat q;
    q.setFontWeight(f.bold ? QFont::Bold : QFont::Normal);
    q.setFontItalic(f.italic);
    q.setFontUnderline(f.underline);
    q.setFontStrikeOut(f.strike);
    q.setFontPointSize(f.halfPoints / 2.0);
    if (!f.family.isEmpty()) q.setFontFamilies({f.family});
    if (f.color.isValid()) q.setForeground(f.color);
    return q;
}

Qt::Alignment toQt(Align a)
{
    switch (a) {
    case Align::Center: return Qt::AlignHCenter;
    case Align::Right: return Qt::AlignRight;
    case Align::Justify: return Qt::AlignJustify;
    case Align::Left: break;
    }
    return Qt::AlignLeft;
}

QTextListFormat::Style toQt(ListStyle s)
{
    switch (s) {
    case ListStyle::Decimal: return QTextListFormat::ListDecimal;
    case ListStyle::LowerAlpha: return QTextListFormat::ListLowerAlpha;
    case ListStyle::UpperAlpha: return QTextListFormat::ListUpperAlpha;
    case ListStyle::LowerRoman: return QTextListFormat::ListLowerRoman;
    case ListStyle::UpperRoman: return QTextListFormat::ListUpperRoman;
    case ListStyle::Bullet:
    case ListStyle::None: break;
    }
    return QTextListFormat::ListDisc;
}

// Runs repeat a handful of formats; converting each once saves most of the
// cost of building a large document.
class FormatCache {
public:
    explicit FormatCache(bool plain) : plain_(plain) {}
    const QTextCharFormat &get(const CharFormat &f)
    {
        if (plain_) return empty_;
        for (auto &e : entries_)
            if (e.first == f) return e.second;
        if (entries_.size() >= 16) entries_.removeFirst();
        entries_.append({f, toQt(f)});
        return entries_.last().second;
    }

private:
    bool plain_;
    QTextCharFormat empty_;
    QList<std::pair<CharFormat, QTextCharFormat>> entries_;
};

}  // namespace

void build(const Content &content, QTextDocument *doc)
{
    const bool undo = doc->isUndoRedoEnabled();
    doc->setUndoRedoEnabled(false);
    doc->clear();
    QTextCursor cursor(doc);
    cursor.beginEditBlock();
    FormatCache formats(content.plain);
    QTextList *list = nullptr;
    ListStyle listStyle = ListStyle::None;
    int listId = 0;
    bool first = true;
    for (const Paragraph &para : content.paragraphs) {
        QTextBlockFormat block;
        if (!content.plain) block.setAlignment(toQt(para.align));
        const QTextCharFormat &mark = formats.get(para.runs.isEmpty() ? para.markFormat : para.runs.first().format);
        if (first) {
            cursor.setBlockFormat(block);
            cursor.setBlockCharFormat(mark);
            first = false;
        } else {
            cursor.insertBlock(block, mark);
        }
        for (const Run &run : para.runs) cursor.insertText(run.text, formats.get(run.format));
        if (para.list == ListStyle::None) {
            list = nullptr;
        } else if (list && para.list == listStyle && para.listId == listId) {
            list->add(cursor.block());
        } else {
            QTextListFormat lf;
            lf.setStyle(toQt(para.list));
            lf.setIndent(1);
            list = cursor.createList(lf);
            listStyle = para.list;
            listId = para.listId;
        }
    }
    cursor.endEditBlock();
    doc->setUndoRedoEnabled(undo);
    doc->setModified(false);
}

QString plainTextOf(const Content &content)
{
    qsizetype size = 0;
    for (const Paragraph &para : content.paragraphs) {
        size += 1;
        for (const Run &run : para.runs) size += run.text.size();
    }
    QString text;
    text.reserve(size);
    bool first = true;
    for (const Paragraph &para : content.paragraphs) {
        if (!first) text += u'\n';
        first = false;
        for (const Run &run : para.runs) text += run.text;
    }
    // As toPlainText() does: line separators become line ends, no-break spaces spaces.
    for (QChar &c : text) {
        if (c == QChar::LineSeparator)
            c = u'\n';
        else if (c == QChar::Nbsp)
            c = u' ';
    }
    return text;
}

}  // namespace rtf
