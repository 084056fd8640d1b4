// libFuzzer target: arbitrary bytes through the frame reader and every decoder.
// Built only with -DQV_FUZZ=ON and clang; run it by hand, for example
//   build-fuzz/tests/qv_protocol_fuzz -max_total_time=60
//
// The first input byte chooses the chunk size, so partial frames are exercised
// too. Besides not crashing, a message that decodes must encode back to bytes
// that decode to the same bytes again.
#include "protocol/Messages.h"

#include <cstddef>
#include <cstdint>

using namespace qv::protocol;

namespace {

void checkMessage(const QCborValue &value)
{
    const auto message = decodeMessage(value, nullptr);
    if (!message) {
        // The reply decoders see what no call decoder would.
        decode<OpenReply>(value);
        decode<ApplyUpdatesReply>(value);
        decode<BatchReply>(value);
        decode<FetchBlobsReply>(value);
        return;
    }
    const QByteArray once = toCbor(*message).toCbor();
    const auto again = decodeMessage(QCborValue::fromCbor(once), nullptr);
    if (!again || toCbor(*again).toCbor() != once)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    FrameLimits limits;
    limits.maxFrameSize = 1 << 16;
    limits.maxBuffered = 1 << 17;
    const qsizetype step = qsizetype(data[0]) + 1;
    const QByteArrayView input(reinterpret_cast<const char *>(data) + 1, qsizetype(size) - 1);

    FrameReader reader(limits);
    for (qsizetype pos = 0; pos < input.size(); pos += step) {
        if (!reader.feed(input.sliced(pos, std::min(step, input.size() - pos))))
            break;
        QCborValue value;
        while (reader.next(&value) == FrameReader::Status::Frame)
            checkMessage(value);
    }
    reader.finish();
    if (reader.buffered() > limits.maxBuffered)
        __builtin_trap();

    // The same bytes as one frame body.
    QString error;
    const QCborValue body = decodeFrameBody(input, limits, &error);
    if (error.isEmpty())
        checkMessage(body);
    return 0;
}
