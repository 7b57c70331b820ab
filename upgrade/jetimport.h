#pragma once
// Bringing a library of the Windows version into a library of this program:
// every topic, document, rich-text body and link, in one transaction.
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class Database;
class JetFile;

struct ImportSummary {
    bool keptIds = false;  // into an empty library the ids stay as they were
    qint64 topics = 0;
    qint64 documents = 0;
    qint64 bodies = 0;
    qint64 links = 0;
    QStringList skipped;  // one line per row left out, with the reason
};

// Called now and then with the rows read so far and in all; returning false
// cancels the import.
using ImportProgress = std::function<bool(qint64 done, qint64 total)>;

// Throws JetError naming what a library of the Windows version has and the
// file lacks.
void checkJetLibrary(JetFile &jet);

// Imports jet into db. Into a library without topics, documents, bodies or
// links the ids are kept and the topic counter goes on from the old one;
// otherwise every row gets a new id and the topic order keys come from this
// library's counter. The imported bodies are left to the body index's next
// build. Returns nothing when cancelled. Cancelling, or any error (JetError,
// DataError), leaves db as it was.
std::optional<ImportSummary> importJetLibrary(Database &db, JetFile &jet, const ImportProgress &progress);

// The summary as the user reads it.
QString summaryText(const ImportSummary &summary);
