#include "data/transaction.h"

#include "data/database.h"
#include "data/dataset.h"

Transaction::Transaction(Database &db, std::initializer_list<TDataSet *> rereadOnFailure)
    : db_(db), reread_(rereadOnFailure)
{
    db_.begin();
}

Transaction::~Transaction()
{
    if (done_) return;
    try {
        db_.rollback();
    } catch (...) {}
    // Nothing may leave a destructor: a dataset that cannot be read again
    // stays closed, and its next use reports why.
    for (TDataSet *ds : reread_) {
        try {
            const bool wasOpen = ds->active();
            ds->close();
            if (wasOpen) ds->open();
        } catch (...) {}
    }
}

void Transaction::commit()
{
    db_.commit();
    done_ = true;
}
