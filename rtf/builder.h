#pragma once
#include "rtf/model.h"

class QTextDocument;

namespace rtf {

// Replaces doc's content with the paragraphs, their formats and lists.
void build(const Content &content, QTextDocument *doc);

// The text QTextDocument::toPlainText() gives for the document build() makes.
QString plainTextOf(const Content &content);

}  // namespace rtf
