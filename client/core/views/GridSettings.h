// Where a grid's column layout is kept between runs (titles, widths, which
// columns show, their order), per window. IniGridSettings is the file-backed
// default ("System\GridLayout.ini"); a window may bring its own source (the
// document layouts kept in the TableColumns table).
#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace qv::client {

struct ColumnLayout {
    QString field;
    QString title;  // empty keeps the field's label
    int width = 0;  // pixels; 0 keeps the current width
    bool visible = true;

    friend bool operator==(const ColumnLayout &, const ColumnLayout &) = default;
};

class GridSettings {
public:
    virtual ~GridSettings();
    // The saved columns in their order; nullopt when nothing is saved.
    virtual std::optional<QList<ColumnLayout>> load(const QString &key) = 0;
    virtual bool save(const QString &key, const QList<ColumnLayout> &columns) = 0;

protected:
    GridSettings() = default;
};

// One section per window: "Columns=DJBH;RQ;JE" gives the order, and each column
// has "<field>.Title", "<field>.Width" and "<field>.Visible".
class IniGridSettings : public GridSettings {
public:
    explicit IniGridSettings(QString path);

    const QString &path() const { return m_path; }
    const QString &errorString() const { return m_error; }

    std::optional<QList<ColumnLayout>> load(const QString &key) override;
    bool save(const QString &key, const QList<ColumnLayout> &columns) override;

private:
    QString m_path;
    QString m_error;
};

} // namespace qv::client
