#include "rtf/keywords.h"

#include <unordered_map>

namespace rtf {

namespace {

const std::unordered_map<std::string_view, Kw> &table()
{
    static const std::unordered_map<std::string_view, Kw> words = [] {
        std::unordered_map<std::string_view, Kw> m = {
            {"ansi", Kw::Ansi}, {"mac", Kw::Mac}, {"pc", Kw::Pc}, {"pca", Kw::Pca},
            {"ansicpg", Kw::Ansicpg}, {"deff", Kw::Deff},
            {"fonttbl", Kw::Fonttbl}, {"colortbl", Kw::Colortbl}, {"pn", Kw::Pn},
            {"listtable", Kw::Listtable}, {"listoverridetable", Kw::Listoverridetable},
            {"upr", Kw::Upr}, {"ud", Kw::Ud},
            {"f", Kw::F}, {"fcharset", Kw::Fcharset}, {"cpg", Kw::Cpg},
            {"red", Kw::Red}, {"green", Kw::Green}, {"blue", Kw::Blue},
            {"list", Kw::List}, {"listlevel", Kw::Listlevel}, {"levelnfc", Kw::Levelnfc},
            {"levelnfcn", Kw::Levelnfc}, {"listid", Kw::Listid},
            {"listoverride", Kw::Listoverride}, {"ls", Kw::Ls},
            {"pnlvlblt", Kw::Pnlvlblt}, {"pnlvlbody", Kw::Pnlvlbody}, {"pnlvl", Kw::Pnlvl},
            {"pnlvlcont", Kw::Pnlvlcont}, {"pndec", Kw::Pndec}, {"pnucltr", Kw::Pnucltr},
            {"pnlcltr", Kw::Pnlcltr}, {"pnucrm", Kw::Pnucrm}, {"pnlcrm", Kw::Pnlcrm},
            {"par", Kw::Par}, {"sect", Kw::Par}, {"page", Kw::Par}, {"row", Kw::Row},
            {"nestrow", Kw::Row}, {"line", Kw::Line}, {"tab", Kw::Tab}, {"cell", Kw::Cell},
            {"nestcell", Kw::Cell}, {"u", Kw::U}, {"uc", Kw::Uc}, {"bin", Kw::Bin},
            {"emdash", Kw::Emdash}, {"endash", Kw::Endash}, {"lquote", Kw::Lquote},
            {"rquote", Kw::Rquote}, {"ldblquote", Kw::Ldblquote}, {"rdblquote", Kw::Rdblquote},
            {"bullet", Kw::Bullet}, {"emspace", Kw::Emspace}, {"enspace", Kw::Enspace},
            {"qmspace", Kw::Qmspace}, {"zwj", Kw::Zwj}, {"zwnj", Kw::Zwnj},
            {"ltrmark", Kw::Ltrmark}, {"rtlmark", Kw::Rtlmark},
            {"plain", Kw::Plain}, {"pard", Kw::Pard}, {"b", Kw::B}, {"i", Kw::I},
            {"ul", Kw::Ul}, {"ulnone", Kw::Ulnone}, {"strike", Kw::Strike},
            {"striked", Kw::Strike}, {"v", Kw::V}, {"fs", Kw::Fs}, {"cf", Kw::Cf},
            {"ql", Kw::Ql}, {"qc", Kw::Qc}, {"qr", Kw::Qr}, {"qj", Kw::Qj}, {"qd", Kw::Qj},
        };
        // Underline styles: all shown as a plain underline.
        for (std::string_view w : {"uld", "uldash", "uldashd", "uldashdd", "uldb", "ulhwave",
                                   "ulldash", "ulth", "ulthd", "ulthdash", "ulthdashd",
                                   "ulthdashdd", "ulthldash", "ululdbwave", "ulw", "ulwave"})
            m.emplace(w, Kw::UlStyle);
        // Destinations whose text is not part of the body.
        for (std::string_view w :
             {"stylesheet", "info", "pict", "object", "objdata", "header", "headerl", "headerr",
              "headerf", "footer", "footerl", "footerr", "footerf", "footnote", "annotation",
              "atnid", "atnauthor", "pntext", "listtext", "pntxta", "pntxtb", "fldinst",
              "filetbl", "revtbl", "rsidtbl", "xmlnstbl", "bkmkstart", "bkmkend", "template",
              "themedata", "colorschememapping", "latentstyles", "datastore", "datafield",
              "docvar", "nonshppict", "shpinst", "shptxt", "sp", "sn", "sv", "generator", "xe",
              "tc", "txe", "rxe", "userprops", "mmathPr", "pgdsctbl", "listpicture", "ftnsep",
              "ftnsepc", "aftnsep", "aftnsepc", "blipuid", "picprop", "title", "subject",
              "author", "operator", "keywords", "comment", "doccomm", "company", "category",
              "manager", "hlinkbase", "falt", "panose", "fname", "leveltext", "levelnumbers",
              "listname", "pnseclvl", "background", "private"})
            m.emplace(w, Kw::SkipDest);
        return m;
    }();
    return words;
}

}  // namespace

Kw keyword(std::string_view word)
{
    // \u comes once for every character outside ASCII: spare it the lookup.
    if (word.size() == 1 && word[0] == 'u') return Kw::U;
    const auto &t = table();
    const auto it = t.find(word);
    return it == t.end() ? Kw::Unknown : it->second;
}

}  // namespace rtf
