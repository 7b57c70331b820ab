#pragma once
#include <initializer_list>
#include <vector>

class Database;
class TDataSet;

// Writes that belong together: begun here, committed by commit(), rolled
// back if the scope ends without it (an error left the command). The
// datasets named take a fresh copy after a rollback, because their copies
// already show the writes the file no longer holds.
//
//   Transaction t(MastData->database(), {MastData->ADOTable2});
//   ... post, remove ...
//   t.commit();
class Transaction {
public:
    explicit Transaction(Database &db, std::initializer_list<TDataSet *> rereadOnFailure = {});
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    void commit();

private:
    Database &db_;
    std::vector<TDataSet *> reread_;
    bool done_ = false;
};
