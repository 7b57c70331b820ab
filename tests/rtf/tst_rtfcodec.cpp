#include "rtf/rtfcodec.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

namespace {

QString S(const char16_t *s) { return QString::fromUtf16(s); }

QTextCharFormat charAt(const QTextDocument &doc, int pos)
{
    const QTextBlock block = doc.findBlock(pos);
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment f = it.fragment();
        if (f.contains(pos))
            return f.charFormat();
    }
    return block.charFormat();
}

QString family(const QTextCharFormat &f)
{
    const QStringList families = f.fontFamilies().toStringList();
    return families.isEmpty() ? QString() : families.first();
}

QString alignName(Qt::Alignment a)
{
    if (a & Qt::AlignHCenter) return "center";
    if (a & Qt::AlignRight) return "right";
    if (a & Qt::AlignJustify) return "justify";
    return "left";
}

QString listName(const QTextList *list)
{
    if (!list)
        return "none";
    switch (list->format().style()) {
    case QTextListFormat::ListDisc: return "disc";
    case QTextListFormat::ListCircle: return "circle";
    case QTextListFormat::ListSquare: return "square";
    case QTextListFormat::ListDecimal: return "decimal";
    case QTextListFormat::ListLowerAlpha: return "loweralpha";
    case QTextListFormat::ListUpperAlpha: return "upperalpha";
    case QTextListFormat::ListLowerRoman: return "lowerroman";
    case QTextListFormat::ListUpperRoman: return "upperroman";
    default: return "other";
    }
}

// Checks one line "POS token token ...", where a token is b, i, u, s (or -b,
// ... for their absence), pt=N, f=FAMILY, c=#rrggbb or c=auto, al=ALIGN,
// list=STYLE, sameList=POS or otherList=POS.
void checkFormats(const QTextDocument &doc, const QString &line)
{
    const QStringList tokens = line.split(u' ', Qt::SkipEmptyParts);
    const int pos = tokens.first().toInt();
    const QTextCharFormat f = charAt(doc, pos);
    const QTextBlock block = doc.findBlock(pos);
    for (QString t : tokens.mid(1)) {
        t.replace(QChar(0xA0), u' ');   // family names with spaces are written with no-break spaces
        const QString where = QStringLiteral("at %1 (%2): %3").arg(pos).arg(doc.toPlainText().mid(pos, 1), t);
        const QByteArray w = where.toUtf8();
        const bool negate = t.startsWith(u'-');
        const QString flag = negate ? t.mid(1) : t;
        if (flag == "b") QVERIFY2((f.fontWeight() >= QFont::DemiBold) != negate, w);
        else if (flag == "i") QVERIFY2(f.fontItalic() != negate, w);
        else if (flag == "u") QVERIFY2(f.fontUnderline() != negate, w);
        else if (flag == "s") QVERIFY2(f.fontStrikeOut() != negate, w);
        else if (t.startsWith("pt=")) QVERIFY2(qFuzzyCompare(f.fontPointSize(), t.mid(3).toDouble()), w + " got " + QByteArray::number(f.fontPointSize()));
        else if (t.startsWith("f=")) QVERIFY2(family(f) == t.mid(2), w + " got " + family(f).toUtf8());
        else if (t == "c=auto") QVERIFY2(!f.hasProperty(QTextFormat::ForegroundBrush), w);
        else if (t.startsWith("c=")) QVERIFY2(f.foreground().color().name() == t.mid(2), w + " got " + f.foreground().color().name().toUtf8());
        else if (t.startsWith("al=")) QVERIFY2(alignName(block.blockFormat().alignment()) == t.mid(3), w + " got " + alignName(block.blockFormat().alignment()).toUtf8());
        else if (t.startsWith("list=")) QVERIFY2(listName(block.textList()) == t.mid(5), w + " got " + listName(block.textList()).toUtf8());
        else if (t.startsWith("sameList=")) {
            const QTextList *other = doc.findBlock(t.mid(9).toInt()).textList();
            QVERIFY2(block.textList() && block.textList() == other, w);
        } else if (t.startsWith("otherList=")) {
            const QTextList *other = doc.findBlock(t.mid(10).toInt()).textList();
            QVERIFY2(block.textList() && other && block.textList() != other, w);
        } else
            QFAIL(qPrintable("unknown check " + t));
    }
}

// Everything the codec keeps, block by block, so that two documents compare
// as strings and a difference shows where it is.
QString describe(const QTextDocument &doc)
{
    QString out;
    const QFont base = doc.defaultFont();
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        out += QStringLiteral("[%1 %2").arg(alignName(b.blockFormat().alignment()), listName(b.textList()));
        if (b.textList())
            out += QStringLiteral(" item%1").arg(b.textList()->itemNumber(b));
        out += "]";
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            const QTextCharFormat f = frag.charFormat();
            const double pt = f.fontPointSize() > 0 ? f.fontPointSize() : base.pointSizeF();
            const QString fam = family(f).isEmpty() ? base.family() : family(f);
            const QString color = f.hasProperty(QTextFormat::ForegroundBrush) ? f.foreground().color().name() : "auto";
            out += QStringLiteral("{%1%2%3%4 %5 %6 %7|%8}")
                       .arg(f.fontWeight() >= QFont::DemiBold ? "b" : "")
                       .arg(f.fontItalic() ? "i" : "")
                       .arg(f.fontUnderline() ? "u" : "")
                       .arg(f.fontStrikeOut() ? "s" : "")
                       .arg(pt)
                       .arg(fam, color, frag.text());
        }
        out += "\n";
    }
    return out;
}

// The producers' samples below are typed as RTF, so the source stays ASCII.
const char richEditGbk[] =
    "{\\rtf1\\ansi\\ansicpg936\\deff0\\deflang1033\\deflangfe2052{\\fonttbl{\\f0\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}"
    "{\\f1\\fnil\\fcharset2 Symbol;}{\\f2\\fswiss\\fcharset0 Arial;}}\r\n"
    "{\\colortbl ;\\red255\\green0\\blue0;}\r\n"
    "{\\*\\generator Msftedit 5.41.21.2510;}\\viewkind4\\uc1\\pard\\qc\\lang2052\\b\\f0\\fs32\\'b1\\'ea\\'cc\\'e2\\b0\\fs18\\par\r\n"
    "\\pard{\\pntext\\f1\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'b7}}\\fi-200\\li200 \\'b5\\'da\\'d2\\'bb\\'cf\\'ee\\par\r\n"
    "{\\pntext\\f1\\'b7\\tab}\\'b5\\'da\\'b6\\'fe\\'cf\\'ee\\par\r\n"
    "\\pard\\cf1\\i\\f2 red\\cf0\\i0  \\f0\\ul\\'d6\\'d0\\ulnone\\strike x\\strike0\\par\r\n"
    "}\r\n";

const char wordUnicode[] =
    "{\\rtf1\\adeflang1025\\ansi\\ansicpg1252\\uc1\\adeff31507\\deff0\\stshfdbch31505\\deflang1033\\deflangfe2052"
    "{\\fonttbl{\\f0\\fbidi \\froman\\fcharset0\\fprq2{\\*\\panose 02020603050405020304}Times New Roman;}"
    "{\\f13\\fbidi \\fnil\\fcharset134\\fprq2{\\*\\panose 02010600030101010101}\\'cb\\'ce\\'cc\\'e5{\\*\\falt SimSun};}"
    "{\\f37\\fbidi \\fswiss\\fcharset0\\fprq2{\\*\\panose 020f0502020204030204}Calibri;}}\r\n"
    "{\\colortbl;\\red0\\green0\\blue0;\\red0\\green0\\blue255;}\r\n"
    "{\\stylesheet{\\ql \\li0\\ri0\\widctlpar\\rtlch\\fcs1 \\af31507\\afs22 \\ltrch\\fcs0 \\fs21\\lang1033 \\snext0 Normal;}}\r\n"
    "{\\*\\rsidtbl \\rsid1}{\\info{\\title x}{\\author \\'d5\\'c5\\'c8\\'fd}{\\creatim\\yr2020\\mo1\\dy1}}\r\n"
    "{\\*\\xmlnstbl {\\xmlns1 http://schemas.microsoft.com/office/word/2003/wordml}}\r\n"
    "\\paperw11906\\paperh16838\\margl1800\\ltrsect\\widowctrl{\\*\\ftnsep \\ltrpar \\pard\\plain {\\chftnsep \\par }}\r\n"
    "\\pard\\plain \\ltrpar\\qj \\li0\\ri0\\widctlpar\\rtlch\\fcs1 \\af31507\\afs22 \\ltrch\\fcs0 \\fs21\\lang1033\\langfe2052\r\n"
    "{\\rtlch\\fcs1 \\af31507 \\ltrch\\fcs0 \\f13\\hich\\af13\\dbch\\af13\\loch\\f13 \\'d6\\'d0\\'ce\\'c4}"
    "{\\rtlch\\fcs1 \\af31507 \\ltrch\\fcs0 \\b\\f13\\cf2\\hich\\af13\\dbch\\af13\\loch\\f13 \\u-10179\\'3f\\u-8694\\'3f}"
    "{\\rtlch \\ltrch\\fcs0 \\f37\\uc2\\u8364\\'80\\'80 and \\ldblquote q\\rdblquote }{\\i\\f37 \\u12354?x}\\par \r\n"
    "\\pard \\ltrpar\\qc {\\f37\\fs28 centre\\par }\r\n"
    "{\\*\\themedata 0102ff}{\\*\\datastore 0105}}";

const char libreOffice[] =
    "{\\rtf1\\ansi\\deff3\\adeflang1025\r\n"
    "{\\fonttbl{\\f0\\froman\\fprq2\\fcharset0 Times New Roman;}{\\f1\\froman\\fprq2\\fcharset2 Symbol;}"
    "{\\f3\\froman\\fprq2\\fcharset0 Liberation Serif{\\*\\falt Times New Roman};}"
    "{\\f4\\fnil\\fprq2\\fcharset134 Noto Sans CJK SC;}{\\f5\\fnil\\fprq0\\fcharset2 OpenSymbol{\\*\\falt Arial Unicode MS};}}\r\n"
    "{\\colortbl;\\red0\\green0\\blue0;\\red255\\green0\\blue0;}\r\n"
    "{\\stylesheet{\\s0\\snext0\\dbch\\af4\\langfe2052\\loch\\f3\\hich\\af3\\fs24\\lang2052 Normal;}}\r\n"
    "{\\*\\listtable{\\list\\listtemplateid1\r\n"
    "{\\listlevel\\levelnfc23\\leveljc0\\levelstartat1\\levelfollow0{\\leveltext \\'01\\u8226 ?;}{\\levelnumbers;}\\f5\\fi-360\\li720}\r\n"
    "{\\listlevel\\levelnfc0\\leveljc0\\levelstartat1\\levelfollow0{\\leveltext \\'02\\'01.;}{\\levelnumbers\\'01;}\\fi-360\\li1080}\\listid1}\r\n"
    "{\\list\\listtemplateid2\r\n"
    "{\\listlevel\\levelnfc0\\leveljc0\\levelstartat1\\levelfollow0{\\leveltext \\'02\\'00.;}{\\levelnumbers\\'01;}\\fi-360\\li720}\\listid2}\r\n"
    "}{\\listoverridetable{\\listoverride\\listid1\\listoverridecount0\\ls1}{\\listoverride\\listid2\\listoverridecount0\\ls2}}\r\n"
    "{\\*\\generator LibreOffice/7.4.7.2$Linux_X86_64 LibreOffice_project/40$Build-2}{\\info{\\creatim\\yr2024\\mo3\\dy4}}\\deftab709\r\n"
    "\\viewkind1\\paperh15840\\paperw12240\\sectd\\sbknone\\sectunlocked1\\ftnbj\\ftnstart1\\ftnrstcont\\ftnnar\\aenddoc\r\n"
    "{\\*\\ftnsep\\chftnsep}\\pgndec\\pard\\plain \\s0\\dbch\\af4\\langfe2052\\loch\\f3\\hich\\af3\\fs24\\lang2052\\qr{\\b\\cf2\\loch\r\n"
    "Right}{\\loch\r\n"
    " }{\\dbch\\af4\\langfe2052\\loch\\f4\\hich\\af4\r\n"
    "\\u27721\\'3f\\u23383\\'3f}\r\n"
    "\\par \\pard\\plain \\s0\\loch\\f3\\fs24\\ilvl0\\ls1\\li720\\ri0\\lin720\\rin0\\fi-360{\\listtext\\pard\\plain \\f5 \\u8226\\'3f\\tab}{\\loch\r\n"
    "one}\r\n"
    "\\par \\pard\\plain \\s0\\loch\\f3\\fs24\\ilvl0\\ls1\\li720\\fi-360{\\listtext\\pard\\plain \\f5 \\u8226\\'3f\\tab}{\\strike\\loch\r\n"
    "two}\r\n"
    "\\par \\pard\\plain \\s0\\loch\\f3\\fs24\\ilvl0\\ls2\\li720\\fi-360{\\listtext\\pard\\plain 1.\\tab}{\\ul\\loch\r\n"
    "three}\r\n"
    "\\par }";

const char big5Sample[] =
    "{\\rtf1\\ansi\\ansicpg950\\deff0{\\fonttbl{\\f0\\fnil\\fcharset136 \\'b7s\\'b2\\'d3\\'a9\\'fa\\'c5\\'e9;}}\r\n"
    "\\viewkind4\\uc1\\pard\\lang1028\\f0\\fs20 \\'a4\\'a4\\'a4\\'e5\\'c1c\\'c5\\'e9\\par\r\n"
    "}";

const char shiftJisSample[] =
    "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fnil\\fcharset128 \\'82\\'6c\\'82\\'72 \\'96\\'be\\'92\\'a9;}}\r\n"
    "\\viewkind4\\uc1\\pard\\lang1041\\f0\\fs22 \\'93\\'fa\\'96\\{\\'8c\\'ea\\i \\'82\\'a0\\par\r\n"
    "}";

QByteArray rtfBody(const QByteArray &fonts, const QByteArray &body, const QByteArray &cpg = "936")
{
    return "{\\rtf1\\ansi\\ansicpg" + cpg + "\\deff0{\\fonttbl" + fonts + "}" + body + "}";
}

}  // namespace

class TestRtfCodec : public QObject {
    Q_OBJECT

private slots:
    void producers_data();
    void producers();
    void reading_data();
    void reading();
    void roundTrip_data();
    void roundTrip();
    void writerShape();
    void plainFallback_data();
    void plainFallback();
    void malformed_data();
    void malformed();
    void mutatedSamplesKeepPositions();
    void libreOfficeReadsOurRtf();
};

void TestRtfCodec::producers_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("checks");

    QTest::newRow("rich-edit GBK, centred title, bullets")
        << QByteArray(richEditGbk) << S(u"标题\n第一项\n第二项\nred 中x")
        << QStringList{"0 b pt=16 f=宋体 al=center list=none c=auto",
                       "3 -b pt=9 list=disc al=left",
                       "7 list=disc sameList=3",
                       "11 i c=#ff0000 f=Arial pt=9 list=none",
                       "14 -i c=auto f=Arial",
                       "15 u f=宋体 -s",
                       "16 -u s"};
    QTest::newRow("Word, \\u with fallbacks")
        << QByteArray(wordUnicode) << S(u"中文😊€ and “q”あx\ncentre")
        << QStringList{"0 f=宋体 al=justify -b pt=10.5",
                       "2 b c=#0000ff f=宋体",
                       "4 f=Calibri -b c=auto",
                       "13 i f=Calibri",
                       "14 i",
                       "16 al=center pt=14 f=Calibri"};
    QTest::newRow("LibreOffice, list table")
        << QByteArray(libreOffice) << S(u"Right 汉字\none\ntwo\nthree")
        << QStringList{"0 b c=#ff0000 f=Liberation\u00a0Serif al=right list=none",
                       "6 f=Noto\u00a0Sans\u00a0CJK\u00a0SC -b c=auto",
                       "9 list=disc -s",
                       "13 list=disc sameList=9 s",
                       "17 list=decimal otherList=9 u"};
    QTest::newRow("format words: \\plain, \\pard, switches off, bad colour, bare \\fs")
        << QByteArray("{\\rtf1\\ansi\\ansicpg936\\deff1{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}}"
                      "{\\colortbl;\\red0\\green0\\blue255;}"
                      "\\pard\\qc\\b\\i\\ul\\strike\\fs40\\cf1\\f0 A\\plain B\\par"
                      "\\pard\\qr\\ul C\\ul0 D\\cf9 E\\fs F\\par"
                      "\\pard\\qc\\ql\\b1 G\\b0 H}")
        << S(u"AB\nCDEF\nGH")
        << QStringList{"0 b i u s pt=20 c=#0000ff f=Arial al=center",
                       "1 -b -i -u -s pt=12 c=auto f=宋体 al=center",
                       "3 u al=right", "4 -u", "5 c=auto", "6 pt=12",
                       "8 b al=left", "9 -b"};
    QTest::newRow("Big5, trail bytes written as letters")
        << QByteArray(big5Sample) << S(u"中文繁體")
        << QStringList{"0 f=新細明體 pt=10", "3 f=新細明體"};
    QTest::newRow("Shift_JIS, trail byte written as \\{")
        << QByteArray(shiftJisSample) << S(u"日本語あ")
        << QStringList{"0 f=ＭＳ\u00a0明朝 pt=11 -i", "3 i"};
}

void TestRtfCodec::producers()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, text);
    QFETCH(QStringList, checks);
    QTextDocument doc;
    QVERIFY(rtf::read(rtf, &doc));
    QCOMPARE(doc.toPlainText(), text);
    QCOMPARE(rtf::plainText(rtf), text);
    for (const QString &line : checks) {
        checkFormats(doc, line);
        if (QTest::currentTestFailed())
            return;
    }
}

void TestRtfCodec::reading_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("text");

    const QByteArray gbkFont = "{\\f0\\fnil\\fcharset134 SimSun;}";
    const QByteArray latinFont = "{\\f0\\fnil\\fcharset0 Arial;}";
    const QByteArray noCharset = "{\\f0\\fnil Arial;}";
    QTest::newRow("font charset wins over \\ansicpg")
        << rtfBody(gbkFont, "\\f0 \\'d6\\'d0", "1252") << S(u"中");
    QTest::newRow("charset 0 is windows-1252 in a GBK file")
        << rtfBody(latinFont, "\\f0 caf\\'e9", "936") << S(u"café");
    QTest::newRow("no charset: \\ansicpg decides")
        << rtfBody(noCharset, "\\f0 \\'d6\\'d0", "936") << S(u"中");
    QTest::newRow("charset 134 is GBK, not only GB2312")
        << rtfBody(gbkFont, "\\'86\\'b4\\'81\\'40") << S(u"喆丂");
    QTest::newRow("charset 129 is Korean")
        << rtfBody("{\\f0\\fcharset129 Gulim;}", "\\'c7\\'d1\\'b1\\'b9\\'be\\'ee", "1252") << S(u"한국어");
    QTest::newRow("charset 204 is Cyrillic")
        << rtfBody("{\\f0\\fcharset204 Arial;}", "\\'cf\\'f0\\'e8", "1252") << S(u"При");
    QTest::newRow("charset 2 maps Symbol glyphs")
        << rtfBody("{\\f0\\fcharset2 Symbol;}", "\\f0 abg\\'b7", "1252") << S(u"αβγ•");
    QTest::newRow("a font switch picks its own code page")
        << rtfBody(gbkFont + "{\\f1\\fcharset0 Arial;}", "\\'d6\\'d0\\f1 \\'e9\\f0 \\'ce\\'c4") << S(u"中é文");
    QTest::newRow("trail byte as a plain letter")
        << rtfBody(gbkFont, "\\'e9F\\'81@") << S(u"镕丂");
    QTest::newRow("double-byte split by a control word")
        << rtfBody(gbkFont, "\\'d6\\lang2052\\'d0\\'ce\r\n\\'c4") << S(u"中文");
    QTest::newRow("double-byte split by a group boundary")
        << rtfBody(gbkFont, "{\\'d6}{\\'d0}") << S(u"中");
    QTest::newRow("trail byte after a format change still joins its lead byte")
        << rtfBody(gbkFont, "{\\'d6}{\\i\\'d0\\'ce\\'c4}") << S(u"中文");
    QTest::newRow("raw 8-bit bytes")
        << rtfBody(gbkFont, "\xd6\xd0\xce\xc4") << S(u"中文");
    QTest::newRow("lone lead byte before text")
        << rtfBody(gbkFont, "\\'d6 ab") << S(u"\ufffd ab");
    QTest::newRow("\\u negative values, surrogate pair")
        << rtfBody(latinFont, "\\u-10179?\\u-8694?\\u-3913?") << S(u"😊\uf0b7");
    QTest::newRow("\\uc2 skips two-byte fallbacks")
        << rtfBody(latinFont, "\\uc2\\u20013\\'d6\\'d0\\u25991\\'ce\\'c4!") << S(u"中文!");
    QTest::newRow("\\uc is scoped to its group")
        << rtfBody(latinFont, "{\\uc2\\u20013\\'d6\\'d0}\\u25991?x") << S(u"中文x");
    QTest::newRow("\\uc0 has no fallback")
        << rtfBody(latinFont, "\\uc0\\u20013\\u25991 ab") << S(u"中文ab");
    QTest::newRow("fallback ends at a group boundary")
        << rtfBody(latinFont, "\\uc3{\\u20013}ab") << S(u"中ab");
    QTest::newRow("\\upr reads the \\ud half")
        << rtfBody(gbkFont, "{\\upr{\\'d6\\'d0 ansi}{\\*\\ud{\\u20013? unicode}}}") << S(u"中 unicode");
    QTest::newRow("\\* unknown destination skipped")
        << rtfBody(latinFont, "a{\\*\\unknownthing b{c}d}e") << S(u"ae");
    QTest::newRow("known destinations skipped")
        << rtfBody(latinFont, "a{\\pict\\wmetafile8 0102}{\\stylesheet{\\s1 x;}}{\\info{\\title t}}b") << S(u"ab");
    QTest::newRow("unknown control words ignored, text kept")
        << rtfBody(latinFont, "a\\foo12 b{\\bar c}") << S(u"abc");
    QTest::newRow("\\bin data is skipped")
        << rtfBody(latinFont, "a\\bin5 }}{\\xb") << S(u"ab");
    QTest::newRow("field shows its result")
        << rtfBody(latinFont, "{\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt link}}") << S(u"link");
    QTest::newRow("\\par, \\line, \\tab")
        << rtfBody(latinFont, "a\\par b\\line c\\tab d") << S(u"a\nb\nc\td");
    QTest::newRow("backslash before a line end is a paragraph")
        << rtfBody(latinFont, "a\\\r\nb\\\nc") << S(u"a\nb\nc");
    QTest::newRow("line ends in the source are not text")
        << rtfBody(latinFont, "a\r\nb\nc\rd") << S(u"abcd");
    QTest::newRow("trailing \\par opens no paragraph, a second one does")
        << rtfBody(latinFont, "a\\par\\par") << S(u"a\n");
    QTest::newRow("escaped braces and backslash")
        << rtfBody(latinFont, "\\{a\\\\b\\}") << S(u"{a\\b}");
    QTest::newRow("special characters")
        << rtfBody(latinFont, "\\emdash\\endash\\lquote\\rquote\\ldblquote\\rdblquote\\bullet\\~\\-\\_")
        << S(u"—–‘’“”• \u2011");
    QTest::newRow("hidden text is not shown")
        << rtfBody(latinFont, "a{\\v hidden}b\\v c\\v0 d") << S(u"abd");
    QTest::newRow("\\pntext and \\listtext are not doubled")
        << rtfBody(latinFont, "{\\pntext\\'b7\\tab}{\\listtext 1.\\tab}item") << S(u"item");
    QTest::newRow("space after a control word is its delimiter")
        << rtfBody(latinFont, "\\b  two\\b0 x") << S(u" twox");
    QTest::newRow("control symbols in a font name stay there")
        << rtfBody("{\\f0\\fcharset0 A\\~B\\_C\\'e9;}", "\\f0 x") << S(u"x");
    QTest::newRow("empty document") << QByteArray("{\\rtf1}") << QString();
}

void TestRtfCodec::reading()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, text);
    QTextDocument doc;
    doc.setPlainText("what the document held before");
    QVERIFY(rtf::read(rtf, &doc));
    QCOMPARE(doc.toPlainText(), text);
    QCOMPARE(rtf::plainText(rtf), text);
}

namespace {

using Builder = std::function<void(QTextCursor &)>;

QTextCharFormat fmt(std::initializer_list<const char *> flags, double pt = 0, const QString &fam = {},
                    const QColor &color = {})
{
    QTextCharFormat f;
    for (const char *flag : flags) {
        const QByteArray s(flag);
        if (s == "b") f.setFontWeight(QFont::Bold);
        if (s == "i") f.setFontItalic(true);
        if (s == "u") f.setFontUnderline(true);
        if (s == "s") f.setFontStrikeOut(true);
    }
    if (pt > 0)
        f.setFontPointSize(pt);
    if (!fam.isEmpty())
        f.setFontFamilies({fam});
    if (color.isValid())
        f.setForeground(color);
    return f;
}

void paragraph(QTextCursor &c, Qt::Alignment a)
{
    QTextBlockFormat b;
    b.setAlignment(a);
    c.insertBlock(b);
}

}  // namespace

void TestRtfCodec::roundTrip_data()
{
    QTest::addColumn<Builder>("build");

    QTest::newRow("Chinese with every character format") << Builder([](QTextCursor &c) {
        c.insertText(u"普通文字"_qs, fmt({}, 12, u"宋体"_qs));
        c.insertText(u"粗体"_qs, fmt({"b"}, 12, u"宋体"_qs));
        c.insertText(u"斜体"_qs, fmt({"i"}, 10.5, u"黑体"_qs));
        c.insertText(u"下划线"_qs, fmt({"u"}, 14, u"宋体"_qs, Qt::red));
        c.insertText(u"删除线"_qs, fmt({"s"}, 9, "Arial", QColor(0, 128, 0)));
        c.insertText(u"全部"_qs, fmt({"b", "i", "u", "s"}, 20, u"楷体"_qs, QColor(1, 2, 3)));
    });
    QTest::newRow("alignments") << Builder([](QTextCursor &c) {
        c.insertText(u"左"_qs);
        paragraph(c, Qt::AlignHCenter);
        c.insertText(u"中"_qs);
        paragraph(c, Qt::AlignRight);
        c.insertText(u"右"_qs);
        paragraph(c, Qt::AlignJustify);
        c.insertText(u"两端"_qs);
    });
    QTest::newRow("bullets and numbering") << Builder([](QTextCursor &c) {
        c.insertText(u"前"_qs);
        c.insertBlock();
        c.createList(QTextListFormat::ListDisc);
        c.insertText(u"甲"_qs);
        c.insertBlock();
        c.insertText(u"乙"_qs);
        paragraph(c, Qt::AlignLeft);
        c.insertText(u"中间"_qs);
        c.insertBlock();
        c.createList(QTextListFormat::ListDecimal);
        c.insertText(u"一"_qs);
        c.insertBlock();
        c.insertText(u"二"_qs);
        c.insertBlock();
        c.createList(QTextListFormat::ListUpperRoman);
        c.insertText("I");
    });
    QTest::newRow("characters RTF escapes") << Builder([](QTextCursor &c) {
        c.insertText(u"{a}\\b\tc\u2028d\u00a0e 😊 \uff01 ;\ufffc"_qs);
    });
    QTest::newRow("empty paragraphs keep their place") << Builder([](QTextCursor &c) {
        c.insertBlock();
        c.insertText("x");
        c.insertBlock();
        c.insertBlock();
    });
    QTest::newRow("empty document") << Builder([](QTextCursor &) {});
    QTest::newRow("font names outside GBK") << Builder([](QTextCursor &c) {
        c.insertText("a", fmt({}, 11, u"맑은 고딕"_qs));
        c.insertText("b", fmt({}, 11, u"ＭＳ 明朝"_qs));
        c.insertText("c", fmt({}, 11, "Font{With}Braces"));
    });
    QTest::newRow("text in a font called Symbol next to bullets") << Builder([](QTextCursor &c) {
        c.createList(QTextListFormat::ListDisc);
        c.insertText("abc", fmt({}, 11, "Symbol"));
        c.insertBlock();
        c.insertText(u"αβ"_qs, fmt({}, 11, "Symbol"));
    });
    QTest::newRow("format changes inside a paragraph of 2000 chars") << Builder([](QTextCursor &c) {
        for (int i = 0; i < 20; ++i)
            c.insertText(QString(100, QChar(0x4e00 + i)), fmt(i % 2 ? std::initializer_list<const char *>{"b"}
                                                                      : std::initializer_list<const char *>{"i"},
                                                               10 + i));
    });
}

void TestRtfCodec::roundTrip()
{
    QFETCH(Builder, build);
    QTextDocument original;
    QTextCursor cursor(&original);
    build(cursor);
    const QByteArray bytes = rtf::write(original);
    QTextDocument back;
    QVERIFY(rtf::read(bytes, &back));
    QCOMPARE(back.toPlainText(), original.toPlainText());
    QCOMPARE(rtf::plainText(bytes), original.toPlainText());
    QCOMPARE(describe(back), describe(original));
    // Written twice, the same bytes: nothing drifts on each save.
    QCOMPARE(rtf::write(back), bytes);
}

void TestRtfCodec::writerShape()
{
    QTextDocument doc;
    QTextCursor c(&doc);
    c.insertText(u"中文abc"_qs, fmt({"b"}, 12, u"宋体"_qs, Qt::blue));
    const QByteArray rtf = rtf::write(doc);
    QVERIFY2(rtf.startsWith("{\\rtf1\\ansi\\ansicpg936\\deff0"), rtf.constData());
    QVERIFY(rtf.contains("{\\fonttbl{\\f0"));
    QVERIFY(rtf.contains("{\\f1\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}"));
    QVERIFY(rtf.contains("{\\colortbl ;\\red0\\green0\\blue255;}"));
    QVERIFY2(rtf.contains("\\u20013?\\u25991?abc"), rtf.constData());
    // The first run states its font and size: readers differ in their defaults.
    QVERIFY2(rtf.contains("\\b\\f1\\fs24\\cf1 \\u20013?"), rtf.constData());
    for (char ch : rtf)
        QVERIFY2(static_cast<unsigned char>(ch) < 0x80, "the writer's output is 7-bit");
    int depth = 0;
    for (qsizetype i = 0; i < rtf.size(); ++i) {
        if (rtf[i] == '\\') { ++i; continue; }
        depth += rtf[i] == '{' ? 1 : rtf[i] == '}' ? -1 : 0;
        QVERIFY(depth >= 0);
        if (depth == 0)
            QCOMPARE(rtf.mid(i).trimmed(), QByteArray("}"));
        if (depth == 0)
            break;
    }
}

void TestRtfCodec::plainFallback_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("UTF-8 text") << S(u"中文\r\nabc\rz").toUtf8() << S(u"中文\nabc\nz");
    QTest::newRow("GBK text") << QByteArray("\xd6\xd0\xce\xc4\nx") << S(u"中文\nx");
    QTest::newRow("empty") << QByteArray() << QString();
}

void TestRtfCodec::plainFallback()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QTextDocument doc;
    QVERIFY(!rtf::read(bytes, &doc));
    QCOMPARE(doc.toPlainText(), text);
    QCOMPARE(rtf::plainText(bytes), text);
}

void TestRtfCodec::malformed_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("text");

    const QByteArray head = "{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0\\fcharset134 SimSun;}}";
    QTest::newRow("missing closing braces") << head + "{\\b a{\\i b" << S(u"ab");
    QTest::newRow("extra closing braces end the document") << head + "a}}}b" << S(u"a");
    QTest::newRow("text after the document is ignored") << head + "a}trailing{\\rtf1 b}" << S(u"a");
    QTest::newRow("truncated hex escape") << head + "a\\'d" << S(u"a");
    QTest::newRow("bad hex escape") << head + "a\\'zzb}" << S(u"azzb");
    QTest::newRow("backslash at the end") << head + "a\\" << S(u"a");
    QTest::newRow("lead byte at the end") << head + "a\\'d6" << S(u"a\ufffd");
    QTest::newRow("\\u without value") << head + "a\\u}" << S(u"a");
    QTest::newRow("absurd parameters") << head + "\\fs99999999999999999999\\f-7\\cf123456789012 a\\uc2147483647 b}"
                                       << S(u"ab");
    QTest::newRow("absurd \\u value") << head + "\\u99999999999 ?a}" << S(u"\ufffda");
    QTest::newRow("\\bin past the end") << head + "a\\bin99999999999 bc" << S(u"a");
    QTest::newRow("negative \\bin") << head + "a\\bin-5 b}" << S(u"ab");
    QTest::newRow("very long control word") << head + "a\\" + QByteArray(100000, 'x') + "5 b}" << S(u"ab");
    QTest::newRow("very long digits") << head + "a\\fs" + QByteArray(100000, '9') + " b}" << S(u"ab");
    QTest::newRow("deep nesting is bounded")
        << head + "a" + QByteArray(200000, '{') + "deep" + QByteArray(200000, '}') + "c}" << S(u"ac");
    QTest::newRow("deep nesting never closed") << head + "a" + QByteArray(200000, '{') + "x" << S(u"a");
    QTest::newRow("destination at the top level is ignored") << head + "a\\fonttbl b\\*\\pict c}" << S(u"abc");
    QTest::newRow("NUL bytes and control bytes") << head + QByteArray("a\0\x01\x7f" "b}", 6) << S(u"a\u007fb");
    QTest::newRow("colour table without entries") << QByteArray("{\\rtf1{\\colortbl}\\cf5 a}") << S(u"a");
    QTest::newRow("font table never closed") << QByteArray("{\\rtf1{\\fonttbl{\\f0 Arial") << QString();
    QTest::newRow("\\upr without \\ud") << head + "{\\upr{a}}b}" << S(u"b");
    QTest::newRow("\\ud outside \\upr is read") << head + "{\\*\\ud a}b}" << S(u"ab");
}

void TestRtfCodec::malformed()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, text);
    QTextDocument doc;
    rtf::read(rtf, &doc);
    QCOMPARE(doc.toPlainText(), text);
    QCOMPARE(rtf::plainText(rtf), text);
}

// Random damage to the samples: whatever is read, the plain text and the
// document agree on every position, and reading never fails hard.
void TestRtfCodec::mutatedSamplesKeepPositions()
{
    QRandomGenerator rng(20240601);
    const QByteArray samples[] = {richEditGbk, wordUnicode, libreOffice, big5Sample, shiftJisSample};
    for (int round = 0; round < 3000; ++round) {
        QByteArray bytes = samples[round % 5];
        const int edits = 1 + rng.bounded(8);
        for (int e = 0; e < edits; ++e) {
            const int at = rng.bounded(int(bytes.size()));
            switch (rng.bounded(4)) {
            case 0: bytes[at] = char(rng.bounded(256)); break;
            case 1: bytes.remove(at, rng.bounded(16)); break;
            case 2: bytes.insert(at, "{}\\'\\u-\\par\\line\\uc2\xd6\xd0\x85\r\n" + rng.bounded(20), 1 + rng.bounded(3)); break;
            case 3: bytes.truncate(at); break;
            }
            if (bytes.isEmpty())
                bytes = "{";
        }
        QTextDocument doc;
        rtf::read(bytes, &doc);
        const QString expected = doc.toPlainText();
        if (rtf::plainText(bytes) != expected)
            QFAIL(qPrintable("positions differ for: " + QString::fromLatin1(bytes.toPercentEncoding())));
    }
}

void TestRtfCodec::libreOfficeReadsOurRtf()
{
    const QString soffice = QStandardPaths::findExecutable("soffice");
    if (soffice.isEmpty())
        QSKIP("soffice is not on PATH (Debian libreoffice-writer-nogui); LibreOffice comparison not run");
    QTextDocument doc;
    QTextCursor c(&doc);
    c.insertText(u"第一段，"_qs, fmt({"b"}, 12, u"宋体"_qs));
    c.insertText(u"混合 text {x}"_qs, fmt({"i"}, 10.5, "Arial", Qt::red));
    paragraph(c, Qt::AlignHCenter);
    c.insertText(u"居中的第二段 😊"_qs);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QFile file(dir.filePath("doc.rtf"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(rtf::write(doc));
    file.close();
    QProcess proc;
    proc.start(soffice, {"--headless", "-env:UserInstallation=file://" + dir.filePath("profile"), "--convert-to",
                         "txt:Text (encoded):UTF8", "--outdir", dir.path(), file.fileName()});
    QVERIFY(proc.waitForFinished(120000));
    QFile txt(dir.filePath("doc.txt"));
    QVERIFY2(txt.open(QIODevice::ReadOnly), "LibreOffice wrote no text file");
    QString text = QString::fromUtf8(txt.readAll());
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    text.replace("\r\n", "\n");
    while (text.endsWith(u'\n'))
        text.chop(1);
    QCOMPARE(text, doc.toPlainText());
}

QTEST_MAIN(TestRtfCodec)
#include "tst_rtfcodec.moc"
