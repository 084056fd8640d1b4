-- Posting of audited documents into the ledger Inv_ItemList, and its removal
-- when a document is un-audited: the statements of every document kind with a
-- posting key, the drawn quantities of first-in-first-out receipts, and the
-- ledger as the stock figures then read it.

-- name: un-audit a receipt removes its rows
-- setup
 Delete from Inv_Itemlist where DJBH='CS2024020001'

-- name: the receipt has no rows while un-audited
select count(*) as n from Inv_ItemList where DJBH = 'CS2024020001'

-- name: audit a receipt posts its lines
-- setup
 insert into Inv_Itemlist(RQ,BillType,Flag,DJBH,HPID,HH,NZK,NSL,SL,DJ,CBDJ,JE,CustVendID,CKID,F1,YGID)  select D.RQ,'CS',1,M.DJBH,D.HPID,D.HH,D.NZK,D.NSL,D.SL,D.DJ,DJ,D.SL*D.DJ,M.GYSID,M.CKID,M.CGLX,YGID from CGSHZB M,CGSH D     where M.ID=D.ZBID   and M.DJBH='CS2024020001'

-- name: the draft receipt of March posted
-- setup
 insert into Inv_Itemlist(RQ,BillType,Flag,DJBH,HPID,HH,NZK,NSL,SL,DJ,CBDJ,JE,CustVendID,CKID,F1,YGID)  select D.RQ,'CS',1,M.DJBH,D.HPID,D.HH,D.NZK,D.NSL,D.SL,D.DJ,DJ,D.SL*D.DJ,M.GYSID,M.CKID,M.CGLX,YGID from CGSHZB M,CGSH D     where M.ID=D.ZBID   and M.DJBH='CS2024030001'

-- name: receipt rows as posted
select RQ, BillType, Flag, DJBH, HPID, HH, NZK, NSL, SL, DJ, CBDJ, JE, CustVendID, CKID, F1, YGID from Inv_ItemList where DJBH in ('CS2024020001', 'CS2024030001') order by DJBH, HH

-- name: purchase return un-audited
-- setup
 Delete from Inv_Itemlist where DJBH='CT2024020001'

-- name: purchase return posted out of stock
-- setup
 insert into Inv_Itemlist(RQ,BillType,Flag,DJBH,HPID,HH,NZK,NSL,SL,DJ,CBDJ,JE,CustVendID,CKID,F1,YGID)  select D.RQ,'CT',-1,M.DJBH,D.HPID,D.HH,D.NZK,D.NSL,D.SL,D.DJ,DJ,D.SL*D.DJ,M.GYSID,M.CKID,M.THLX,YGID from CGTHZB M,CGTH D     where M.ID=D.ZBID   and M.DJBH='CT2024020001'

-- name: the draft delivery of March posted with its cost prices
-- setup
 insert into Inv_Itemlist(RQ,BillType,Flag,DJBH,HPID,HH,NZK,NSL,SL,DJ,CBDJ,JE,CustVendID,CKID,F1,YGID)  select D.RQ,'XS',-1,M.DJBH,D.HPID,D.HH,D.NZK,D.NSL,D.SL,D.DJ,CBDJ,D.SL*D.DJ,M.KHID,M.CKID,M.XSLX,YGID from XSKDZB M,XSKD D     where M.ID=D.ZBID   and M.DJBH='XS2024030001'

-- name: sales return un-audited
-- setup
 Delete from Inv_Itemlist where DJBH='XT2024020001'

-- name: sales return posted into stock
-- setup
 insert into Inv_Itemlist(RQ,BillType,Flag,DJBH,HPID,HH,NZK,NSL,SL,DJ,CBDJ,JE,CustVendID,CKID,F1,YGID)  select D.RQ,'XT',1,M.DJBH,D.HPID,D.HH,D.NZK,D.NSL,D.SL,D.DJ,CBDJ,D.SL*D.DJ,M.KHID,M.CKID,M.THLX,YGID from XSTHZB M,XSTH D     where M.ID=D.ZBID   and M.DJBH='XT2024020001'

-- name: sales rows as posted
select BillType, Flag, DJBH, HPID, SL, DJ, CBDJ, JE, CustVendID, F1, YGID from Inv_ItemList where BillType in ('XS', 'XT', 'CT') order by DJBH, HH

-- name: requisition un-audited
-- setup
 Delete from Inv_Itemlist where DJBH='LL2024010001'

-- name: drawn quantity given back to the receipt when a FIFO requisition is un-audited
-- setup
 update inv_itemlist set RefSL=RefSL+-1*1 where DJBH='CS2024010002' and HH=1

-- name: requisition posted again
-- setup
 insert into Inv_Itemlist(RQ,BillType,Flag,DJBH,HPID,HH,SL,DJ,CBDJ,JE,CKID,YGID) select D.RQ,'LL',-1,M.DJBH,D.HPID,D.HH,D.SL,D.DJ,DJ,D.SL*D.DJ,M.CKID,YGID from LLZB M,LL D     where M.ID=D.ZBID   and M.DJBH='LL2024010001'

-- name: drawn quantity taken again
-- setup
 update inv_itemlist set RefSL=RefSL+1*1 where DJBH='CS2024010002' and HH=1

-- name: a requisition line without a source draws nothing
 update inv_itemlist set RefSL=RefSL+1*30 where DJBH='' and HH=0

-- name: the draft requisition of March posted
-- setup
 insert into Inv_Itemlist(RQ,BillType,Flag,DJBH,HPID,HH,SL,DJ,CBDJ,JE,CKID,YGID) select D.RQ,'LL',-1,M.DJBH,D.HPID,D.HH,D.SL,D.DJ,DJ,D.SL*D.DJ,M.CKID,YGID from LLZB M,LL D     where M.ID=D.ZBID   and M.DJBH='LL2024030001'

-- name: return un-audited and posted again
-- setup
 Delete from Inv_Itemlist where DJBH='TL2024020001'

-- name: return posted into stock
-- setup
 insert into Inv_Itemlist(RQ,BillType,Flag,DJBH,HPID,HH,SL,DJ,CBDJ,JE,CKID,YGID) select D.RQ,'TL',1,M.DJBH,D.HPID,D.HH,D.SL,D.DJ,DJ,D.SL*D.DJ,M.CKID,YGID from TLZB M,TL D     where M.ID=D.ZBID   and M.DJBH='TL2024020001'

-- name: requisition and return rows with the drawn quantities
select R.DJBH, R.HH, R.Flag, R.SL, R.JE, R.YGID, S.RefSL from Inv_ItemList R left join Inv_ItemList S on S.DJBH = 'CS2024010002' and S.HH = 1 where R.BillType in ('LL', 'TL') order by R.DJBH, R.HH

-- name: stock-taking un-audited
-- setup
 Delete from Inv_Itemlist where DJBH='PD2024010001'

-- name: stock-taking posts the differences of counted and book quantities
-- setup
 insert into Inv_Itemlist(RQ,BillType,Flag,DJBH,HPID,HH,SL,DJ,CBDJ,JE,CKID,YGID) select D.RQ,'KCPD',1,M.DJBH,D.HPID,D.HH,D.SL-D.KCSL,D.DJ,DJ,(D.SL-D.KCSL)*D.DJ,M.CKID,0  from KCPDZB M,KCPD D     where M.ID=D.ZBID   and M.DJBH='PD2024010001' and (D.SL-D.KCSL) <> 0

-- name: stock adjustment un-audited
-- setup
 Delete from Inv_Itemlist where DJBH='PD2024020002'

-- name: stock adjustment posts its signed quantities
-- setup
 insert into Inv_Itemlist(RQ,BillType,Flag,DJBH,HPID,HH,SL,DJ,CBDJ,JE,CKID,YGID) select D.RQ,'KCTZ',1,M.DJBH,D.HPID,D.HH,D.SL,D.DJ,DJ,D.SL*D.DJ,M.CKID,0  from KCPDZB M,KCPD D     where M.ID=D.ZBID   and M.DJBH='PD2024020002' and (D.SL) <> 0

-- name: stock-taking rows
select BillType, Flag, DJBH, HPID, HH, SL, DJ, JE from Inv_ItemList where BillType in ('KCPD', 'KCTZ') order by DJBH, HH

-- name: product intake un-audited
-- setup
 Delete from Inv_Itemlist where DJBH='CP2024020001'

-- name: product intake posted
-- setup
 insert into Inv_Itemlist(RQ,BillType,Flag,DJBH,HPID,HH,SL,DJ,CBDJ,JE,CKID,YGID) select D.RQ,'CJ',1,M.DJBH,D.HPID,D.HH,D.SL,D.DJ,DJ,D.SL*D.DJ,M.CKID,0 from CPJCZB M,CPJC D     where M.ID=D.ZBID   and M.DJBH='CP2024020001'

-- name: transfer un-audited
-- setup
 Delete from Inv_Itemlist where DJBH='DB2024020001'

-- name: transfer into the receiving warehouse
-- setup
 insert into Inv_Itemlist(RQ,BillType,Flag,DJBH,HPID,HH,SL,DJ,CBDJ,JE,CKID,YGID) select D.RQ,M.DBType,1,M.DJBH,D.HPID,D.HH,D.SL,D.DJ,DJ,D.SL*D.DJ,M.DRCID,0 from CKDBZB M,CKDB D     where M.ID=D.ZBID   and M.DJBH='DB2024020001'

-- name: transfer out of the issuing warehouse
-- setup
 insert into Inv_Itemlist(RQ,BillType,Flag,DJBH,HPID,HH,SL,DJ,CBDJ,JE,CKID,YGID) select D.RQ,M.DBType,-1,M.DJBH,D.HPID,D.HH,D.SL,D.DJ,DJ,D.SL*D.DJ,M.DCCID,0 from CKDBZB M,CKDB D     where M.ID=D.ZBID   and M.DJBH='DB2024020001'

-- name: other stock changes un-audited
-- setup
 Delete from Inv_Itemlist where DJBH='QB2024030002'

-- name: other stock change posted with the direction of its type
-- setup
 insert into Inv_Itemlist(RQ,BillType,Flag,DJBH,HPID,HH,SL,DJ,CBDJ,JE,CKID,YGID)  select D.RQ,'QB',iif(L.RKL,1, -1),M.DJBH,D.HPID,D.HH,D.SL,D.DJ,DJ,D.SL*D.DJ,M.CKID,0 from QTKCBDZB M,QTKCBD D, QTKCBDLX L , M inner join D on M.ID=D.ZBID,  M inner join L on M.QTKCBDLXID = L.ID  where M.DJBH='QB2024030002'

-- name: stock rows of transfers, intakes and other changes
select BillType, Flag, DJBH, HPID, SL, DJ, JE, CKID from Inv_ItemList where BillType in ('CKDB', 'CJ', 'QB') order by DJBH, CKID

-- name: the ledger numbers new rows after the existing ones
select count(*) as n, min(ID) as first, max(ID) as last from Inv_ItemList

-- name: stock per item and warehouse after posting
select HPID, CKID, sum(Flag*SL) as qty from Inv_ItemList group by HPID, CKID order by HPID, CKID

-- name: a document without a posting key writes nothing
-- setup
 Delete from Inv_Itemlist where DJBH='CQ2024010001'

-- name: ledger rows by bill type after posting
select BillType, count(*) as n, sum(Flag*SL) as qty, sum(JE) as je from Inv_ItemList group by BillType order by BillType
