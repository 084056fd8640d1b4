-- Document numbering: the counters of MaxBillNo, read and advanced the way the
-- document editor and the opening-stock import take a number (prefix, year
-- and month of the document date, running number).

-- name: counter of a month in use
Select MaxNo from MaxBillNo where TableName='CS202401'

-- name: counter of a month without documents yet
-- expect: empty
Select MaxNo from MaxBillNo where TableName='CS202404'

-- name: counter that holds 0
Select MaxNo from MaxBillNo where TableName='CS202312'

-- name: first number of a month stores the next one
-- setup
INSERT into MaxBillNo(TableName,MaxNo) VALUES ('CS202404',2)

-- name: later number advances the counter
-- setup
update MaxBillNo set MaxNo = 4 where TableName = 'CS202401'

-- name: counters after numbering
select TableName, MaxNo from MaxBillNo where TableName like 'CS%' order by TableName

-- name: counter key with a quote is written doubled
-- setup
INSERT into MaxBillNo(TableName,MaxNo) VALUES ('CS''202405',2)

-- name: counter key with a quote is found again
Select MaxNo from MaxBillNo where TableName='CS''202405'

-- name: a key is unique
-- expect: error
INSERT into MaxBillNo(TableName,MaxNo) VALUES ('CS202401',9)
