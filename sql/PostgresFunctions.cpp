#include "sql/PostgresFunctions.h"

namespace qv::sql {

QStringList postgresFunctionStatements()
{
    // Each value rule matches the C++ of JetValues, which the SQLite library uses;
    // the tests run both on the same cases.
    return {
        QStringLiteral("CREATE EXTENSION IF NOT EXISTS citext"),

        // Val: the number at the start of a text, blanks ignored; 0 for none.
        QStringLiteral(R"SQL(CREATE OR REPLACE FUNCTION qv_val(t text) RETURNS double precision
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
  SELECT CASE WHEN t IS NULL THEN NULL ELSE coalesce(CAST(translate(substring(
    regexp_replace(t, '[ \t\r\n]', '', 'g')
    FROM '^[+-]?(?:[0-9]+\.?[0-9]*|\.[0-9]+)(?:[eEdD][+-]?[0-9]+)?'), 'dD', 'ee') AS double precision), 0) END
$$)SQL"),

        // The text form of values: numbers with up to 15 significant digits and
        // no trailing zeros, dates in the canonical text.
        QStringLiteral(R"SQL(CREATE OR REPLACE FUNCTION qv_str(v double precision) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
  SELECT CASE WHEN v IS NULL THEN NULL
              WHEN v = trunc(v) AND abs(v) < 1e15 THEN CAST(CAST(v AS bigint) AS text)
              WHEN abs(v) >= 1e15 OR abs(v) < 1e-4
                THEN upper(regexp_replace(btrim(to_char(v, '9.99999999999999EEEE')), '\.?0*e', 'e'))
              ELSE rtrim(rtrim(CAST(CAST(v AS numeric) AS text), '0'), '.') END
$$)SQL"),
        QStringLiteral(R"SQL(CREATE OR REPLACE FUNCTION qv_str(v bigint) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT CAST(v AS text) $$)SQL"),
        QStringLiteral(R"SQL(CREATE OR REPLACE FUNCTION qv_str(v integer) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT CAST(v AS text) $$)SQL"),
        QStringLiteral(R"SQL(CREATE OR REPLACE FUNCTION qv_str(v smallint) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT CAST(v AS text) $$)SQL"),
        QStringLiteral(R"SQL(CREATE OR REPLACE FUNCTION qv_str(v numeric) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT qv_str(CAST(v AS double precision)) $$)SQL"),
        QStringLiteral(R"SQL(CREATE OR REPLACE FUNCTION qv_str(v timestamp) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
  SELECT CASE WHEN v = date_trunc('day', v) THEN to_char(v, 'YYYY-MM-DD')
              ELSE to_char(v, 'YYYY-MM-DD HH24:MI:SS') END
$$)SQL"),
        QStringLiteral(R"SQL(CREATE OR REPLACE FUNCTION qv_str(v text) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT v $$)SQL"),
        QStringLiteral(R"SQL(CREATE OR REPLACE FUNCTION qv_str(v boolean) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT CASE WHEN v THEN '-1' WHEN NOT v THEN '0' END $$)SQL"),

        // Whole numbers by round half to even, after taking the double to 15
        // significant digits (so 2.5 gives 2, 3.5 gives 4).
        QStringLiteral(R"SQL(CREATE OR REPLACE FUNCTION qv_cint(v double precision) RETURNS bigint
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
  SELECT CAST(round(CAST(CAST(v AS numeric) AS double precision)) AS bigint)
$$)SQL"),
        QStringLiteral(R"SQL(CREATE OR REPLACE FUNCTION qv_round(v double precision, n integer) RETURNS double precision
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
  SELECT round(CAST(CAST(v * power(10, n) AS numeric) AS double precision)) / power(10, n)
$$)SQL"),
        QStringLiteral(R"SQL(CREATE OR REPLACE FUNCTION qv_cdbl(t text) RETURNS double precision
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT CAST(btrim(t) AS double precision) $$)SQL"),

        // Day numbers: days since 1899-12-30, the time as the fraction; before
        // day 0 the fraction still counts forward from the day's midnight.
        QStringLiteral(R"SQL(CREATE OR REPLACE FUNCTION qv_cdate(v double precision) RETURNS timestamp(0)
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
  SELECT CAST(TIMESTAMP '1899-12-30' + trunc(v) * INTERVAL '1 day' + abs(v - trunc(v)) * INTERVAL '1 day'
              AS timestamp(0))
$$)SQL"),
        QStringLiteral(R"SQL(CREATE OR REPLACE FUNCTION qv_cdate(t text) RETURNS timestamp(0)
LANGUAGE sql STABLE PARALLEL SAFE AS $$ SELECT CAST(CAST(btrim(t) AS timestamp) AS timestamp(0)) $$)SQL"),
        QStringLiteral(R"SQL(CREATE OR REPLACE FUNCTION qv_daynumber(v timestamp) RETURNS double precision
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
  SELECT CASE WHEN v >= TIMESTAMP '1899-12-30'
              THEN EXTRACT(EPOCH FROM (v - TIMESTAMP '1899-12-30')) / 86400.0
              ELSE EXTRACT(EPOCH FROM (date_trunc('day', v) - TIMESTAMP '1899-12-30')) / 86400.0
                   - EXTRACT(EPOCH FROM (v - date_trunc('day', v))) / 86400.0 END
$$)SQL"),
        QStringLiteral(R"SQL(CREATE OR REPLACE FUNCTION qv_dateadd(v timestamp, days double precision) RETURNS timestamp(0)
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT qv_cdate(qv_daynumber(v) + days) $$)SQL"),
        QStringLiteral(R"SQL(CREATE OR REPLACE FUNCTION qv_datediff(a timestamp, b timestamp) RETURNS double precision
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT qv_daynumber(a) - qv_daynumber(b) $$)SQL"),

        // &: Null counts as an empty text, unless both sides are Null.
        QStringLiteral(R"SQL(CREATE OR REPLACE FUNCTION qv_concat(a text, b text) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
  SELECT CASE WHEN a IS NULL AND b IS NULL THEN NULL ELSE coalesce(a, '') || coalesce(b, '') END
$$)SQL"),

        // \ and Mod round their operands to whole numbers first.
        QStringLiteral(R"SQL(CREATE OR REPLACE FUNCTION qv_intdiv(a double precision, b double precision) RETURNS bigint
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT qv_cint(a) / qv_cint(b) $$)SQL"),
        QStringLiteral(R"SQL(CREATE OR REPLACE FUNCTION qv_mod(a double precision, b double precision) RETURNS bigint
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT qv_cint(a) % qv_cint(b) $$)SQL"),

        // Format with a number pattern, taken apart at translation time: the
        // value rounded half away from zero at max_dec places (after taking it
        // to 15 significant digits), trailing zeros dropped down to min_dec,
        // at least int_zeros digits before the point.
        QStringLiteral(R"SQL(CREATE OR REPLACE FUNCTION qv_format_number(v double precision, min_dec integer,
    max_dec integer, int_zeros integer, use_grouping boolean, pct boolean, prefix text, suffix text) RETURNS text
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE
  n numeric;
  s text;
  ip text;
  fp text;
BEGIN
  IF v IS NULL THEN
    RETURN NULL;
  END IF;
  n := CAST(v AS numeric);
  IF pct THEN
    n := n * 100;
  END IF;
  n := round(n, max_dec);
  s := CAST(abs(n) AS text);
  IF position('.' IN s) > 0 THEN
    ip := split_part(s, '.', 1);
    fp := split_part(s, '.', 2);
  ELSE
    ip := s;
    fp := '';
  END IF;
  WHILE length(fp) > min_dec AND right(fp, 1) = '0' LOOP
    fp := left(fp, -1);
  END LOOP;
  IF ip = '0' AND int_zeros = 0 THEN
    ip := '';
  END IF;
  WHILE length(ip) < int_zeros LOOP
    ip := '0' || ip;
  END LOOP;
  IF use_grouping THEN
    ip := reverse(regexp_replace(reverse(ip), '([0-9]{3})(?=[0-9])', '\1,', 'g'));
  END IF;
  s := ip;
  IF max_dec > 0 THEN
    s := s || '.' || fp;
  END IF;
  RETURN CASE WHEN n < 0 THEN '-' ELSE '' END || prefix || s || suffix;
END
$$)SQL"),
    };
}

} // namespace qv::sql
