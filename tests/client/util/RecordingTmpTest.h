// A fixture for code that asks questions through the general channel "pTmp":
// every statement it sends is noted in `asked` and answered with `answer`.
#pragma once

#include "client/core/dataset/MemoryDataSource.h"
#include "client/core/util/QueryService.h"

#include <gtest/gtest.h>

namespace qv::client::test {

class RecordingTmpTest : public ::testing::Test {
protected:
    // Serves "pTmp" with these fields.
    void serveTmp(const FieldDefs &fields)
    {
        source.setTable(QStringLiteral("pTmp"), fields);
        source.setQueryHandler(QStringLiteral("pTmp"), [this](const QString &text) {
            asked << text;
            return std::optional<QList<RowValues>>(answer);
        });
    }

    MemoryDataSource source;
    PooledQueries queries{&source};
    QList<RowValues> answer;
    QStringList asked;
};

} // namespace qv::client::test
