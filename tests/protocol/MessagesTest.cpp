// Messages and operations: every kind survives a frame unchanged, and decoding
// is strict, naming the field that is wrong.
#include "protocol/Messages.h"

#include <QCborArray>
#include <QCborMap>

#include <gtest/gtest.h>

using namespace qv::protocol;

namespace {

QDateTime local(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s));
}

ChangePacket samplePacket()
{
    ChangePacket packet;
    packet.fields = {QStringLiteral("ID"), QStringLiteral("PM"), QStringLiteral("TP"),
                     QStringLiteral("RQ"), QStringLiteral("JE")};
    packet.inserted = {{qint64(1), QStringLiteral("复印纸"), QByteArray(""), local(2024, 1, 15), 12.5},
                       {qint64(2), QStringLiteral(""), QVariant(), local(2024, 1, 15, 9, 30), 0.0}};
    ModifiedRow modified;
    modified.oldValues = {qint64(7), QStringLiteral("旧名"), notFetched(), QVariant(), 3.0};
    modified.newValues = {{1, QStringLiteral("新名")}, {4, QVariant()}};
    packet.modified = {modified};
    packet.deleted = {{qint64(9), QStringLiteral("删"), notFetched(), local(2023, 12, 31, 23, 59, 59), QVariant()}};
    packet.maxErrors = -1;
    return packet;
}

QList<FieldInfo> sampleFields()
{
    return {
        {QStringLiteral("ID"), FieldType::Integer, 0, 0, FieldFlag::RowKey | FieldFlag::Required},
        {QStringLiteral("PM"), FieldType::Text, 60, 0, FieldFlag::UpdateOnly},
        {QStringLiteral("TP"), FieldType::Blob, 0, 0, FieldFlag::UpdateOnly | FieldFlag::BlobOnDemand},
        {QStringLiteral("JE"), FieldType::Decimal, 18, 4, FieldFlag::Locating},
        {QStringLiteral("aCKMC"), FieldType::Unknown, 0, 0, FieldFlag::Computed},
    };
}

QList<Arguments> everyArguments()
{
    ExecuteArgs execute{std::nullopt, QStringLiteral("update HP set PM='纸' where ID=1"), {}};
    ExecuteArgs executeOnDataset{QStringLiteral("pTmp"), QStringLiteral("delete from LL where ZBID=1"),
                                 {{QStringLiteral("d"), FieldType::DateTime, local(2024, 3, 1)}}};
    return {
        SetFilterArgs{{QStringLiteral("Hp"), QStringLiteral("ZT=0")}},
        GetAccountsArgs{},
        ConnectActArgs{0, QString(), QStringLiteral("001"), QString(), QString()},
        GetServerDateArgs{},
        GetServerDateTimeArgs{},
        GetTableNamesArgs{},
        CompactDatabaseArgs{QStringLiteral("QvData"), QString()},
        BackupDataArgs{QStringLiteral("演示帐套")},
        NextBillNoArgs{QStringLiteral("CS202401")},
        CreateAccountSetArgs{QStringLiteral("002"), QStringLiteral("测试帐套"), QStringLiteral("澜石公司")},
        DeleteAccountSetArgs{QStringLiteral("002")},
        GetProviderNamesArgs{},
        OpenArgs{QStringLiteral("pHp"), std::nullopt, 2000, {}, false},
        OpenArgs{QStringLiteral("pTmp"), QStringLiteral("select * from HP where RQ<=#2024-01-15#"), kAllRows,
                 {{QStringLiteral("p1"), FieldType::Integer, qint64(5)}, {QStringLiteral("p2"), FieldType::Unknown, QVariant()}},
                 true},
        FetchArgs{12, 2000},
        CloseCursorArgs{12},
        FetchBlobsArgs{QStringLiteral("pHp_Pict"), {QStringLiteral("ID")}, {qint64(3)}},
        ApplyUpdatesArgs{QStringLiteral("pHp"), samplePacket()},
        execute,
        GetParamsArgs{QStringLiteral("pLl")},
        BatchArgs{{ApplyUpdatesArgs{QStringLiteral("pLl"), samplePacket()}, executeOnDataset,
                   ApplyUpdatesArgs{QStringLiteral("pLlzb"), ChangePacket{}}}},
    };
}

QList<Message> everyMessage()
{
    QList<Message> messages{
        Hello{kProtocolVersion, {QStringLiteral("ZurI.datas"), QStringLiteral("ZurI.DatasBb")},
              QStringLiteral("QvClient 前台")},
        HelloReply{kProtocolVersion, {QStringLiteral("ZurI.datas")}, QStringLiteral("QvServer")},
        Result::success(5, toCbor(IntegerReply{-1})),
        Result::failure(6, {QStringLiteral("语法错误"), QStringLiteral("translate"), 2, 14}),
        Result::failure(7, {QStringLiteral("no such table: XX"), QString(), 0, 0}),
        ProtocolError{QStringLiteral("frame of 99999999 bytes is over the limit")},
    };
    quint64 id = 100;
    for (const Arguments &arguments : everyArguments()) {
        const Operation op = operationOf(arguments);
        messages.append(Call{++id, RemoteObject::Business, arguments});
        if (offers(RemoteObject::Report, op))
            messages.append(Call{++id, RemoteObject::Report, arguments});
    }
    return messages;
}

QCborValue throughFrame(const QCborValue &value)
{
    FrameReader reader;
    EXPECT_TRUE(reader.feed(encodeFrame(value)));
    QCborValue out;
    EXPECT_EQ(reader.next(&out), FrameReader::Status::Frame) << reader.error().toStdString();
    return out;
}

TEST(Messages, EveryMessageSurvivesAFrame)
{
    const QList<Message> messages = everyMessage();
    ASSERT_GT(messages.size(), 30);
    for (const Message &message : messages) {
        const QCborValue encoded = toCbor(message);
        QString error;
        const auto decoded = decodeMessage(throughFrame(encoded), &error);
        ASSERT_TRUE(decoded) << error.toStdString() << "\n" << encoded.toDiagnosticNotation().toStdString();
        EXPECT_TRUE(*decoded == message) << encoded.toDiagnosticNotation().toStdString();
        // Byte-exact: no value changed its kind on the way (1 vs 1.0, '' vs null).
        EXPECT_EQ(toCbor(*decoded).toCbor(), encoded.toCbor());
    }
}

TEST(Messages, EveryOperationHasItsArgumentsType)
{
    QSet<Operation> seen;
    for (const Arguments &arguments : everyArguments())
        seen.insert(operationOf(arguments));
    EXPECT_EQ(seen.size(), int(Operation::Batch) + 1);
    for (int i = 0; i <= int(Operation::Batch); ++i) {
        const auto op = Operation(i);
        EXPECT_EQ(operationFromName(operationName(op)), op);
    }
}

template <typename Reply>
void expectReplyRoundTrip(const Reply &reply)
{
    const QCborValue encoded = toCbor(reply);
    const Result result = Result::success(1, throughFrame(encoded));
    QString error;
    const auto decoded = decodeReply<Reply>(result, &error);
    ASSERT_TRUE(decoded) << error.toStdString() << "\n" << encoded.toDiagnosticNotation().toStdString();
    EXPECT_TRUE(*decoded == reply) << encoded.toDiagnosticNotation().toStdString();
    EXPECT_EQ(toCbor(*decoded).toCbor(), encoded.toCbor());
}

TEST(Messages, EveryReplySurvivesAFrame)
{
    const QList<FieldInfo> fields = sampleFields();
    const Row row{qint64(1), QStringLiteral("铅笔"), notFetched(), 2.5, QVariant()};
    expectReplyRoundTrip(EmptyReply{});
    expectReplyRoundTrip(IntegerReply{2024010001});
    expectReplyRoundTrip(TextReply{QStringLiteral("2024-01-15 08:00:00")});
    expectReplyRoundTrip(TextReply{QString()});
    expectReplyRoundTrip(NamesReply{{QStringLiteral("pHp"), QStringLiteral("pTmp")}});
    expectReplyRoundTrip(OpenReply{3, fields, {row, row}, false});
    expectReplyRoundTrip(OpenReply{0, fields, {}, true});
    expectReplyRoundTrip(FetchReply{{row}, true});
    expectReplyRoundTrip(FetchBlobsReply{{QStringLiteral("TP"), QStringLiteral("BZ")},
                                         {QByteArray("\x89PNG\0", 5), QVariant()}});
    const ApplyUpdatesReply applied{
        1, true,
        {{ChangeKind::Modify, 0, QStringLiteral("记录已被其他用户修改"), true, {qint64(7), QStringLiteral("别人改的")}},
         {ChangeKind::Delete, 0, QStringLiteral("记录已被其他用户删除"), false, {}}},
        {QStringLiteral("ID"), QStringLiteral("PM")},
        {{ChangeKind::Insert, 0, {qint64(41), QStringLiteral("新")}},
         {ChangeKind::Insert, 1, {qint64(42), QStringLiteral("")}}}};
    expectReplyRoundTrip(applied);
    expectReplyRoundTrip(ExecuteReply{-1});
    expectReplyRoundTrip(GetParamsReply{{{QStringLiteral("id"), FieldType::Integer, QVariant()}}});
    expectReplyRoundTrip(BatchReply{true, -1, {}, {applied, ExecuteReply{3}}});
    expectReplyRoundTrip(BatchReply{false, 1, {QStringLiteral("违反唯一约束"), QStringLiteral("database")},
                                    {ExecuteReply{1}, ApplyUpdatesReply{2, false, {}, {}, {}}}});
}

TEST(Messages, FailedResultGivesItsErrorInsteadOfAReply)
{
    QString error;
    const auto reply = decodeReply<IntegerReply>(Result::failure(3, {QStringLiteral("找不到帐套")}), &error);
    EXPECT_FALSE(reply);
    EXPECT_EQ(error, QStringLiteral("找不到帐套"));
}

// Returns `root` with the value at `path` replaced (or removed when nullopt).
// Path segments are map keys, or array indexes written as digits.
QCborValue withPath(const QCborValue &root, QStringList path, std::optional<QCborValue> value)
{
    if (path.isEmpty())
        return value.value_or(QCborValue());
    const QString key = path.takeFirst();
    if (root.isArray()) {
        QCborArray array = root.toArray();
        const int index = key.toInt();
        if (path.isEmpty() && !value)
            array.removeAt(index);
        else
            array[index] = withPath(array.at(index), path, value);
        return array;
    }
    QCborMap map = root.toMap();
    if (path.isEmpty() && !value)
        map.remove(key);
    else
        map[key] = withPath(map.value(key), path, value);
    return map;
}

QCborValue callOf(const Arguments &arguments, RemoteObject object = RemoteObject::Business)
{
    return toCbor(Message(Call{1, object, arguments}));
}

const QCborValue kRemove(QCborValue::Invalid);

struct StrictCase {
    const char *name;
    QCborValue base;
    QString path; // '/'-separated
    QCborValue value; // Invalid: remove the field
    const char *expected;
};

class StrictDecoding : public ::testing::TestWithParam<StrictCase> {};

TEST_P(StrictDecoding, NamesTheField)
{
    const StrictCase &c = GetParam();
    const QStringList path = c.path.split(QLatin1Char('/'));
    const QCborValue broken = withPath(c.base, path, c.value.isInvalid() ? std::nullopt
                                                                         : std::optional(c.value));
    QString error;
    EXPECT_FALSE(decodeMessage(throughFrame(broken), &error)) << broken.toDiagnosticNotation().toStdString();
    EXPECT_EQ(error.toStdString(), std::string(c.expected));
}

const QCborValue kApply = callOf(ApplyUpdatesArgs{QStringLiteral("pHp"), samplePacket()});
const QCborValue kOpen = callOf(OpenArgs{QStringLiteral("pTmp"), QStringLiteral("select 1"), 10, {}, false});
const QCborValue kBatch = callOf(BatchArgs{{ExecuteArgs{std::nullopt, QStringLiteral("delete from X"), {}}}});
const QCborValue kResult = toCbor(Message(Result::success(4, toCbor(IntegerReply{1}))));
const QCborValue kFailure = toCbor(Message(Result::failure(4, {QStringLiteral("x")})));
const QCborValue kHello = toCbor(Message(Hello{1, {QStringLiteral("ZurI.datas")}, QStringLiteral("c")}));

QCborValue dateTag(const char *text)
{
    return QCborValue(QCborTag(kDateTimeTag), QString::fromLatin1(text));
}

INSTANTIATE_TEST_SUITE_P(
    Messages, StrictDecoding,
    ::testing::Values(
        StrictCase{"idAsText", kApply, "id", QStringLiteral("1"), "call.id: expected an integer, found text"},
        StrictCase{"idZero", kApply, "id", 0, "call.id: 0 is outside 1..9223372036854775807"},
        StrictCase{"opMissing", kApply, "op", kRemove, "call.op: missing field"},
        StrictCase{"opUnknown", kApply, "op", QStringLiteral("Drop"), "call.op: unknown operation 'Drop'"},
        StrictCase{"objectUnknown", kApply, "object", QStringLiteral("ZurI.other"),
                   "call.object: unknown remote object 'ZurI.other'"},
        StrictCase{"reportHasNoAccounts", callOf(GetAccountsArgs{}), "object", QStringLiteral("ZurI.DatasBb"),
                   "call.op: ZurI.DatasBb does not offer GetAccounts"},
        StrictCase{"extraField", kApply, "extra", 1, "call: unknown field 'extra'"},
        StrictCase{"argsNotMap", kApply, "args", QCborArray{}, "call.args: expected a map, found an array"},
        StrictCase{"datasetAsInteger", kApply, "args/dataset", 5,
                   "call.args.dataset: expected text, found an integer"},
        StrictCase{"shortRow", kApply, "args/packet/inserted/0/4", kRemove,
                   "call.args.packet.inserted[0]: row of 4 values for 5 fields"},
        StrictCase{"changedIndexOutside", kApply, "args/packet/modified/0/new", QCborMap{{7, 1}},
                   "call.args.packet.modified[0].new: changed field 7 is not an index below 5"},
        StrictCase{"changedIndexAsText", kApply, "args/packet/modified/0/new", QCborMap{{QStringLiteral("PM"), 1}},
                   "call.args.packet.modified[0].new: changed field text is not an index below 5"},
        StrictCase{"notFetchedAsNewValue", kApply, "args/packet/modified/0/new",
                   QCborMap{{1, QCborValue(QCborValue::Undefined)}},
                   "call.args.packet.modified[0].new[1]: the not-fetched marker is not allowed here"},
        StrictCase{"notFetchedInInsert", kApply, "args/packet/inserted/0/2", QCborValue(QCborValue::Undefined),
                   "call.args.packet.inserted[0][2]: the not-fetched marker is not allowed here"},
        StrictCase{"maxErrorsBelowMinusOne", kApply, "args/packet/maxErrors", -2,
                   "call.args.packet.maxErrors: -2 is outside -1..2147483647"},
        StrictCase{"repeatedFieldName", kApply, "args/packet/fields/1", QStringLiteral("id"),
                   "call.args.packet.fields: field name 'id' appears twice"},
        StrictCase{"badDate", kApply, "args/packet/inserted/0/3", dateTag("2024-13-01"),
                   "call.args.packet.inserted[0][3]: '2024-13-01' is not a date in the form YYYY-MM-DD[ HH:MM:SS]"},
        StrictCase{"packetMissingDeleted", kApply, "args/packet/deleted", kRemove,
                   "call.args.packet.deleted: missing field"},
        StrictCase{"packetSizeTooSmall", kOpen, "args/packetSize", -2,
                   "call.args.packetSize: -2 is outside -1..2147483647"},
        StrictCase{"statementAsBytes", kOpen, "args/statement", QByteArray("select 1"),
                   "call.args.statement: expected text, found bytes"},
        StrictCase{"paramWithoutValue", kOpen, "args/params", QCborArray{QCborMap{{QStringLiteral("name"), QStringLiteral("a")}}},
                   "call.args.params[0].value: missing field"},
        StrictCase{"openInBatch", kBatch, "args/items/0/op", QStringLiteral("Open"),
                   "call.args.items[0].op: 'Open' cannot be part of a batch"},
        StrictCase{"resultWithoutValue", kResult, "value", kRemove, "result.value: missing field"},
        StrictCase{"resultValueNotMap", kResult, "value", QCborArray{}, "result.value: expected a map, found an array"},
        StrictCase{"failureWithoutText", kFailure, "error/text", kRemove, "result.error.text: missing field"},
        StrictCase{"okAsInteger", kResult, "ok", 1, "result.ok: expected yes/no, found an integer"},
        StrictCase{"helloObjectsAsText", kHello, "objects", QStringLiteral("ZurI.datas"),
                   "hello.objects: expected an array, found text"},
        StrictCase{"helloObjectNotText", kHello, "objects/0", 1, "hello.objects[0]: expected text, found an integer"},
        StrictCase{"helloWithoutClient", kHello, "client", kRemove, "hello.client: missing field"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(Messages, RepeatedKeyIsRefused)
{
    // {"kind": "error", "text": "a", "text": "b"}
    const QByteArray body = QByteArray::fromHex("a3646b696e64656572726f7264746578746161647465787461" "62");
    FrameReader reader;
    QByteArray frame(4, '\0');
    frame[3] = char(body.size());
    ASSERT_TRUE(reader.feed(frame + body));
    QCborValue value;
    ASSERT_EQ(reader.next(&value), FrameReader::Status::Frame) << reader.error().toStdString();
    QString error;
    EXPECT_FALSE(decodeMessage(value, &error));
    EXPECT_EQ(error, QStringLiteral("field 'text' appears twice"));
}

struct ReplyCase {
    const char *name;
    std::function<QString()> decodeError;
    const char *expected;
};

template <typename T>
std::function<QString()> broken(const QCborValue &value)
{
    return [value] {
        QString error;
        EXPECT_FALSE(decode<T>(value, &error));
        return error;
    };
}

TEST(Messages, RepliesAndArgumentsAreCheckedForConsistency)
{
    const QCborValue open = toCbor(OpenReply{3, sampleFields(), {}, false});
    const ReplyCase cases[] = {
        {"finishedOpenKeepsCursor", broken<OpenReply>(withPath(open, {QStringLiteral("endOfData")}, true)),
         "cursor: a finished open must not keep a cursor"},
        {"openWithoutCursor", broken<OpenReply>(withPath(open, {QStringLiteral("cursor")}, 0)),
         "cursor: an open with more rows needs a cursor"},
        {"rowTooShort", broken<OpenReply>(withPath(open, {QStringLiteral("rows")}, QCborArray{QCborArray{1}})),
         "rows[0]: row of 1 values for 5 fields"},
        {"repeatedField", broken<OpenReply>(withPath(open, {QStringLiteral("fields"), QStringLiteral("1"), QStringLiteral("name")}, QStringLiteral("id"))),
         "fields[1]: field name 'id' appears twice"},
        {"unknownType", broken<OpenReply>(withPath(open, {QStringLiteral("fields"), QStringLiteral("0"), QStringLiteral("type")}, QStringLiteral("money"))),
         "fields[0].type: unknown field type 'money'"},
        {"unknownFlag", broken<OpenReply>(withPath(open, {QStringLiteral("fields"), QStringLiteral("0"), QStringLiteral("flags")}, QCborArray{QStringLiteral("primary")})),
         "fields[0].flags: unknown flag 'primary'"},
        {"savedRowWidth", broken<ApplyUpdatesReply>(toCbor(ApplyUpdatesReply{0, true, {}, {QStringLiteral("ID")}, {{ChangeKind::Insert, 0, {1, 2}}}})),
         "saved[0]: row of 2 values for 1 fields"},
        {"currentRowWidth", broken<ApplyUpdatesReply>(toCbor(ApplyUpdatesReply{1, true, {{ChangeKind::Modify, 0, QStringLiteral("x"), true, {1}}}, {QStringLiteral("ID"), QStringLiteral("PM")}, {}})),
         "failed[0]: row of 1 values for 2 fields"},
        {"failedKind", broken<ApplyUpdatesReply>(withPath(toCbor(ApplyUpdatesReply{1, false, {{ChangeKind::Delete, 0, QStringLiteral("x"), false, {}}}, {}, {}}),
                                                          {QStringLiteral("failed"), QStringLiteral("0"), QStringLiteral("kind")}, QStringLiteral("update"))),
         "failed[0].kind: unknown change kind 'update'"},
        {"resultsAfterFailure", broken<BatchReply>(toCbor(BatchReply{false, 0, {QStringLiteral("x")}, {ExecuteReply{1}, ExecuteReply{2}}})),
         "results: 2 results after the failed item 0"},
        {"keyValuesCount", broken<FetchBlobsArgs>(toCbor(FetchBlobsArgs{QStringLiteral("pHp"), {QStringLiteral("ID")}, {1, 2}})),
         "keyValues: row of 2 values for 1 fields"},
        {"noKey", broken<FetchBlobsArgs>(toCbor(FetchBlobsArgs{QStringLiteral("pHp"), {}, {}})), "keyFields: no key field"},
        {"fetchNothing", broken<FetchArgs>(toCbor(FetchArgs{1, 0})), "count: a fetch of 0 rows"},
    };
    for (const ReplyCase &c : cases)
        EXPECT_EQ(c.decodeError().toStdString(), std::string(c.expected)) << c.name;
}

} // namespace
