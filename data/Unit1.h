#pragma once
#include "data/dataset.h"

#include <QObject>

// The data module: owns every connection, dataset and data source for the
// whole run. No other code opens a connection or declares a dataset.
class TMastData : public QObject {
    Q_OBJECT
public:
    explicit TMastData(QObject *parent = nullptr);
    ~TMastData() override;

    TADOConnection *ADOConnection1;
    TADOConnection *ADOConnection2;  // declared for upgrades; never opened

    // Level datasets: topics of levels 1 to 4 and the links filed under them.
    TADOTable *ADOTable1, *ADOTable2, *ADOTable3, *ADOTable4;
    TADOTable *ADOTable5, *ADOTable6, *ADOTable7, *ADOTable8;
    TDataSource *DataSource1, *DataSource2, *DataSource3, *DataSource4;
    TDataSource *DataSource5, *DataSource6, *DataSource7, *DataSource8;

    TADOTable *ADOTmain;  // all documents; its current row is the current document
    TADOTable *ADOTfile;  // the current document's rich text row
    TADOTable *ADOTgl2;   // the current document's links
    TDataSource *DSADOTmain, *DSADOTfile, *DSADOTgl2;

    TADOTable *ADOTzt;
    TADOTable *ADOTable1check;
    TADOTable *ADOTtemp;  // the topic counter
    TADOTable *ADOTupmain;

    TADOQuery *ADOQuery1;  // one topic's links, with the document name looked up
    TADOQuery *ADOQuery2;  // search results
    TADOQuery *ADOQgldelete;
    TDataSource *DSADOQuery1, *DSADOQuery2;
    TADOQuery *adoquery = nullptr;  // whichever query backs the document grid

    TADOTable *topicLevel(int level) const;  // ADOTable1..4
    TADOTable *linkLevel(int level) const;   // ADOTable5..8
    Database &database() { return ADOConnection1->database(); }
    // Starts reading, on threads of their own, what opening the documents
    // and loading the tree need from the largest tables.
    void prefetchLargeTables();

    // New-row hooks of the topic datasets: hand out the next order key.
    void ADOTable123NewRecord(TDataSet &dataSet);
    void ADOTable2NewRecord(TDataSet &dataSet);
    void ADOTable3NewRecord(TDataSet &dataSet);
    void ADOTable4NewRecord(TDataSet &dataSet);

private:
    void takeTopicNumber(TDataSet &topic);
};

extern TMastData *MastData;
