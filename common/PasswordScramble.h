// The scrambled form of the database password kept in QvServer.ini.
//
// The text is an even number of upper-case hexadecimal digits: the first pair is
// a random seed byte, every further pair one password byte. With s the previous
// pair's value (the seed at first) and k the next letter of the key "vyq" (taken
// in turn, starting over after the last), a byte b is written as
// ((s + b) mod 255) XOR k. The arithmetic is modulo 255, so a byte 255 comes back
// as 0; every other byte survives the round trip.
//
// This keeps the password from being read at a glance; it is not encryption.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <optional>

namespace qv::common {

// Scrambles with a random seed.
QString scramblePassword(const QByteArray &password);
// Scrambles with the given seed (for reproducible results).
QString scramblePassword(const QByteArray &password, quint8 seed);

// The password bytes of a scrambled text; nullopt when the text is not an even
// number of hexadecimal digits. Empty text is an empty password.
std::optional<QByteArray> unscramblePassword(QStringView scrambled);

// The same for passwords held as text; the bytes are the code page 936 (GBK) form
// the Windows programs scrambled. nullopt when the text has no GBK form or the
// scrambled bytes are not GBK.
std::optional<QString> scramblePasswordText(const QString &password);
std::optional<QString> unscramblePasswordText(QStringView scrambled);

} // namespace qv::common
