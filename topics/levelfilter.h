#pragma once
#include <QtGlobal>

class TDataSet;

// Filters a topic dataset to the children of a topic. The reload writes
// "preid = '7'" and the locate "preid ='7'", without the blank after the
// equals sign: both select the same rows, and each keeps its own text
// because the filter text is what a caller reads back from the dataset.
enum class FilterText { Reload, Locate };
void filterToChildren(TDataSet *topics, qint64 parentId, FilterText text);
