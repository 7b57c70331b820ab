#pragma once
// The control words the reader acts on; every other word is ignored.
#include <string_view>

namespace rtf {

enum class Kw {
    Unknown,
    // document and code pages
    Ansi,
    Mac,
    Pc,
    Pca,
    Ansicpg,
    Deff,
    // destinations
    Fonttbl,
    Colortbl,
    SkipDest,
    Pn,
    Listtable,
    Listoverridetable,
    Upr,
    Ud,
    // tables of fonts, colours and lists
    F,
    Fcharset,
    Cpg,
    Red,
    Green,
    Blue,
    List,
    Listlevel,
    Levelnfc,
    Listid,
    Listoverride,
    Ls,
    // \pn numbering
    Pnlvlblt,
    Pnlvlbody,
    Pnlvl,
    Pnlvlcont,
    Pndec,
    Pnucltr,
    Pnlcltr,
    Pnucrm,
    Pnlcrm,
    // text
    Par,
    Line,
    Tab,
    Cell,
    Row,
    U,
    Uc,
    Bin,
    Emdash,
    Endash,
    Lquote,
    Rquote,
    Ldblquote,
    Rdblquote,
    Bullet,
    Emspace,
    Enspace,
    Qmspace,
    Zwj,
    Zwnj,
    Ltrmark,
    Rtlmark,
    // character and paragraph formats
    Plain,
    Pard,
    B,
    I,
    Ul,
    Ulnone,
    UlStyle,
    Strike,
    V,
    Fs,
    Cf,
    Ql,
    Qc,
    Qr,
    Qj,
};

Kw keyword(std::string_view word);

}  // namespace rtf
