#pragma once
// The document the benchmarks read, write, open and save: Chinese text with
// a change of format every few hundred characters and a paragraph every
// three changes, some of them centred.
#include <QColor>
#include <QFont>
#include <QList>
#include <QPair>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

inline void fillSampleDocument(QTextDocument &doc, int characters)
{
    QTextCursor c(&doc);
    const QString families[] = {QString::fromUtf16(u"宋体"), QString::fromUtf16(u"黑体"), "Arial"};
    const QColor colors[] = {QColor(), Qt::red, Qt::blue};
    int written = 0;
    int run = 0;
    while (written < characters) {
        const int length = std::min(200 + (run * 37) % 300, characters - written);
        QString text(length, Qt::Uninitialized);
        for (int i = 0; i < length; ++i) text[i] = QChar(0x4E00 + (written + i) * 7 % 20000);
        QTextCharFormat f;
        f.setFontWeight(run % 2 ? QFont::Bold : QFont::Normal);
        f.setFontItalic(run % 3 == 0);
        f.setFontUnderline(run % 5 == 0);
        f.setFontPointSize(9 + run % 4 * 1.5);
        f.setFontFamilies({families[run % 3]});
        if (colors[run % 3].isValid()) f.setForeground(colors[run % 3]);
        c.insertText(text, f);
        written += length;
        if (++run % 3 == 0 && written < characters) {
            QTextBlockFormat b;
            b.setAlignment(run % 2 ? Qt::AlignHCenter : Qt::AlignLeft);
            c.insertBlock(b);
        }
    }
}

// The sample document of that many characters in all, with pieces of text
// inserted count times, once every hundred characters, each at its offset
// there: {{0, "/<"}, {10, ">/"}} makes annotations, {{0, "明月"}} keywords.
inline void fillSampleDocumentWith(QTextDocument &doc, int characters, int count,
                                   const QList<QPair<int, QString>> &pieces)
{
    int inserted = 0;
    for (const auto &piece : pieces) inserted += int(piece.second.size());
    fillSampleDocument(doc, characters - count * inserted);
    QTextCursor c(&doc);
    for (int i = 0; i < count; ++i)
        for (const auto &[offset, text] : pieces) {
            c.setPosition(i * 100 + offset);
            c.insertText(text);
        }
}
