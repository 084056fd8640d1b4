#include "Corpus.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace qv::sql::test {

QString CorpusEntry::label() const
{
    return QStringLiteral("%1:%2 %3").arg(file).arg(line).arg(name);
}

namespace {

bool fail(QString *error, const QString &file, int line, const QString &message)
{
    if (error)
        *error = QStringLiteral("%1:%2: %3").arg(file).arg(line).arg(message);
    return false;
}

// Applies one marker line to the entry; false for a marker it does not know.
bool applyMarker(const QString &marker, CorpusEntry &entry)
{
    if (marker == QLatin1String("setup")) {
        entry.setup = true;
        return true;
    }
    const qsizetype colon = marker.indexOf(QLatin1Char(':'));
    if (colon < 0)
        return false;
    const QString key = marker.left(colon).trimmed();
    const QString value = marker.mid(colon + 1).trimmed();
    if (key == QLatin1String("order") && value == QLatin1String("none")) {
        entry.ordered = false;
    } else if (key == QLatin1String("expect") && value == QLatin1String("empty")) {
        entry.expectEmpty = true;
    } else if (key == QLatin1String("expect") && (value == QLatin1String("error") || value.startsWith(QLatin1String("error ")))) {
        entry.expectError = value.mid(5).trimmed();
    } else if (key == QLatin1String("engines") && value == QLatin1String("sqlite")) {
        entry.sqliteOnly = true;
    } else {
        return false;
    }
    return true;
}

bool finish(CorpusEntry &entry, QStringList &lines, QList<CorpusEntry> &entries, QString *error)
{
    while (!lines.isEmpty() && lines.last().trimmed().isEmpty())
        lines.removeLast();
    if (lines.isEmpty())
        return fail(error, entry.file, entry.line, QStringLiteral("entry '%1' has no statement").arg(entry.name));
    entry.sql = lines.join(QLatin1Char('\n'));
    entries.append(entry);
    lines.clear();
    return true;
}

} // namespace

std::optional<QList<CorpusEntry>> readCorpusText(const QString &text, const QString &fileName, QString *error)
{
    QList<CorpusEntry> entries;
    CorpusEntry entry;
    bool inEntry = false;
    bool inMarkers = false;
    QStringList lines;
    const QStringList raw = text.split(QLatin1Char('\n'));
    for (int i = 0; i < raw.size(); ++i) {
        QString line = raw[i];
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const int lineNo = i + 1;
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(QLatin1String("-- name:"))) {
            if (inEntry && !finish(entry, lines, entries, error))
                return std::nullopt;
            entry = CorpusEntry();
            entry.file = fileName;
            entry.line = lineNo;
            entry.name = trimmed.mid(8).trimmed();
            if (entry.name.isEmpty()) {
                fail(error, fileName, lineNo, QStringLiteral("an entry needs a name"));
                return std::nullopt;
            }
            inEntry = true;
            inMarkers = true;
            continue;
        }
        if (trimmed.startsWith(QLatin1String("--"))) {
            if (inMarkers && !applyMarker(trimmed.mid(2).trimmed(), entry)) {
                fail(error, fileName, lineNo, QStringLiteral("unknown marker '%1'").arg(trimmed));
                return std::nullopt;
            }
            if (!inMarkers && inEntry && !lines.isEmpty()) {
                fail(error, fileName, lineNo, QStringLiteral("a comment inside the statement of '%1'").arg(entry.name));
                return std::nullopt;
            }
            continue;
        }
        if (!inEntry) {
            if (!trimmed.isEmpty()) {
                fail(error, fileName, lineNo, QStringLiteral("statement text before the first '-- name:'"));
                return std::nullopt;
            }
            continue;
        }
        if (trimmed.isEmpty() && lines.isEmpty())
            continue;
        inMarkers = false;
        lines << line;
    }
    if (inEntry && !finish(entry, lines, entries, error))
        return std::nullopt;
    return entries;
}

std::optional<QList<CorpusEntry>> readCorpusFile(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    return readCorpusText(QString::fromUtf8(file.readAll()), QFileInfo(path).fileName(), error);
}

QStringList corpusFiles(const QString &folder)
{
    QStringList files;
    const QDir dir(folder);
    for (const QString &name : dir.entryList({QStringLiteral("*.sql")}, QDir::Files, QDir::Name))
        files << dir.filePath(name);
    return files;
}

QString corpusFolder()
{
    return QStringLiteral(QV_SOURCE_DIR "/tests/sql/corpus");
}

} // namespace qv::sql::test
