// Reading the server address the user typed, and the host of SysConfig.ini.
#include "client/core/net/ServerAddress.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace qv::client;

namespace {

struct AddressCase {
    const char *text;
    bool valid;
    const char *host;
    quint16 port;
};

void PrintTo(const AddressCase &c, std::ostream *os)
{
    *os << '"' << c.text << '"';
}

class ServerAddressParse : public ::testing::TestWithParam<AddressCase> {};

TEST_P(ServerAddressParse, ReadsHostAndPort)
{
    const AddressCase &c = GetParam();
    QString error;
    const auto address = ServerAddress::parse(QString::fromUtf8(c.text), &error);
    ASSERT_EQ(address.has_value(), c.valid) << c.text;
    if (!c.valid) {
        EXPECT_FALSE(error.isEmpty()) << "a refused address says why";
        return;
    }
    EXPECT_EQ(address->host, QString::fromUtf8(c.host));
    EXPECT_EQ(address->port, c.port);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ServerAddressParse,
    ::testing::Values(AddressCase{"server1", true, "server1", kDefaultServerPort},
                      AddressCase{"  192.168.1.20  ", true, "192.168.1.20", kDefaultServerPort},
                      AddressCase{"server1:7000", true, "server1", 7000},
                      AddressCase{"server1 : 7000", true, "server1", 7000},
                      AddressCase{"[::1]:7000", true, "::1", 7000},
                      AddressCase{"[fe80::1]", true, "fe80::1", kDefaultServerPort},
                      AddressCase{"fe80::1", true, "fe80::1", kDefaultServerPort},
                      AddressCase{"", false, "", 0},
                      AddressCase{"   ", false, "", 0},
                      AddressCase{":7000", false, "", 0},
                      AddressCase{"server1:", false, "", 0},
                      AddressCase{"server1:http", false, "", 0},
                      AddressCase{"server1:0", false, "", 0},
                      AddressCase{"server1:65536", false, "", 0},
                      AddressCase{"[::1", false, "", 0},
                      AddressCase{"[::1]7000", false, "", 0}));

TEST(ServerAddress, PrintsWhatItReads)
{
    EXPECT_EQ(ServerAddress::parse(u"host:81")->toString(), QStringLiteral("host:81"));
    EXPECT_EQ(ServerAddress::parse(u"[::1]:81")->toString(), QStringLiteral("[::1]:81"));
}

TEST(ServerAddress, SysConfigHostIsFoundInAnySection)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("SysConfig.ini"));
    EXPECT_TRUE(hostFromSysConfig(path).isEmpty()) << "no file, no host";

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[login]\nuser=SYS\n[other]\nhostNAME = 10.1.2.3:7001 \n[login2]\nHostName=later\n");
    file.close();
    EXPECT_EQ(hostFromSysConfig(path), QStringLiteral("10.1.2.3:7001"));
}

} // namespace
