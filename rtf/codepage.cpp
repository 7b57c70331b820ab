#include "rtf/codepage.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <iterator>
#include <memory>
#include <unordered_map>

namespace rtf {

int codePageForCharset(int charset)
{
    switch (charset) {
    case 0: return 1252;  // ANSI
    case 2: return SymbolCodePage;
    case 77: return 10000;  // Mac Roman
    case 128: return 932;   // Shift-JIS
    case 129: return 949;   // Hangul
    case 130: return 1361;  // Johab
    case 134: return 936;   // GB2312 in the header, GBK in real files
    case 136: return 950;   // Big5
    case 161: return 1253;  // Greek
    case 162: return 1254;  // Turkish
    case 163: return 1258;  // Vietnamese
    case 177: return 1255;  // Hebrew
    case 178: return 1256;  // Arabic
    case 186: return 1257;  // Baltic
    case 204: return 1251;  // Cyrillic
    case 222: return 874;   // Thai
    case 238: return 1250;  // Eastern European
    case 254: return 437;   // PC 437
    case 255: return 850;   // OEM
    default: return 0;      // 1 (DEFAULT) and anything unknown
    }
}

bool isDoubleByte(int codePage)
{
    return codePage == 932 || codePage == 936 || codePage == 949 || codePage == 950 || codePage == 1361;
}

bool isLeadByte(int codePage, unsigned char b)
{
    switch (codePage) {
    case 932: return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    case 936:
    case 949:
    case 950: return b >= 0x81 && b <= 0xFE;
    case 1361: return b >= 0x84 && b <= 0xF9;
    default: return false;
    }
}

namespace {

const char *codecName(int codePage)
{
    switch (codePage) {
    case 932: return "windows-31j";
    case 936: return "GBK";
    case 949: return "windows-949";
    case 950: return "Big5";
    case 1361: return "windows-949";  // ICU has no Johab; Hangul is the nearest
    case 10000: return "macintosh";
    case 437: return "IBM437";
    case 850: return "IBM850";
    case 874: return "windows-874";
    case 65001: return "UTF-8";
    default: return nullptr;
    }
}

// The converter of a code page; windows-1252 for those not known here.
QByteArray converterName(int codePage)
{
    if (const char *fixed = codecName(codePage)) return fixed;
    if (codePage >= 1250 && codePage <= 1258) return "windows-" + QByteArray::number(codePage);
    return "windows-1252";
}

// Symbol font bytes 0x41..0x7A: Greek letters laid out on the Latin keys.
constexpr char16_t symbolLetters[] = u"ΑΒΧΔΕΦΓΗΙϑΚΛΜΝΟΠΘΡΣΤΥςΩΞΨΖ[∴]⊥_‾αβχδεφγηιϕκλμνοπθρστυϖωξψζ";

static_assert(std::size(symbolLetters) == 0x7A - 0x41 + 2);

QString decodeSymbol(const QByteArray &bytes)
{
    QString out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x41 && b <= 0x7A)
            out += QChar(symbolLetters[b - 0x41]);
        else if (b == 0xB7)
            out += QChar(0x2022);  // the bullet rich-edit controls write
        else if (b < 0x80)
            out += QChar(b);
        else
            out += QChar(0xF000 + b);  // as Windows maps the remaining glyphs
    }
    return out;
}

}  // namespace

QString decode(int codePage, const QByteArray &bytes)
{
    if (codePage == SymbolCodePage) return decodeSymbol(bytes);
    // One decoder per code page for the whole run: ICU converters are costly
    // to open and a document switches code page at every font change.
    thread_local std::unordered_map<int, std::unique_ptr<QStringDecoder>> cache;
    auto &slot = cache[codePage];
    if (!slot) {
        slot = std::make_unique<QStringDecoder>(converterName(codePage).constData(), QStringDecoder::Flag::Stateless);
        if (!slot->isValid()) slot = std::make_unique<QStringDecoder>("windows-1252", QStringDecoder::Flag::Stateless);
    }
    return slot->decode(bytes);
}

QByteArray encode(int codePage, const QString &text, bool *ok)
{
    QStringEncoder encoder(converterName(codePage).constData(), QStringEncoder::Flag::Stateless);
    if (!encoder.isValid()) encoder = QStringEncoder("windows-1252", QStringEncoder::Flag::Stateless);
    QByteArray bytes = encoder.encode(text);
    if (ok) *ok = !encoder.hasError();
    return bytes;
}

}  // namespace rtf
