// Costing of item requisitions: the first-in-first-out price of their lines when
// they are saved, and the header amounts the stock summary report reads.
#pragma once

#include "client/core/data/DataResult.h"

namespace qv::client {

class DataSet;
class TData;

// Sets DJ of every line whose item is costed first-in-first-out (HPHSFSID 2) to
// fifoIssueCost at the header's warehouse and date, in line order, and posts
// each line. Lines are costed each on its own against the ledger: lines of the
// same document do not see each other. Answers the number of lines recosted;
// the first failure stops the walk (lines already recosted keep their price).
DataResult<int> recostRequisitionLines(TData &data, DataSet &header, DataSet &lines);

// Rewrites JE of every requisition header from its lines (sum of SL x DJ).
// The query runs on `dataSet`; each update goes through a dataset of its own on
// pTmpf, and an update that fails is skipped. Answers the headers updated.
DataResult<int> recalcRequisitionAmounts(TData &data, DataSet &dataSet);

} // namespace qv::client
