// Values written as literals of the original dialect: for the statement log,
// which shows generated statements with their values, and for the few
// statements the server composes from values a client sent (finding one row
// again for its blobs). Texts are quoted with doubled quotes; nothing a client
// sends can end the literal.
#pragma once

#include <QString>
#include <QVariant>

#include <optional>

namespace qv::server {

// 'text', 12, 1.5, True, #2024-01-15#, Null; nullopt for bytes and for values
// that have no literal.
std::optional<QString> dialectLiteral(const QVariant &value);

// The same for the log: bytes are shown by their size.
QString displayLiteral(const QVariant &value);

// A name in brackets, for names a client gave: "[A.B]".
QString bracketName(const QString &name);

} // namespace qv::server
