// A test fixture with the real server on the demo account set: the server is
// started once for the test suite, and every test gets a TData connected to it
// with account set 001 open.
#pragma once

#include "ServerProcess.h"

#include "client/core/data/TData.h"

#include <gtest/gtest.h>

namespace qv::client::test {

class ServerFixture : public ::testing::Test {
public:
    static void SetUpTestSuite();
    static void TearDownTestSuite();

protected:
    void SetUp() override;
    void TearDown() override;

    TData &data() { return *m_data; }
    static ServerProcess &server() { return *s_server; }

    // A statement that must succeed (the test fails with the server's text).
    void exec(const QString &sql);
    // The first column of the first row (null without a row).
    QVariant value(const QString &sql);
    // A TData of its own on the same server and account set.
    std::unique_ptr<TData> connectAnother();

    std::unique_ptr<TData> m_data;

private:
    static inline std::unique_ptr<ServerProcess> s_server;
    static inline bool s_started = false;
};

} // namespace qv::client::test
