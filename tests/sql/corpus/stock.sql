-- Stock on hand and cost prices computed from the ledger Inv_ItemList, with
-- the end-of-day bounds written as day numbers (45306.9999884259 is
-- 2024-01-15 23:59:59), and the recomputation of requisition amounts.

-- name: stock at the end of a day counts that day's movements whatever their time
select sum(flag*sl) as qty From Inv_ItemList  where 1=1  and hpid =1 and RQ <= 45306.9999884259 and CKID = 1

-- name: stock of a FIFO item in the second warehouse
select sum(flag*sl) as qty From Inv_ItemList  where 1=1  and hpid =28 and RQ <= 45382.9999884259 and CKID = 2

-- name: stock of an item without movements is Null
select sum(flag*sl) as qty From Inv_ItemList  where 1=1  and hpid =3 and RQ <= 45382.9999884259 and CKID = 1

-- name: weighted average of receipts
select sum(sl*dj)/sum(sl) From Inv_ItemList  where flag=1  and hpid =1 and RQ <= 45382.9999884259 and CKID = 1

-- name: weighted average before the first receipt is Null
select sum(sl*dj)/sum(sl) From Inv_ItemList  where flag=1  and hpid =1 and RQ <= 45290.9999884259 and CKID = 1

-- name: purchase price when there is no receipt
select JJ from hp where id=3

-- name: last purchase price
select top 1 dj From Inv_ItemList  where BillType='CS'  and hpid =9 order by rq desc

-- name: last purchase price of an item never bought
-- expect: empty
select top 1 dj From Inv_ItemList  where BillType='CS'  and hpid =3 order by rq desc

-- name: FIFO quantity already issued
select sum(sl) From Inv_ItemList  where Billtype in ('LL','XS') and RQ <=45382.9999884259 and ckid=1 and hpid=9

-- name: FIFO quantity already issued before a document
select sum(sl) From Inv_ItemList  where Billtype in ('LL','XS') and RQ <=45382.9999884259 and ckid=1 and hpid=9 and DJBH <'LL2024030002'

-- name: FIFO receipt layers oldest first
select sl,dj from Inv_ItemList where BillType in('aExport','CS','KCPD','KCTZ','TL') and RQ <=45382.9999884259 and ckid=1 and hpid=9 order by rq,id

-- name: FIFO layers of the second warehouse include the opening layer
select sl,dj from Inv_ItemList where BillType in('aExport','CS','KCPD','KCTZ','TL') and RQ <=45382.9999884259 and ckid=2 and hpid=28 order by rq,id

-- name: FIFO item price when there is no layer
select JJ from hp where ID=44

-- name: requisition amounts by document
-- order: none
 select djbh,sum(sl*dj) as je from ll group by djbh

-- name: requisition amount rewritten
-- setup
update llzb set je=80.5 where djbh='LL2024010001'

-- name: requisition amounts after the rewrite
select DJBH, JE from LLZB order by DJBH

-- name: negative-stock check of a requisition line
select sum(flag*sl) as qty From Inv_ItemList  where 1=1  and hpid =33 and RQ <= 45356.9999884259 and CKID = 1

-- name: item price for a sales line
select JJJ from HP  where ID = 11

-- name: item price of an unknown item
-- expect: empty
select JJJ from HP  where ID = 999
