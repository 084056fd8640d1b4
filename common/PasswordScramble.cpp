#include "common/PasswordScramble.h"

#include "common/GbkText.h"

#include <QRandomGenerator>

namespace qv::common {

namespace {

constexpr char scrambleKey[] = "vyq";
constexpr int scrambleKeyLength = 3;

void appendHex(QString &out, int byte)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    out += QLatin1Char(digits[(byte >> 4) & 0xF]);
    out += QLatin1Char(digits[byte & 0xF]);
}

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    return -1;
}

} // namespace

QString scramblePassword(const QByteArray &password, quint8 seed)
{
    QString out;
    out.reserve(2 + 2 * password.size());
    int s = seed;
    appendHex(out, s);
    for (qsizetype i = 0; i < password.size(); ++i) {
        const int b = static_cast<quint8>(password[i]);
        s = ((s + b) % 255) ^ static_cast<unsigned char>(scrambleKey[i % scrambleKeyLength]);
        appendHex(out, s);
    }
    return out;
}

QString scramblePassword(const QByteArray &password)
{
    return scramblePassword(password, quint8(QRandomGenerator::global()->bounded(256)));
}

std::optional<QByteArray> unscramblePassword(QStringView scrambled)
{
    if (scrambled.isEmpty())
        return QByteArray();
    if (scrambled.size() % 2 != 0)
        return std::nullopt;
    QByteArray password;
    password.reserve(scrambled.size() / 2 - 1);
    int s = 0;
    for (qsizetype pair = 0; pair < scrambled.size() / 2; ++pair) {
        const int high = hexDigit(scrambled[2 * pair]);
        const int low = hexDigit(scrambled[2 * pair + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        const int v = high * 16 + low;
        if (pair > 0) {
            const int c = v ^ static_cast<unsigned char>(scrambleKey[(pair - 1) % scrambleKeyLength]);
            password.append(char(c >= s ? c - s : c - s + 255));
        }
        s = v;
    }
    return password;
}

std::optional<QString> scramblePasswordText(const QString &password)
{
    const auto bytes = toGbk(password);
    if (!bytes)
        return std::nullopt;
    return scramblePassword(*bytes);
}

std::optional<QString> unscramblePasswordText(QStringView scrambled)
{
    const auto bytes = unscramblePassword(scrambled);
    if (!bytes)
        return std::nullopt;
    return fromGbk(*bytes);
}

} // namespace qv::common
