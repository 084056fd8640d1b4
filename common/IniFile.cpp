#include "common/IniFile.h"

#include "common/GbkText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

namespace qv::common {

namespace {

const QByteArray utf8Bom("\xEF\xBB\xBF");

struct ParsedLine {
    enum Kind { Other, Section, Key };
    Kind kind = Other;
    QStringView name;
    QStringView value;
    qsizetype valueStart = 0; // index in the line where the value's text begins
};

ParsedLine parseLine(QStringView line)
{
    ParsedLine parsed;
    const QStringView trimmed = line.trimmed();
    if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char(';')))
        return parsed;
    if (trimmed.startsWith(QLatin1Char('['))) {
        parsed.kind = ParsedLine::Section;
        QStringView name = trimmed.mid(1);
        if (const qsizetype close = name.indexOf(QLatin1Char(']')); close >= 0)
            name = name.left(close);
        parsed.name = name.trimmed();
        return parsed;
    }
    const qsizetype equals = line.indexOf(QLatin1Char('='));
    if (equals < 0)
        return parsed;
    parsed.kind = ParsedLine::Key;
    parsed.name = line.left(equals).trimmed();
    qsizetype start = equals + 1;
    while (start < line.size() && line[start].isSpace())
        ++start;
    parsed.valueStart = start;
    parsed.value = line.mid(start).trimmed();
    return parsed;
}

bool sameName(QStringView a, QStringView b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool hasLineBreak(QStringView text)
{
    return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
}

std::optional<int> parseInteger(QStringView text)
{
    bool ok = false;
    int value = 0;
    if (text.startsWith(QLatin1Char('$')))
        value = text.mid(1).toInt(&ok, 16);
    else if (text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        value = text.mid(2).toInt(&ok, 16);
    else
        value = text.toInt(&ok, 10);
    if (!ok)
        return std::nullopt;
    return value;
}

} // namespace

IniFile::IniFile(QString path, Encoding encoding)
    : m_path(std::move(path)), m_encoding(encoding)
{
    reload();
}

bool IniFile::reload()
{
    m_lines.clear();
    m_lineBreak = QStringLiteral("\n");
    m_byteOrderMark = false;
    m_finalLineBreak = true;
    m_error.clear();
    m_valid = true;

    QFile file(m_path);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly)) {
        m_valid = false;
        m_error = QStringLiteral("cannot read %1: %2").arg(m_path, file.errorString());
        return false;
    }
    QByteArray bytes = file.readAll();

    QString text;
    if (m_encoding == Encoding::Gbk) {
        GbkError error;
        const auto decoded = fromGbk(bytes, &error);
        if (!decoded) {
            m_valid = false;
            m_error = QStringLiteral("%1: %2").arg(m_path, error.message);
            return false;
        }
        text = *decoded;
    } else {
        if (bytes.startsWith(utf8Bom)) {
            m_byteOrderMark = true;
            bytes.remove(0, utf8Bom.size());
        }
        QStringDecoder decoder(QStringDecoder::Utf8);
        text = decoder.decode(bytes);
        if (decoder.hasError()) {
            m_valid = false;
            m_error = QStringLiteral("%1 is not valid UTF-8").arg(m_path);
            return false;
        }
    }

    if (const qsizetype firstBreak = text.indexOf(QLatin1Char('\n'));
        firstBreak > 0 && text[firstBreak - 1] == QLatin1Char('\r'))
        m_lineBreak = QStringLiteral("\r\n");
    if (text.isEmpty())
        return true;
    m_lines = text.split(QLatin1Char('\n'));
    m_finalLineBreak = text.endsWith(QLatin1Char('\n'));
    if (m_finalLineBreak)
        m_lines.removeLast();
    for (QString &line : m_lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    return true;
}

QList<IniFile::Block> IniFile::blocks(QStringView section) const
{
    QList<Block> result;
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const ParsedLine parsed = parseLine(m_lines[i]);
        if (parsed.kind != ParsedLine::Section)
            continue;
        if (!result.isEmpty() && result.last().end == 0)
            result.last().end = i;
        if (sameName(parsed.name, section))
            result.append(Block{i, 0});
    }
    if (!result.isEmpty() && result.last().end == 0)
        result.last().end = m_lines.size();
    return result;
}

qsizetype IniFile::findKeyLine(QStringView section, QStringView key) const
{
    for (const Block &block : blocks(section)) {
        for (qsizetype i = block.header + 1; i < block.end; ++i) {
            const ParsedLine parsed = parseLine(m_lines[i]);
            if (parsed.kind == ParsedLine::Key && sameName(parsed.name, key))
                return i;
        }
    }
    return -1;
}

bool IniFile::contains(QStringView section, QStringView key) const
{
    return findKeyLine(section, key) >= 0;
}

QString IniFile::readString(QStringView section, QStringView key,
                            const QString &defaultValue) const
{
    const qsizetype line = findKeyLine(section, key);
    if (line < 0)
        return defaultValue;
    return parseLine(m_lines[line]).value.toString();
}

int IniFile::readInt(QStringView section, QStringView key, int defaultValue) const
{
    const qsizetype line = findKeyLine(section, key);
    if (line < 0)
        return defaultValue;
    return parseInteger(parseLine(m_lines[line]).value).value_or(defaultValue);
}

bool IniFile::checkWritable(QStringView section, QStringView key, QStringView value)
{
    if (!m_valid) {
        // m_error still holds the reason the file could not be read.
        return false;
    }
    const QStringView sectionName = section.trimmed();
    const QStringView keyName = key.trimmed();
    if (sectionName.isEmpty() || hasLineBreak(section) || section.contains(QLatin1Char(']')))
        m_error = QStringLiteral("invalid section name \"%1\"").arg(section);
    else if (keyName.isEmpty() || hasLineBreak(key) || key.contains(QLatin1Char('='))
             || keyName.startsWith(QLatin1Char('[')) || keyName.startsWith(QLatin1Char(';')))
        m_error = QStringLiteral("invalid key name \"%1\"").arg(key);
    else if (hasLineBreak(value))
        m_error = QStringLiteral("the value of %1 contains a line break").arg(key);
    else
        return true;
    return false;
}

bool IniFile::writeString(QStringView section, QStringView key, QStringView value)
{
    if (!checkWritable(section, key, value))
        return false;
    QStringList lines = m_lines;
    if (const qsizetype existing = findKeyLine(section, key); existing >= 0) {
        // Keep the key's spelling and the spacing around '=' as the file has them.
        const QString &old = lines[existing];
        lines[existing] = old.left(parseLine(old).valueStart) + value.toString();
    } else if (const QList<Block> found = blocks(section); !found.isEmpty()) {
        // After the last key of the section's first block, ahead of any blank
        // lines or comments that separate it from the next section.
        qsizetype insertAt = found.first().header + 1;
        for (qsizetype i = insertAt; i < found.first().end; ++i) {
            if (parseLine(lines[i]).kind == ParsedLine::Key)
                insertAt = i + 1;
        }
        lines.insert(insertAt, key.trimmed().toString() + QLatin1Char('=') + value.toString());
    } else {
        lines.append(QLatin1Char('[') + section.trimmed().toString() + QLatin1Char(']'));
        lines.append(key.trimmed().toString() + QLatin1Char('=') + value.toString());
    }
    return save(lines);
}

bool IniFile::writeInt(QStringView section, QStringView key, int value)
{
    return writeString(section, key, QString::number(value));
}

bool IniFile::removeKey(QStringView section, QStringView key)
{
    if (!m_valid)
        return false;
    QStringList lines = m_lines;
    bool removed = false;
    const QList<Block> found = blocks(section);
    for (auto block = found.crbegin(); block != found.crend(); ++block) {
        for (qsizetype i = block->end - 1; i > block->header; --i) {
            const ParsedLine parsed = parseLine(lines[i]);
            if (parsed.kind == ParsedLine::Key && sameName(parsed.name, key)) {
                lines.removeAt(i);
                removed = true;
            }
        }
    }
    return !removed || save(lines);
}

QStringList IniFile::sections() const
{
    QStringList result;
    for (const QString &line : m_lines) {
        const ParsedLine parsed = parseLine(line);
        if (parsed.kind == ParsedLine::Section
            && !result.contains(parsed.name.toString(), Qt::CaseInsensitive))
            result.append(parsed.name.toString());
    }
    return result;
}

QStringList IniFile::keys(QStringView section) const
{
    QStringList result;
    for (const Block &block : blocks(section)) {
        for (qsizetype i = block.header + 1; i < block.end; ++i) {
            const ParsedLine parsed = parseLine(m_lines[i]);
            if (parsed.kind == ParsedLine::Key && !parsed.name.isEmpty()
                && !result.contains(parsed.name.toString(), Qt::CaseInsensitive))
                result.append(parsed.name.toString());
        }
    }
    return result;
}

std::optional<IniFile::Entry> IniFile::findKeyInAnySection(QStringView key) const
{
    QString section;
    for (const QString &line : m_lines) {
        const ParsedLine parsed = parseLine(line);
        if (parsed.kind == ParsedLine::Section)
            section = parsed.name.toString();
        else if (parsed.kind == ParsedLine::Key && sameName(parsed.name, key))
            return Entry{section, parsed.name.toString(), parsed.value.toString()};
    }
    return std::nullopt;
}

bool IniFile::save(const QStringList &lines)
{
    QString text = lines.join(m_lineBreak);
    if (!lines.isEmpty() && m_finalLineBreak)
        text += m_lineBreak;

    QByteArray bytes;
    if (m_encoding == Encoding::Gbk) {
        GbkError error;
        const auto encoded = toGbk(text, &error);
        if (!encoded) {
            m_error = QStringLiteral("%1: %2").arg(m_path, error.message);
            return false;
        }
        bytes = *encoded;
    } else {
        bytes = (m_byteOrderMark ? utf8Bom : QByteArray()) + text.toUtf8();
    }

    const QString folder = QFileInfo(m_path).absolutePath();
    if (!QDir().mkpath(folder)) {
        m_error = QStringLiteral("cannot create the folder %1").arg(folder);
        return false;
    }
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        m_error = QStringLiteral("cannot write %1: %2").arg(m_path, file.errorString());
        return false;
    }
    m_lines = lines;
    m_error.clear();
    return true;
}

} // namespace qv::common
