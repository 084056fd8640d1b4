#include "sql/SqliteFunctions.h"

#include "sql/JetValues.h"
#include "sql/Parser.h"

#include "common/DayNumber.h"

#include <sqlite3.h>

#include <cmath>
#include <optional>

namespace qv::sql {

namespace {

QString textOf(sqlite3_value *v)
{
    const auto *p = reinterpret_cast<const char *>(sqlite3_value_text(v));
    return p ? QString::fromUtf8(p, sqlite3_value_bytes(v)) : QString();
}

void resultText(sqlite3_context *ctx, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    sqlite3_result_text(ctx, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

void resultError(sqlite3_context *ctx, const QString &message)
{
    const QByteArray utf8 = message.toUtf8();
    sqlite3_result_error(ctx, utf8.constData(), int(utf8.size()));
}

bool isNull(sqlite3_value *v)
{
    return sqlite3_value_type(v) == SQLITE_NULL;
}

// A value as a number: numbers as they are, texts that are numbers; nullopt
// for anything else.
std::optional<double> numberOf(sqlite3_value *v)
{
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER: return double(sqlite3_value_int64(v));
    case SQLITE_FLOAT: return sqlite3_value_double(v);
    case SQLITE_TEXT: return jet::parseNumber(textOf(v));
    default: return std::nullopt;
    }
}

// A value as a day number: date texts (the stored form) and numbers.
std::optional<double> dayNumberOf(sqlite3_value *v)
{
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER: return double(sqlite3_value_int64(v));
    case SQLITE_FLOAT: return sqlite3_value_double(v);
    case SQLITE_TEXT: {
        const QString text = textOf(v);
        if (std::optional<double> n = jet::dayNumber(text))
            return n;
        const QString canonical = dateLiteralText(text);
        return canonical.isEmpty() ? std::nullopt : jet::dayNumber(canonical);
    }
    default: return std::nullopt;
    }
}

// Reads argument i as a number or fails the call with a type mismatch.
#define QV_NUMBER_ARG(name, i)                                   \
    const std::optional<double> name = numberOf(argv[i]);        \
    if (!name) {                                                 \
        resultError(ctx, QStringLiteral("type mismatch"));       \
        return;                                                  \
    }

#define QV_NULL_GIVES_NULL(n)                                    \
    for (int k = 0; k < (n); ++k) {                              \
        if (isNull(argv[k])) {                                   \
            sqlite3_result_null(ctx);                            \
            return;                                              \
        }                                                        \
    }

void fnVal(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    QV_NULL_GIVES_NULL(1);
    const int t = sqlite3_value_type(argv[0]);
    if (t == SQLITE_INTEGER || t == SQLITE_FLOAT)
        sqlite3_result_double(ctx, sqlite3_value_double(argv[0]));
    else
        sqlite3_result_double(ctx, jet::val(textOf(argv[0])));
}

void fnStr(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    QV_NULL_GIVES_NULL(1);
    switch (sqlite3_value_type(argv[0])) {
    case SQLITE_INTEGER: resultText(ctx, QString::number(sqlite3_value_int64(argv[0]))); return;
    case SQLITE_FLOAT: resultText(ctx, jet::numberText(sqlite3_value_double(argv[0]))); return;
    default: resultText(ctx, textOf(argv[0])); return;
    }
}

void fnFormat(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    QV_NULL_GIVES_NULL(argc);
    const QString pattern = argc > 1 ? textOf(argv[1]) : QString();
    std::optional<double> value = numberOf(argv[0]);
    if (!value) {
        value = dayNumberOf(argv[0]);
        if (!value) { // a text that is neither a number nor a date is shown as it is
            resultText(ctx, textOf(argv[0]));
            return;
        }
    }
    const std::optional<QString> text = jet::format(*value, pattern);
    if (!text) {
        resultError(ctx, QStringLiteral("format pattern '%1' is not supported").arg(pattern));
        return;
    }
    resultText(ctx, *text);
}

void fnCint(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    QV_NULL_GIVES_NULL(1);
    QV_NUMBER_ARG(v, 0);
    sqlite3_result_int64(ctx, qint64(jet::roundHalfEven(*v)));
}

void fnCdbl(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    QV_NULL_GIVES_NULL(1);
    QV_NUMBER_ARG(v, 0);
    sqlite3_result_double(ctx, *v);
}

void fnCdate(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    QV_NULL_GIVES_NULL(1);
    const std::optional<double> n = dayNumberOf(argv[0]);
    const QString text = n ? jet::dateText(*n) : QString();
    if (text.isEmpty()) {
        resultError(ctx, QStringLiteral("type mismatch: '%1' is not a date").arg(textOf(argv[0])));
        return;
    }
    resultText(ctx, text);
}

void fnDayNumber(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    QV_NULL_GIVES_NULL(1);
    const std::optional<double> n = dayNumberOf(argv[0]);
    if (!n) {
        resultError(ctx, QStringLiteral("type mismatch: '%1' is not a date").arg(textOf(argv[0])));
        return;
    }
    sqlite3_result_double(ctx, *n);
}

template <double (*F)(double)>
void fnNumeric(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    QV_NULL_GIVES_NULL(1);
    if (sqlite3_value_type(argv[0]) == SQLITE_INTEGER) {
        sqlite3_result_int64(ctx, qint64(F(double(sqlite3_value_int64(argv[0])))));
        return;
    }
    QV_NUMBER_ARG(v, 0);
    sqlite3_result_double(ctx, F(*v));
}

double floorOf(double v) { return std::floor(v); }
double truncOf(double v) { return std::trunc(v); }
double signOf(double v) { return v > 0 ? 1 : (v < 0 ? -1 : 0); }

void fnRound(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    QV_NULL_GIVES_NULL(2);
    QV_NUMBER_ARG(v, 0);
    QV_NUMBER_ARG(n, 1);
    const double r = jet::roundHalfEven(*v, int(*n));
    if (sqlite3_value_type(argv[0]) == SQLITE_INTEGER)
        sqlite3_result_int64(ctx, qint64(r));
    else
        sqlite3_result_double(ctx, r);
}

void fnSqr(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    QV_NULL_GIVES_NULL(1);
    QV_NUMBER_ARG(v, 0);
    if (*v < 0) {
        resultError(ctx, QStringLiteral("invalid procedure call: square root of a negative number"));
        return;
    }
    sqlite3_result_double(ctx, std::sqrt(*v));
}

enum class DatePart { Year, Month, Day, Hour, Minute, Second, Weekday };

template <DatePart P>
void fnDatePart(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    QV_NULL_GIVES_NULL(1);
    const std::optional<double> n = dayNumberOf(argv[0]);
    const QDateTime dt = n ? common::dateTimeFromDayNumber(*n) : QDateTime();
    if (!dt.isValid()) {
        resultError(ctx, QStringLiteral("type mismatch: '%1' is not a date").arg(textOf(argv[0])));
        return;
    }
    int v = 0;
    switch (P) {
    case DatePart::Year: v = dt.date().year(); break;
    case DatePart::Month: v = dt.date().month(); break;
    case DatePart::Day: v = dt.date().day(); break;
    case DatePart::Hour: v = dt.time().hour(); break;
    case DatePart::Minute: v = dt.time().minute(); break;
    case DatePart::Second: v = dt.time().second(); break;
    case DatePart::Weekday: v = dt.date().dayOfWeek() % 7 + 1; break; // Sunday is 1
    }
    sqlite3_result_int(ctx, v);
}

void fnNow(sqlite3_context *ctx, int, sqlite3_value **)
{
    resultText(ctx, common::toDateText(QDateTime::currentDateTime()));
}

void fnToday(sqlite3_context *ctx, int, sqlite3_value **)
{
    resultText(ctx, common::toDateText(QDate::currentDate()));
}

void fnRight(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    QV_NULL_GIVES_NULL(2);
    QV_NUMBER_ARG(n, 1);
    if (*n < 0) {
        resultError(ctx, QStringLiteral("invalid procedure call: Right with a negative length"));
        return;
    }
    resultText(ctx, textOf(argv[0]).right(qsizetype(*n)));
}

void fnSpace(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    QV_NULL_GIVES_NULL(1);
    QV_NUMBER_ARG(n, 0);
    if (*n < 0 || *n > 1e6) {
        resultError(ctx, QStringLiteral("invalid procedure call: Space"));
        return;
    }
    resultText(ctx, QString(qsizetype(*n), QLatin1Char(' ')));
}

// Chr: the character of a code (the backup writes line breaks as chr(13) & chr(10)).
void fnChr(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    QV_NULL_GIVES_NULL(1);
    QV_NUMBER_ARG(n, 0);
    const double code = jet::roundHalfEven(*n);
    if (code < 0 || code > 0xFFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        resultError(ctx, QStringLiteral("invalid procedure call: Chr(%1)").arg(jet::numberText(*n)));
        return;
    }
    resultText(ctx, QString(QChar(char16_t(code))));
}

QString concatText(sqlite3_value *v)
{
    switch (sqlite3_value_type(v)) {
    case SQLITE_NULL: return {};
    case SQLITE_INTEGER: return QString::number(sqlite3_value_int64(v));
    case SQLITE_FLOAT: return jet::numberText(sqlite3_value_double(v));
    default: return textOf(v);
    }
}

void fnConcat(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (isNull(argv[0]) && isNull(argv[1])) {
        sqlite3_result_null(ctx);
        return;
    }
    resultText(ctx, concatText(argv[0]) + concatText(argv[1]));
}

void fnDateAdd(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    QV_NULL_GIVES_NULL(2);
    const std::optional<double> d = dayNumberOf(argv[0]);
    QV_NUMBER_ARG(days, 1);
    const QString text = d ? jet::dateText(*d + *days) : QString();
    if (text.isEmpty()) {
        resultError(ctx, QStringLiteral("date out of range"));
        return;
    }
    resultText(ctx, text);
}

void fnDateDiff(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    QV_NULL_GIVES_NULL(2);
    const std::optional<double> a = dayNumberOf(argv[0]);
    const std::optional<double> b = dayNumberOf(argv[1]);
    if (!a || !b) {
        resultError(ctx, QStringLiteral("type mismatch"));
        return;
    }
    sqlite3_result_double(ctx, *a - *b);
}

void fnDiv(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    QV_NULL_GIVES_NULL(2);
    QV_NUMBER_ARG(a, 0);
    QV_NUMBER_ARG(b, 1);
    if (*b == 0) {
        resultError(ctx, QStringLiteral("division by zero"));
        return;
    }
    sqlite3_result_double(ctx, *a / *b);
}

// \ and Mod round their operands to whole numbers first.
void fnIntDiv(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    QV_NULL_GIVES_NULL(2);
    QV_NUMBER_ARG(a, 0);
    QV_NUMBER_ARG(b, 1);
    const qint64 x = qint64(jet::roundHalfEven(*a));
    const qint64 y = qint64(jet::roundHalfEven(*b));
    if (y == 0) {
        resultError(ctx, QStringLiteral("division by zero"));
        return;
    }
    sqlite3_result_int64(ctx, x / y);
}

void fnMod(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    QV_NULL_GIVES_NULL(2);
    QV_NUMBER_ARG(a, 0);
    QV_NUMBER_ARG(b, 1);
    const qint64 x = qint64(jet::roundHalfEven(*a));
    const qint64 y = qint64(jet::roundHalfEven(*b));
    if (y == 0) {
        resultError(ctx, QStringLiteral("division by zero"));
        return;
    }
    sqlite3_result_int64(ctx, x % y);
}

void fnPow(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    QV_NULL_GIVES_NULL(2);
    QV_NUMBER_ARG(a, 0);
    QV_NUMBER_ARG(b, 1);
    sqlite3_result_double(ctx, std::pow(*a, *b));
}

struct Function {
    const char *name;
    int arity;
    void (*fn)(sqlite3_context *, int, sqlite3_value **);
    bool deterministic;
};

const Function kFunctions[] = {
    {"qv_val", 1, fnVal, true},
    {"qv_str", 1, fnStr, true},
    {"qv_format", 1, fnFormat, true},
    {"qv_format", 2, fnFormat, true},
    {"qv_cint", 1, fnCint, true},
    {"qv_cdbl", 1, fnCdbl, true},
    {"qv_cdate", 1, fnCdate, true},
    {"qv_daynumber", 1, fnDayNumber, true},
    {"qv_int", 1, fnNumeric<floorOf>, true},
    {"qv_fix", 1, fnNumeric<truncOf>, true},
    {"qv_sgn", 1, fnNumeric<signOf>, true},
    {"qv_round", 2, fnRound, true},
    {"qv_sqr", 1, fnSqr, true},
    {"qv_year", 1, fnDatePart<DatePart::Year>, true},
    {"qv_month", 1, fnDatePart<DatePart::Month>, true},
    {"qv_day", 1, fnDatePart<DatePart::Day>, true},
    {"qv_hour", 1, fnDatePart<DatePart::Hour>, true},
    {"qv_minute", 1, fnDatePart<DatePart::Minute>, true},
    {"qv_second", 1, fnDatePart<DatePart::Second>, true},
    {"qv_weekday", 1, fnDatePart<DatePart::Weekday>, true},
    {"qv_now", 0, fnNow, false},
    {"qv_today", 0, fnToday, false},
    {"qv_right", 2, fnRight, true},
    {"qv_space", 1, fnSpace, true},
    {"qv_chr", 1, fnChr, true},
    {"qv_concat", 2, fnConcat, true},
    {"qv_dateadd", 2, fnDateAdd, true},
    {"qv_datediff", 2, fnDateDiff, true},
    {"qv_div", 2, fnDiv, true},
    {"qv_intdiv", 2, fnIntDiv, true},
    {"qv_mod", 2, fnMod, true},
    {"qv_pow", 2, fnPow, true},
};

} // namespace

bool installSqliteFunctions(sqlite3 *db, QString *error)
{
    for (const Function &f : kFunctions) {
        const int flags = SQLITE_UTF8 | (f.deterministic ? SQLITE_DETERMINISTIC : 0);
        const int rc = sqlite3_create_function_v2(db, f.name, f.arity, flags, nullptr, f.fn, nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK) {
            if (error)
                *error = QStringLiteral("cannot register %1: %2").arg(QLatin1String(f.name), QString::fromUtf8(sqlite3_errmsg(db)));
            return false;
        }
    }
    return true;
}

} // namespace qv::sql
