// The local dump: rows and pending changes go out and come back; anything that
// is not an intact dump of the same fields is refused.
#include "DataSetFixture.h"

#include "client/core/dataset/CdsFile.h"

#include <QFile>
#include <QTemporaryDir>

namespace qv::client::test {
namespace {

class CdsFileTest : public LinesTest {
protected:
    void SetUp() override
    {
        LinesTest::SetUp();
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath(QStringLiteral("frmStockLl.cds"));
    }

    void makeChanges()
    {
        ASSERT_TRUE(ds.moveTo(1));
        ASSERT_TRUE(ds.fieldByName(u"SL")->setValue(20.5));
        ASSERT_TRUE(ds.fieldByName(u"BZ")->setValue(QStringLiteral("改过的备注")));
        ASSERT_TRUE(ds.post());
        ASSERT_TRUE(ds.moveTo(3));
        ASSERT_TRUE(ds.remove());
        ASSERT_TRUE(ds.append());
        ASSERT_TRUE(ds.fieldByName(u"ID")->setValue(10));
        ASSERT_TRUE(ds.fieldByName(u"RQ")->setValue(QDateTime(QDate(2024, 2, 29), QTime(13, 5, 7))));
        ASSERT_TRUE(ds.fieldByName(u"ZT")->setValue(true));
        ASSERT_TRUE(ds.post());
    }

    QByteArray fileBytes() const
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void writeBytes(const QByteArray &bytes) const
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }

    QTemporaryDir dir;
    QString path;
};

TEST_F(CdsFileTest, RowsAndPendingChangesComeBack)
{
    makeChanges();
    ASSERT_TRUE(ds.saveToFile(path)) << ds.lastError().toString().toStdString();

    DataSet loaded(QStringLiteral("Ll"));
    loaded.setSource(&source);
    loaded.setProviderName(QStringLiteral("pLL"));
    ASSERT_TRUE(loaded.loadFromFile(path)) << loaded.lastError().toString().toStdString();
    EXPECT_TRUE(loaded.isActive());
    EXPECT_EQ(loaded.fieldDefs(), ds.fieldDefs());
    EXPECT_EQ(loaded.recordCount(), ds.recordCount());
    EXPECT_EQ(loaded.changeCount(), 3);
    for (const char *name : {"ID", "SL", "BZ", "RQ", "ZT", "aBH"}) {
        EXPECT_EQ(column(loaded, QString::fromLatin1(name)), column(ds, QString::fromLatin1(name)))
            << name;
    }

    ASSERT_TRUE(loaded.locate(QStringLiteral("ID"), {2}));
    EXPECT_EQ(loaded.updateStatus(), UpdateStatus::Modified);
    EXPECT_EQ(loaded.fieldByName(u"SL")->oldValue(), QVariant(2.0));

    // The loaded changes are sent as they would have been.
    EXPECT_EQ(loaded.applyUpdates(0), 0);
    EXPECT_EQ(sourceColumn(source, QStringLiteral("pLL"), 0),
              (QVariantList{qint64(1), qint64(2), qint64(3), qint64(5), qint64(10)}));
    EXPECT_EQ(sourceColumn(source, QStringLiteral("pLL"), 4).at(1), QVariant(20.5));
}

TEST_F(CdsFileTest, LoadingReplacesTheRowsOfAnOpenDataSet)
{
    ASSERT_TRUE(ds.saveToFile(path));
    makeChanges();
    ASSERT_TRUE(ds.fieldByName(u"SL")->setValue(1)); // an unposted edit is dropped too
    ASSERT_TRUE(ds.loadFromFile(path));
    EXPECT_EQ(ds.state(), DataSetState::Browse);
    EXPECT_EQ(ds.changeCount(), 0);
    EXPECT_EQ(column(ds, QStringLiteral("ID")),
              (QVariantList{qint64(1), qint64(2), qint64(3), qint64(4), qint64(5)}));
}

TEST_F(CdsFileTest, AForeignOrDamagedFileIsRefusedAndChangesNothing)
{
    makeChanges();
    ASSERT_TRUE(ds.saveToFile(path));
    const QByteArray good = fileBytes();
    ASSERT_GT(good.size(), 60);

    QByteArray flipped = good;
    flipped[good.size() - 10] = char(flipped[good.size() - 10] ^ 0x40);
    QByteArray newer = good;
    newer[7] = char(9); // version 9
    QByteArray longer = good + QByteArray("x");

    struct Case {
        const char *name;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"a byte changed", flipped},
        {"cut short", good.left(good.size() / 2)},
        {"only the header", good.left(20)},
        {"bytes added", longer},
        {"a later version", newer},
        {"a text file", QByteArray("ID,SL\n1,2\n")},
        {"empty", QByteArray()},
    };
    const QVariantList ids = column(ds, QStringLiteral("ID"));
    for (const Case &c : cases) {
        writeBytes(c.bytes);
        EXPECT_FALSE(ds.loadFromFile(path)) << c.name;
        EXPECT_EQ(ds.lastError().operation, QStringLiteral("load")) << c.name;
        EXPECT_FALSE(ds.lastError().message.isEmpty()) << c.name;
        EXPECT_EQ(column(ds, QStringLiteral("ID")), ids) << c.name;
        EXPECT_EQ(ds.changeCount(), 3) << c.name;
    }
    EXPECT_FALSE(ds.loadFromFile(dir.filePath(QStringLiteral("missing.cds"))));
}

TEST_F(CdsFileTest, AFileOfOtherFieldsIsRefused)
{
    DataSet other(QStringLiteral("Hp"));
    ASSERT_TRUE(other.createDataSet({{QStringLiteral("ID"), FieldType::Integer, 0, {}},
                                     {QStringLiteral("PM"), FieldType::Text, 40, {}}}));
    ASSERT_TRUE(other.append());
    ASSERT_TRUE(other.fieldByName(u"PM")->setValue(QStringLiteral("铅笔")));
    ASSERT_TRUE(other.post());
    ASSERT_TRUE(other.saveToFile(path));

    EXPECT_FALSE(ds.loadFromFile(path));
    EXPECT_EQ(ds.lastError().message, QStringLiteral("文件的字段与数据集不一致"));
    EXPECT_EQ(ds.recordCount(), 5);

    // A dataset without fields takes the file's.
    DataSet fresh;
    ASSERT_TRUE(fresh.loadFromFile(path));
    EXPECT_EQ(fresh.fieldCount(), 2);
    EXPECT_EQ(fresh.fieldByName(u"PM")->asString(), QStringLiteral("铅笔"));
    EXPECT_EQ(fresh.updateStatus(), UpdateStatus::Inserted);
}

TEST(CdsEncodingTest, ValuesKeepTheirTypes)
{
    CdsContent content;
    content.fields = {{QStringLiteral("A"), FieldType::Blob, 0, FieldFlag::BlobOnDemand}};
    const QVariantList values = {QVariant(), qint64(-5), 0.1, QStringLiteral("文字"), QByteArray("\0\1", 2),
                                 true, QDateTime(QDate(1899, 12, 30), QTime(23, 59, 59, 500))};
    for (const QVariant &v : values)
        content.rows << CdsRow{CdsRow::Status::Unmodified, {v}, {}};
    QString error;
    const auto back = CdsFile::decode(CdsFile::encode(content), &error);
    ASSERT_TRUE(back) << error.toStdString();
    ASSERT_EQ(back->rows.size(), values.size());
    for (qsizetype i = 0; i < values.size(); ++i) {
        EXPECT_EQ(back->rows[i].values.first(), values[i]);
        EXPECT_EQ(back->rows[i].values.first().metaType(), values[i].metaType());
    }
    EXPECT_EQ(back->fields, content.fields);
}

} // namespace
} // namespace qv::client::test
