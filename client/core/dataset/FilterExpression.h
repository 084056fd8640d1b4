// The text form of a dataset filter: conditions on fields joined by and/or/not,
// for example
//     SL > 5 and (MC like '办公%' or BZ is null) and ZT = false
//     RQ >= '2024-01-01' and BillType in ('CS', 'LL')
// Operators: = <> != < > <= >= like (with % and _, or * and ?), is [not] null,
// [not] in (...). Names may be written [in brackets]; text between single or
// double quotes, a quote doubled inside. Text compares without regard to case,
// as the database does; a literal compared with a field is read as a value of
// the field's type, so a date column compares with date text. A comparison with
// a null value is false.
#pragma once

#include <QString>

#include <memory>

namespace qv::client {

class DataSet;

class FilterExpression {
public:
    struct Node;

    // nullptr and a message naming the position when the text does not parse.
    static std::shared_ptr<FilterExpression> parse(const QString &text, QString *error);
    ~FilterExpression();

    // Tests the dataset's active record.
    bool matches(DataSet &dataSet) const;

private:
    explicit FilterExpression(std::unique_ptr<Node> root);
    std::unique_ptr<Node> m_root;
};

} // namespace qv::client
