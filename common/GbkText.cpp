#include "common/GbkText.h"

#include <cerrno>
#include <cstring>
#include <iconv.h>

namespace qv::common {

namespace {

// One conversion descriptor, closed with its scope.
class Converter {
public:
    Converter(const char *to, const char *from) : m_cd(iconv_open(to, from)) {}
    ~Converter()
    {
        if (isValid())
            iconv_close(m_cd);
    }
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;

    bool isValid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    // Converts all of 'input'. On failure answers false with the byte offset in
    // 'input' where conversion stopped and the errno value.
    bool convert(const QByteArray &input, QByteArray &output, qsizetype &failedAt, int &errorCode)
    {
        output.clear();
        // Either way the output never exceeds three bytes per input byte (the
        // single GBK byte 0x80 is the three-byte euro sign in UTF-8).
        output.resize(input.size() * 3 + 4);
        char *in = const_cast<char *>(input.constData());
        size_t inLeft = size_t(input.size());
        char *out = output.data();
        size_t outLeft = size_t(output.size());
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        while (inLeft > 0) {
            if (iconv(m_cd, &in, &inLeft, &out, &outLeft) == size_t(-1)) {
                if (errno == E2BIG) { // cannot happen with the size above; grow anyway
                    const qsizetype used = out - output.data();
                    output.resize(output.size() * 2);
                    out = output.data() + used;
                    outLeft = size_t(output.size() - used);
                    continue;
                }
                errorCode = errno;
                failedAt = in - input.constData();
                return false;
            }
        }
        output.resize(out - output.data());
        return true;
    }

private:
    iconv_t m_cd;
};

constexpr const char *gbkName = "CP936";

void setError(GbkError *error, qsizetype position, QString message)
{
    if (error) {
        error->position = position;
        error->message = std::move(message);
    }
}

// QString::toUtf8 would quietly replace a lone surrogate; find it first.
qsizetype firstLoneSurrogate(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate()) {
            if (i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
                ++i;
                continue;
            }
            return i;
        }
        if (c.isLowSurrogate())
            return i;
    }
    return -1;
}

} // namespace

std::optional<QByteArray> toGbk(QStringView text, GbkError *error)
{
    if (const qsizetype bad = firstLoneSurrogate(text); bad >= 0) {
        setError(error, bad, QStringLiteral("unpaired surrogate at position %1").arg(bad));
        return std::nullopt;
    }
    Converter converter(gbkName, "UTF-8");
    if (!converter.isValid()) {
        setError(error, 0, QStringLiteral("iconv has no GBK converter"));
        return std::nullopt;
    }
    const QByteArray utf8 = text.toUtf8();
    QByteArray out;
    qsizetype failedAt = 0;
    int code = 0;
    if (!converter.convert(utf8, out, failedAt, code)) {
        // Map the UTF-8 byte offset back to a position in the text.
        const qsizetype position = QString::fromUtf8(utf8.constData(), failedAt).size();
        const QString character = QString::fromUtf8(utf8.mid(failedAt)).left(
            text.size() > position && text[position].isHighSurrogate() ? 2 : 1);
        setError(error, position,
                 QStringLiteral("character \"%1\" at position %2 has no GBK form")
                     .arg(character)
                     .arg(position));
        return std::nullopt;
    }
    return out;
}

std::optional<QString> fromGbk(const QByteArray &bytes, GbkError *error)
{
    Converter converter("UTF-8", gbkName);
    if (!converter.isValid()) {
        setError(error, 0, QStringLiteral("iconv has no GBK converter"));
        return std::nullopt;
    }
    QByteArray out;
    qsizetype failedAt = 0;
    int code = 0;
    if (!converter.convert(bytes, out, failedAt, code)) {
        setError(error, failedAt,
                 code == EINVAL
                     ? QStringLiteral("truncated GBK sequence at byte %1").arg(failedAt)
                     : QStringLiteral("invalid GBK byte sequence at byte %1").arg(failedAt));
        return std::nullopt;
    }
    return QString::fromUtf8(out);
}

} // namespace qv::common
