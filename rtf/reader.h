#pragma once
#include "rtf/model.h"

#include <QByteArray>

namespace rtf {

// Parses RTF bytes into paragraphs and runs. Bytes that do not start like RTF
// are taken as plain text (UTF-8 when valid, else GBK), the way a rich-edit
// control loads them; the result is then false and out->plain is set.
bool parse(const QByteArray &bytes, Content *out);

}  // namespace rtf
