// Windows-style profile files ("[Section]", "key=value", ';' comments) such as
// QvServer.ini, BackInfo.ini and SysConfig.ini. Section and key names match
// without regard to case. A write changes only the line of its key (or adds one)
// and keeps every other line, comment, blank line and the order of the file, so
// files that people edit by hand stay as they left them.
//
// An IniFile is a snapshot of the file taken when it is constructed (or on
// reload()); each write changes the snapshot and saves the whole file at once
// through QSaveFile, so a crash never leaves half a file. A missing file reads as
// empty and is created, with its folder, on the first write. A file that cannot
// be read or decoded is never written over.
#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

namespace qv::common {

class IniFile {
public:
    enum class Encoding { Utf8, Gbk };

    struct Entry {
        QString section; // empty for a key above the first section
        QString key;     // as spelled in the file
        QString value;
    };

    explicit IniFile(QString path, Encoding encoding = Encoding::Utf8);

    const QString &path() const { return m_path; }
    Encoding encoding() const { return m_encoding; }

    // False when the file exists but could not be read or decoded; errorString()
    // then says why and every write is refused.
    bool isValid() const { return m_valid; }
    // The reason of the last failure (loading or writing).
    const QString &errorString() const { return m_error; }

    bool reload();

    bool contains(QStringView section, QStringView key) const;
    // The value of the first line of the key in the section; a key present with
    // an empty value reads as empty, a missing key as the default.
    QString readString(QStringView section, QStringView key,
                       const QString &defaultValue = QString()) const;
    // The value as a decimal (or "$"/"0x" hexadecimal) integer; a missing key or
    // a value that is not an integer reads as the default.
    int readInt(QStringView section, QStringView key, int defaultValue) const;

    // Sets the value and saves the file. Refuses (false, errorString()) names or
    // values that would break the file's structure: line breaks anywhere, '=' in
    // a key, ']' in a section name, empty names.
    bool writeString(QStringView section, QStringView key, QStringView value);
    bool writeInt(QStringView section, QStringView key, int value);
    // Removes every line of the key in the section; true when nothing had to be
    // removed or the file was saved.
    bool removeKey(QStringView section, QStringView key);

    // Section names in file order, first spelling, each once.
    QStringList sections() const;
    // Key names of the section in file order, each once.
    QStringList keys(QStringView section) const;

    // The first line anywhere in the file, in whatever section, that sets the
    // key. Some installations have keys moved into the wrong section by hand.
    std::optional<Entry> findKeyInAnySection(QStringView key) const;

private:
    struct Block {
        qsizetype header = -1; // line index of "[Section]"
        qsizetype end = 0;     // one past the block's last line
    };

    QList<Block> blocks(QStringView section) const;
    qsizetype findKeyLine(QStringView section, QStringView key) const;
    bool checkWritable(QStringView section, QStringView key, QStringView value);
    bool save(const QStringList &lines);

    QString m_path;
    Encoding m_encoding;
    QStringList m_lines;
    QString m_lineBreak = QStringLiteral("\n");
    bool m_byteOrderMark = false;
    bool m_finalLineBreak = true;
    bool m_valid = true;
    QString m_error;
};

} // namespace qv::common
