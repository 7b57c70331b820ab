#include "data/Unit1.h"

#include "data/schema.h"
#include "data/transaction.h"

TMastData *MastData = nullptr;

TMastData::TMastData(QObject *parent) : QObject(parent)
{
    setObjectName("MastData");
    ADOConnection1 = new TADOConnection(schema::libraryFileName, this);
    ADOConnection1->setObjectName("ADOConnection1");
    ADOConnection2 = new TADOConnection(QString(), this);
    ADOConnection2->setObjectName("ADOConnection2");

    auto table = [this](const QString &name, const char *tableName, TADOConnection *c = nullptr) {
        return new TADOTable(c ? c : ADOConnection1, name, tableName, this);
    };
    auto source = [this](const QString &name, TDataSet *ds) { return new TDataSource(name, ds, this); };

    // One topic dataset and one link dataset per level, the link dataset the
    // detail of the topic dataset of its level.
    TADOTable **topics[] = {&ADOTable1, &ADOTable2, &ADOTable3, &ADOTable4};
    TADOTable **links[] = {&ADOTable5, &ADOTable6, &ADOTable7, &ADOTable8};
    TDataSource **topicSources[] = {&DataSource1, &DataSource2, &DataSource3, &DataSource4};
    TDataSource **linkSources[] = {&DataSource5, &DataSource6, &DataSource7, &DataSource8};
    for (int k = 0; k < 4; ++k) {
        *topics[k] = table(QStringLiteral("ADOTable%1").arg(k + 1), "zt");
        (*topics[k])->setSort("itno");
        *topicSources[k] = source(QStringLiteral("DataSource%1").arg(k + 1), *topics[k]);
        *links[k] = table(QStringLiteral("ADOTable%1").arg(k + 5), "gl");
        (*links[k])->setSort("ztid");
        (*links[k])->setMaster(*topicSources[k], "id", "ztid");
        *linkSources[k] = source(QStringLiteral("DataSource%1").arg(k + 5), *links[k]);
    }
    ADOTable1->setFilter("preid=0");
    ADOTable1->setFiltered(true);
    ADOTable1->onNewRecord = [this](TDataSet &ds) { ADOTable123NewRecord(ds); };
    ADOTable2->onNewRecord = [this](TDataSet &ds) { ADOTable2NewRecord(ds); };
    ADOTable3->onNewRecord = [this](TDataSet &ds) { ADOTable3NewRecord(ds); };
    ADOTable4->onNewRecord = [this](TDataSet &ds) { ADOTable4NewRecord(ds); };

    ADOTmain = table("ADOTmain", "mainfile");
    DSADOTmain = source("DSADOTmain", ADOTmain);
    ADOTfile = table("ADOTfile", "richfile");
    ADOTfile->setSort("fileid");
    ADOTfile->setMaster(DSADOTmain, "id", "fileid");
    DSADOTfile = source("DSADOTfile", ADOTfile);
    ADOTgl2 = table("ADOTgl2", "gl");
    ADOTgl2->setSort("fileid");
    ADOTgl2->setMaster(DSADOTmain, "id", "fileid");
    DSADOTgl2 = source("DSADOTgl2", ADOTgl2);

    ADOTzt = table("ADOTzt", "zt");
    ADOTable1check = table("ADOTable1check", "zt");
    ADOTtemp = table("ADOTtemp", "temp");
    ADOTupmain = table("ADOTupmain", "upmain", ADOConnection2);

    ADOQuery1 = new TADOQuery(ADOConnection1, "ADOQuery1", this);
    ADOQuery1->addSql("select * from gl");
    ADOQuery1->addLookupField("name", "fileid", ADOTmain, "id", "name");
    DSADOQuery1 = source("DSADOQuery1", ADOQuery1);
    ADOQuery2 = new TADOQuery(ADOConnection1, "ADOQuery2", this);
    ADOQuery2->addSql("Select * from mainfile");
    DSADOQuery2 = source("DSADOQuery2", ADOQuery2);
    ADOQgldelete = new TADOQuery(ADOConnection1, "ADOQgldelete", this);
}

TMastData::~TMastData()
{
    // Details close before their masters; a row still in edit is dropped,
    // never posted, and nothing thrown leaves here.
    std::vector<TDataSet *> order{ADOTable5, ADOTable6, ADOTable7, ADOTable8, ADOTfile, ADOTgl2};
    for (QObject *o : children())
        if (auto *ds = qobject_cast<TDataSet *>(o); ds && std::find(order.begin(), order.end(), ds) == order.end())
            order.push_back(ds);
    for (TDataSet *ds : order) {
        try {
            ds->cancel();
            ds->close();
        } catch (...) {}
    }
    if (MastData == this) MastData = nullptr;
}

void TMastData::prefetchLargeTables()
{
    // The documents with their title order for the list of all documents,
    // and the number of links per topic for the tree.
    database().prefetch("mainfile", "name");
    database().prefetchCounts("gl", "ztid");
}

TADOTable *TMastData::topicLevel(int level) const
{
    switch (level) {
    case 1: return ADOTable1;
    case 2: return ADOTable2;
    case 3: return ADOTable3;
    case 4: return ADOTable4;
    default: return nullptr;
    }
}

TADOTable *TMastData::linkLevel(int level) const
{
    switch (level) {
    case 1: return ADOTable5;
    case 2: return ADOTable6;
    case 3: return ADOTable7;
    case 4: return ADOTable8;
    default: return nullptr;
    }
}

void TMastData::takeTopicNumber(TDataSet &topic)
{
    // Read and stepped under the write lock, from the file rather than from
    // this dataset's copy: another copy of the program may have taken a
    // number since the copy was made.
    Transaction t(database(), {ADOTtemp});
    ADOTtemp->close();
    ADOTtemp->open();
    const qint64 num = ADOTtemp->isEmpty() ? 0 : ADOTtemp->fieldInt("num");
    topic.setFieldValue("itno", num);
    // The counter is stored before the topic row: an abandoned topic keeps
    // its number used, so order keys stay unique.
    ADOTtemp->edit();
    ADOTtemp->setFieldValue("num", ADOTtemp->fieldInt("num") + 1);
    ADOTtemp->post();
    t.commit();
}

void TMastData::ADOTable123NewRecord(TDataSet &dataSet)
{
    takeTopicNumber(dataSet);
    dataSet.setFieldValue("preid", 0);
}

void TMastData::ADOTable2NewRecord(TDataSet &dataSet)
{
    takeTopicNumber(dataSet);
}
void TMastData::ADOTable3NewRecord(TDataSet &dataSet)
{
    takeTopicNumber(dataSet);
}
void TMastData::ADOTable4NewRecord(TDataSet &dataSet)
{
    takeTopicNumber(dataSet);
}
