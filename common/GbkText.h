// Code page 936 (GBK) text, as the Chinese Windows programs wrote their profile
// and text files. Conversion goes through glibc's iconv; a character that has no
// GBK form, or a byte sequence that is not GBK, is reported, never dropped or
// replaced.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <optional>

namespace qv::common {

struct GbkError {
    qsizetype position = -1; // UTF-16 index into the text, or byte index into the bytes
    QString message;
};

// GBK bytes of the text; nullopt when a character cannot be written in GBK (the
// error, when given, names the first such character and its position).
std::optional<QByteArray> toGbk(QStringView text, GbkError *error = nullptr);

// Text of GBK bytes; nullopt when the bytes are not valid GBK (an invalid or
// truncated sequence), with the byte position in the error.
std::optional<QString> fromGbk(const QByteArray &bytes, GbkError *error = nullptr);

} // namespace qv::common
