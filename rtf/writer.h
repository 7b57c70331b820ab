#pragma once
#include <QByteArray>

class QTextDocument;

namespace rtf {

QByteArray writeDocument(const QTextDocument &doc);

}  // namespace rtf
