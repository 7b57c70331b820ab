// Feeds arbitrary text to the filter parser. Besides crashes and sanitizer
// reports it stops when an accepted filter does not survive quoting: the
// value, quoted and parsed again, must come back as it was.
#include "data/dataerror.h"
#include "data/filter.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    FilterCondition c;
    try {
        c = parseFilter(text);
    } catch (const DataError &) {
        return 0;
    }
    try {
        const FilterCondition again = parseFilter(c.column + QStringLiteral(" = ") + quotedFilterValue(c.value));
        if (again.column != c.column || again.value != c.value) std::abort();
    } catch (const DataError &) {
        std::abort();
    }
    return 0;
}
