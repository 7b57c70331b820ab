#pragma once
// The reader's intermediate form: paragraphs of formatted runs. Building the
// QTextDocument and the plain text from the same form keeps their character
// positions identical.
#include <QColor>
#include <QList>
#include <QString>

namespace rtf {

struct CharFormat {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    int halfPoints = 24;  // \fs default: 12 pt
    QString family;       // empty: the document's default font
    QColor color;         // invalid: automatic colour

    bool operator==(const CharFormat &) const = default;
};

enum class Align { Left, Center, Right, Justify };

// A bullet or numbering style; None for an ordinary paragraph.
enum class ListStyle { None, Bullet, Decimal, LowerAlpha, UpperAlpha, LowerRoman, UpperRoman };

struct Run {
    CharFormat format;
    QString text;  // never holds a paragraph separator
};

struct Paragraph {
    Align align = Align::Left;
    ListStyle list = ListStyle::None;
    int listId = 0;         // paragraphs next to each other with equal style and id share a list
    CharFormat markFormat;  // format of the paragraph mark, used when it has no text
    QList<Run> runs;
};

struct Content {
    QList<Paragraph> paragraphs;  // at least one after parsing
    bool plain = false;           // not RTF: text only, no formats to apply
};

}  // namespace rtf
