#include "ServerFixture.h"

namespace qv::client::test {

void ServerFixture::SetUpTestSuite()
{
    s_server = std::make_unique<ServerProcess>();
    s_started = s_server->start();
}

void ServerFixture::TearDownTestSuite()
{
    s_server.reset();
}

void ServerFixture::SetUp()
{
    if (!s_started) {
        if (!s_server->skipReason().isEmpty())
            GTEST_SKIP() << qPrintable(s_server->skipReason());
        FAIL() << qPrintable(s_server->error());
    }
    m_data = connectAnother();
    ASSERT_TRUE(m_data) << "could not connect to the test server";
}

void ServerFixture::TearDown()
{
    m_data.reset();
}

std::unique_ptr<TData> ServerFixture::connectAnother()
{
    auto data = std::make_unique<TData>();
    if (!data->connectToServer(s_server->address())) {
        ADD_FAILURE() << qPrintable(data->lastError());
        return nullptr;
    }
    const auto bound = data->connectAct(QStringLiteral("001"));
    if (!bound || bound.value != 0) {
        ADD_FAILURE() << "ConnectAct 001: " << qPrintable(bound.error) << " value " << bound.value;
        return nullptr;
    }
    return data;
}

void ServerFixture::exec(const QString &sql)
{
    ASSERT_TRUE(m_data->tryExecSql(sql)) << qPrintable(sql) << "\n" << qPrintable(m_data->lastError());
}

QVariant ServerFixture::value(const QString &sql)
{
    const auto v = m_data->queryValue(sql);
    EXPECT_TRUE(v.ok()) << qPrintable(sql) << "\n" << qPrintable(v.error);
    return v.value;
}

} // namespace qv::client::test
