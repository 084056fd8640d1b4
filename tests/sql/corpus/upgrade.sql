-- The upgrade tool: the account sets to back up, each table of the new
-- database emptied and filled from the old database file through a reference
-- to that file (on SQLite the runner attaches it), and the fix-up statements
-- run afterwards. "${olddb}" is the old database file.

-- name: account sets to back up
-- order: none
select AccountNo from Act_QVSys

-- name: first row of a table of the old database
-- order: none
SELECT TOP 1 * FROM [HP]

-- name: first row of an empty table
-- expect: empty
SELECT TOP 1 * FROM [Gz_Item]

-- name: fix-up: receipt handlers by name
-- setup
update CGSHZB c,YG y set c.ygid=y.id where c.ywy=y.xm

-- name: fix-up: requisition handlers by name
-- setup
update LLZB c,YG y set c.ygid=y.id where c.jsr=y.xm

-- name: fix-up: ledger employees by name
-- setup
update inv_itemlist c,YG y set c.ygid=y.id where c.Employee=y.xm

-- name: employees after the fix-ups
select 'CGSHZB' as T, DJBH, YWY as NAME, YGID from CGSHZB union all select 'LLZB', DJBH, JSR, YGID from LLZB union all select 'Inv_ItemList', DJBH, Employee, YGID from Inv_ItemList where Employee is not null order by 1, 2

-- name: fix-up: every item active
-- setup
update hp set zt=false

-- name: fix-up: receipt discounts of 0
-- setup
update cgshzb set nzk=1 where nzk=0

-- name: fix-up: receipt line discounts of 0
-- setup
update cgsh set nzk=1 where nzk=0

-- name: fix-up: delivery discounts of 0
-- setup
update xskdzb set nzk=1 where nzk=0

-- name: fix-up: delivery line discounts of 0
-- setup
update xskd set nzk=1 where nzk=0

-- name: a fix-up of a table the database lacks
-- expect: error
update cgshzb2 set nzk=1 where nzk=0

-- name: discounts after the fix-ups
select DJBH, NZK from CGSHZB order by DJBH

-- name: each table of the new database starts empty
-- setup
delete from HP

-- name: the table is emptied again before the copy
-- setup
DELETE FROM [HP]

-- name: items copied from the old database file
-- setup
-- engines: sqlite
INSERT INTO [HP] ([ID],[BH],[BARCODE],[HPLBID],[PM],[GG],[DW],[HPSXID],[HPHSFFID],[HPHSFSID],[JJ],[JJJ],[JQJ],[JHY],[JVIP],[SX],[XX],[InSL],[CKID],[ZT],[IsMaterial],[IsProduct],[BZ],[ZJM],[SX1],[SX2],[SX3],[SX4],[SX5]) SELECT [ID],[BH],[BARCODE],[HPLBID],[PM],[GG],[DW],[HPSXID],[HPHSFFID],[HPHSFSID],[JJ],[JJJ],[JQJ],[JHY],[JVIP],[SX],[XX],[InSL],[CKID],[ZT],[IsMaterial],[IsProduct],[BZ],[ZJM],[SX1],[SX2],[SX3],[SX4],[SX5] FROM [MS Access;DATABASE=${olddb};PWD=ferntide].[HP]

-- name: items after the copy
-- engines: sqlite
select ID, BH, PM, ZT, JJ from HP order by ID

-- name: the log copied from the old database file
-- setup
-- engines: sqlite
INSERT INTO [AppLog] ([uName],[cName],[CZ],[RQ],[SJ]) SELECT [uName],[cName],[CZ],[RQ],[SJ] FROM [MS Access;DATABASE=${olddb};PWD=ferntide].[AppLog]

-- name: log rows after the copy
-- engines: sqlite
select uName, CZ, RQ, SJ from AppLog order by RQ, uName, SJ

-- name: a table of the old file read whole
-- engines: sqlite
-- order: none
select * from [MS Access;DATABASE=${olddb};PWD=ferntide].[CK]
