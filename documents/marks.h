#pragma once
#include <QString>

class TDocumentHost;
class TForm3;
class TMastData;

// Marks of places in documents, listed in the jump window: "M" adds one for
// the active editor, "选定" goes to the selected one, "<" and ">" to the one
// made before or after it.
class TMarks {
public:
    TMarks(TMastData &data, TForm3 &list, TDocumentHost &host);
    void SpeedButton5Click();   // "M"
    void SpeedButton11Click();  // "<"
    void SpeedButton10Click();  // ">"
    void goToSelected();        // "选定", double click

private:
    void step(int by);
    TMastData &data_;
    TForm3 &list_;
    TDocumentHost &host_;
};
