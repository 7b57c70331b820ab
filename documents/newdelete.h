#pragma once

class TDocumentHost;
class TMastData;

// New document ("未命名", opened at once) and delete document (the active
// editor window's, with its links and body, after a question).
class TDocumentCommands {
public:
    TDocumentCommands(TMastData &data, TDocumentHost &host);
    void ToolButton26Click();
    void ToolButton29Click();

private:
    TMastData &data_;
    TDocumentHost &host_;
};
