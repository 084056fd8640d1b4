// One field of a dataset: its definition, how it is shown and edited, and access
// to its value in the dataset's active record (the current row, the row being
// edited, or the row a view or a calculation is reading at that moment).
//
// Null and empty are different values: a text field holds null or a string
// (possibly empty); setAsText("") stores "" for text and null for numbers and
// dates, which have no empty value.
#pragma once

#include "client/core/dataset/FieldDef.h"

#include <QDateTime>
#include <QString>
#include <QVariant>

#include <functional>

namespace qv::client {

class DataSet;

enum class FieldKind : quint8 {
    Data,       // a column of the server's query
    Calculated, // computed on the client from the other fields of its row
    Lookup,     // looked up in another dataset by key
};

// A lookup field shows `resultField` of the row of `dataSet` whose
// `lookupKeyFields` equal this row's `keyFields` (lists separated by ';').
struct LookupSpec {
    DataSet *dataSet = nullptr;
    QString keyFields;
    QString lookupKeyFields;
    QString resultField;

    bool isValid() const { return dataSet && !keyFields.isEmpty() && !resultField.isEmpty(); }
};

class Field {
public:
    // Replaces the shown text; `text` arrives formatted by the field. The stored
    // value is unchanged. `displayText` is false when the text is for editing.
    using GetTextHook = std::function<void(const Field &field, QString &text, bool displayText)>;
    // Takes over the conversion of typed text; returns false to refuse the text.
    using SetTextHook = std::function<bool(Field &field, const QString &text)>;

    Field(DataSet *dataSet, const FieldDef &def, FieldKind kind);
    Field(const Field &) = delete;
    Field &operator=(const Field &) = delete;

    DataSet *dataSet() const { return m_dataSet; }
    const QString &name() const { return m_name; }
    FieldType type() const { return m_type; }
    int size() const { return m_size; }
    FieldKind kind() const { return m_kind; }
    bool isCalculated() const { return m_kind != FieldKind::Data; }
    bool isLookup() const { return m_kind == FieldKind::Lookup; }
    // Position in the dataset's field list.
    int index() const { return m_index; }
    // Position of the value in a row: among the data values for data fields,
    // among the calculated values for the others.
    int slot() const { return m_slot; }

    // The server's flags (row key, read-only, ...); none for client fields.
    FieldFlags flags() const { return m_flags; }
    bool hasFlag(FieldFlag flag) const { return m_flags.testFlag(flag); }
    // Sent back to the server when its row changes.
    bool isWrittenBack() const;

    QString displayLabel() const { return m_label.isEmpty() ? m_name : m_label; }
    void setDisplayLabel(const QString &label) { m_label = label; }
    const QString &displayFormat() const { return m_displayFormat; }
    void setDisplayFormat(const QString &pattern) { m_displayFormat = pattern; }
    // The explicit edit format; empty means "derived from the display format".
    const QString &editFormat() const { return m_editFormat; }
    void setEditFormat(const QString &pattern) { m_editFormat = pattern; }
    // The format the field is edited in: the edit format, or for numbers the
    // display format without thousands separators ("#,0.00" edits as "0.00").
    QString effectiveEditFormat() const;
    // For yes/no fields: "shown when true;shown when false".
    const QString &boolTexts() const { return m_boolTexts; }
    void setBoolTexts(const QString &texts) { m_boolTexts = texts; }

    bool isReadOnly() const { return m_readOnly; }
    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }
    bool isVisible() const { return m_visible; }
    void setVisible(bool visible) { m_visible = visible; }
    bool isRequired() const { return m_required; }
    void setRequired(bool required) { m_required = required; }
    // Numbers equal to 0 show as empty text.
    bool zeroToEmpty() const { return m_zeroToEmpty; }
    void setZeroToEmpty(bool on) { m_zeroToEmpty = on; }
    // Width in characters the views start from; 0 lets them choose.
    int displayWidth() const { return m_displayWidth; }
    void setDisplayWidth(int characters) { m_displayWidth = characters; }

    const LookupSpec &lookup() const { return m_lookup; }
    void setLookup(const LookupSpec &spec) { m_lookup = spec; }

    void setGetTextHook(GetTextHook hook) { m_getText = std::move(hook); }
    bool hasGetTextHook() const { return bool(m_getText); }
    void setSetTextHook(SetTextHook hook) { m_setText = std::move(hook); }
    bool hasSetTextHook() const { return bool(m_setText); }

    // --- the value in the active record -------------------------------------
    QVariant value() const;
    bool isNull() const { return !value().isValid(); }
    // Stores the value (converted to the field's type). In browse state the
    // dataset enters edit state first. False (and the dataset's lastError) when
    // the dataset cannot edit, the field is read-only or the value does not fit.
    bool setValue(const QVariant &value);
    bool clear() { return setValue(QVariant()); }
    // The value before the pending change of its row: the row as last read from
    // or saved to the server.
    QVariant oldValue() const;

    QString asString() const;
    qint64 asInteger() const;
    double asDouble() const;
    bool asBool() const;
    QDateTime asDateTime() const;
    QByteArray asBytes() const;

    // The text a view shows (display format, zero-to-empty, get-text hook).
    QString displayText() const;
    // The text an editor starts from (edit format, get-text hook).
    QString text() const;
    // Stores typed text through the set-text hooks (the dataset's, then the
    // field's) or, without hooks, through assignText().
    bool setAsText(const QString &text);
    // Converts the text by the field's type and stores it, bypassing the hooks
    // (what a set-text hook calls to store the value itself).
    bool assignText(const QString &text);

    // The text of any value of this field, without reading a record.
    QString formatValue(const QVariant &value, bool displayText) const;
    // Text → stored value by the field's rules; nullopt with a message when the
    // text does not read as a value of the field's type.
    std::optional<QVariant> parseText(const QString &text, QString *error = nullptr) const;

private:
    friend class FieldList;
    friend class DataSet;

    DataSet *m_dataSet;
    QString m_name;
    FieldType m_type;
    int m_size;
    FieldFlags m_flags;
    FieldKind m_kind;
    int m_index = -1;
    int m_slot = -1; // index into the record's values (data) or calculated values

    QString m_label;
    QString m_displayFormat;
    QString m_editFormat;
    QString m_boolTexts;
    bool m_readOnly = false;
    bool m_visible = true;
    bool m_required = false;
    bool m_zeroToEmpty = false;
    int m_displayWidth = 0;
    LookupSpec m_lookup;
    GetTextHook m_getText;
    SetTextHook m_setText;
};

} // namespace qv::client
