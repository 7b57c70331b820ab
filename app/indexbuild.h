#pragma once
class Database;

// Builds the body index of a library that has none (made elsewhere, or by
// an earlier version), showing how far it is. The user may cancel: the
// body search then reads every body, and the next start goes on from there.
void buildBodyIndex(Database &db);
