// The order in which a dataset raises the events windows hook, one table row
// per operation.
#include "DataSetFixture.h"

namespace qv::client::test {
namespace {

using Step = std::function<void(DataSet &)>;

struct EventCase {
    const char *name;
    Step setup;  // brings the dataset into the starting state (not logged)
    Step action; // the operation whose events are checked
    QStringList expected;
};

void PrintTo(const EventCase &c, std::ostream *os)
{
    *os << c.name;
}

const QStringList kPost = {"beforePost", "stateChange:Browse", "dataChange", "afterPost"};
const QStringList kCancel = {"beforeCancel", "stateChange:Browse", "dataChange", "afterCancel"};
const QStringList kScroll = {"beforeScroll", "afterScroll", "dataChange"};

void setSL(DataSet &ds, double value)
{
    ASSERT_TRUE(ds.fieldByName(u"SL")->setValue(value));
}

const EventCase kCases[] = {
    {"open", [](DataSet &ds) { ds.close(); }, [](DataSet &ds) { ds.open(); },
     {"beforeOpen", "stateChange:Browse", "afterOpen", "afterScroll", "dataChange"}},
    {"close", nullptr, [](DataSet &ds) { ds.close(); },
     {"beforeClose", "stateChange:Inactive", "afterClose"}},
    {"append", nullptr, [](DataSet &ds) { ds.append(); },
     {"beforeInsert", "beforeScroll", "stateChange:Insert", "newRecord", "dataChange", "afterInsert",
      "afterScroll"}},
    {"insert", [](DataSet &ds) { ds.moveTo(2); }, [](DataSet &ds) { ds.insert(); },
     {"beforeInsert", "beforeScroll", "stateChange:Insert", "newRecord", "dataChange", "afterInsert",
      "afterScroll"}},
    {"edit", nullptr, [](DataSet &ds) { ds.edit(); },
     {"beforeEdit", "stateChange:Edit", "dataChange", "afterEdit"}},
    {"setting a field while browsing edits first", nullptr, [](DataSet &ds) { setSL(ds, 9); },
     {"beforeEdit", "stateChange:Edit", "dataChange", "afterEdit", "dataChange:SL"}},
    {"setting a field while editing", [](DataSet &ds) { ds.edit(); },
     [](DataSet &ds) { setSL(ds, 9); }, {"dataChange:SL"}},
    {"post", [](DataSet &ds) { setSL(ds, 9); }, [](DataSet &ds) { ds.post(); }, kPost},
    {"post while browsing does nothing", nullptr, [](DataSet &ds) { ds.post(); }, {}},
    {"cancel an edit", [](DataSet &ds) { setSL(ds, 9); }, [](DataSet &ds) { ds.cancel(); }, kCancel},
    {"cancel an insert", [](DataSet &ds) { ds.insert(); }, [](DataSet &ds) { ds.cancel(); }, kCancel},
    {"delete", [](DataSet &ds) { ds.moveTo(1); }, [](DataSet &ds) { ds.remove(); },
     {"beforeDelete", "beforeScroll", "dataChange", "afterDelete", "afterScroll"}},
    {"delete while editing drops the edit", [](DataSet &ds) { setSL(ds, 9); },
     [](DataSet &ds) { ds.remove(); },
     {"beforeDelete", "beforeScroll", "stateChange:Browse", "dataChange", "afterDelete", "afterScroll"}},
    {"delete of an unposted insert cancels it", [](DataSet &ds) { ds.insert(); },
     [](DataSet &ds) { ds.remove(); }, kCancel},
    {"next", nullptr, [](DataSet &ds) { ds.next(); }, kScroll},
    {"moveTo", nullptr, [](DataSet &ds) { ds.moveTo(3); }, kScroll},
    {"last", nullptr, [](DataSet &ds) { ds.last(); }, kScroll},
    {"first at the first row moves nowhere", nullptr, [](DataSet &ds) { ds.first(); }, {}},
    {"next past the end moves nowhere", [](DataSet &ds) { ds.last(); }, [](DataSet &ds) { ds.next(); },
     {}},
    {"moving posts a changed row first", [](DataSet &ds) { setSL(ds, 9); },
     [](DataSet &ds) { ds.next(); }, kPost + kScroll},
    {"moving cancels an unchanged edit", [](DataSet &ds) { ds.edit(); },
     [](DataSet &ds) { ds.next(); }, kCancel + kScroll},
    {"moving away from an untouched new row discards it",
     [](DataSet &ds) {
         ds.moveTo(2);
         ds.insert();
     },
     [](DataSet &ds) { ds.prior(); }, kCancel + kScroll},
    {"a new row with defaults only is still untouched",
     [](DataSet &ds) {
         ds.hooks().newRecord = [](DataSet &d) { d.fieldByName(u"ZBID")->setValue(7); };
         ds.append();
     },
     [](DataSet &ds) { ds.first(); }, kCancel + kScroll},
};

class EventOrderTest : public LinesTest, public ::testing::WithParamInterface<EventCase> {};

TEST_P(EventOrderTest, RaisesEventsInOrder)
{
    const EventCase &c = GetParam();
    if (c.setup)
        c.setup(ds);
    QStringList log;
    recordEvents(ds, log);
    c.action(ds);
    EXPECT_EQ(log, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Operations, EventOrderTest, ::testing::ValuesIn(kCases),
                         [](const auto &info) {
                             std::string name;
                             for (const char ch : std::string(info.param.name))
                                 name += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
                             return name;
                         });

} // namespace
} // namespace qv::client::test
