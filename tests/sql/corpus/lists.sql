-- Lists, look-ups and pickers: the document lists with their date and status
-- filters, the drill-down from a report row to its document, the pending
-- documents alert, the reference dialogs, the pickers and the register lists.

-- name: purchase requisition list
 select Z.*,Y.BMID,Y.XM as aYGMC,B.MC as aBMMC from (CGSQZB Z left join YG Y on Z.YGID=Y.ID) left join BM B on Y.BMID=B.ID where 1=1 and Z.RQ between #2024-01-01# and #2024-03-31# order by Z.DJBH

-- name: purchase receipt list
select Z.*,   switch(FPLX=1,'收据', FPLX=2,'普通发票', FPLX=3,'增值税发票') as aFPLX, K.BH as aGYSBH, K.MC as aGYSMC, C.MC as aCKMC, S.MC as aSFKFSMC, H.MC as aZHMC from (((CGSHZB as Z left outer join GYS K on Z.GYSID = K.ID)       left outer join CK C on Z.CKID = C.ID)       left join SFKFS S on Z.SFKFSID = S.ID)       left outer join  ZH H on  Z.ZHID = H.ID where 1=1 and Z.RQ between #2024-01-01# and #2024-03-31# order by Z.DJBH

-- name: purchase receipt list of documents awaiting audit
select Z.*,   switch(FPLX=1,'收据', FPLX=2,'普通发票', FPLX=3,'增值税发票') as aFPLX, K.BH as aGYSBH, K.MC as aGYSMC, C.MC as aCKMC, S.MC as aSFKFSMC, H.MC as aZHMC from (((CGSHZB as Z left outer join GYS K on Z.GYSID = K.ID)       left outer join CK C on Z.CKID = C.ID)       left join SFKFS S on Z.SFKFSID = S.ID)       left outer join  ZH H on  Z.ZHID = H.ID where 1=1  and uFlag <>1 order by Z.DJBH

-- name: item application list
select Z.*, iif(Z.ZT,'是','否') as aZT, K.BH as aGYSBH, K.MC as aGYSMC from CGDDZB Z, GYS K, Z left outer  join K on Z.GYSID = K.ID where 1=1 and Z.RQ between #2024-01-01# and #2024-03-31# order by Z.DJBH

-- name: requisition list of the warehouses a user may see
 select Z.*, C.MC as aCKMC,Y.BMID,B.MC as aBMMC from ((LLZB Z inner join  CK C  on Z.CKID = C.ID) left join YG Y on Z.YGID=Y.ID) left join BM B on Y.BMID=B.ID where 1=1 and Z.RQ between #2024-01-01# and #2024-03-31# order by Z.DJBH

-- name: requisition list under data permissions
 select Z.*, C.MC as aCKMC,Y.BMID,B.MC as aBMMC from ((LLZB Z inner join  ( select b.mc as bmmc,c.* from CK  C  left join BM B on c.bmid=b.id where BMID in (3,9) ) C  on Z.CKID = C.ID) left join YG Y on Z.YGID=Y.ID) left join BM B on Y.BMID=B.ID where 1=1 and Z.RQ between #2024-01-01# and #2024-03-31# and uFlag=1 order by Z.DJBH

-- name: return list
 select Z.*, C.MC as aCKMC from TLZB Z left outer join  CK C  on Z.CKID = C.ID where 1=1 and Z.RQ between #2024-02-01# and #2024-02-29# order by Z.DJBH

-- name: stock-taking list
 select Z.*, C.MC as aCKMC from KCPDZB Z left outer join CK C on Z.CKID = C.ID where 1=1   and Z.BillType = 'KCPD' order by Z.DJBH

-- name: stock adjustment list
 select Z.*, C.MC as aCKMC from KCPDZB Z left outer join CK C on Z.CKID = C.ID where 1=1 and Z.RQ between #2024-02-01# and #2024-02-29#  and Z.BillType = 'KCTZ' order by Z.DJBH

-- name: transfer list
 select Z.*, DC.MC as aDCCMC, DR.MC as aDRCMC from (CKDBZB Z left join CK DC on Z.DCCID = DC.ID) left join CK DR on Z.DRCID = DR.ID where 1=1 and Z.RQ between #2024-01-01# and #2024-03-31# and DBtype='CKDB' order by Z.DJBH

-- name: other stock change list
 select Z.*, C.MC as aCKMC, L.MC as aQTKCBDLXMC, iif(L.RKL,'入库类', '出库类') as aCRLX, iif(L.THBZ,'需要', '不需要') as aTH from (QTKCBDZB Z left outer join CK C on Z.CKID = C.ID) left outer join QTKCBDLX L on Z.QTKCBDLXID = L.ID where 1=1 and Z.RQ between #2024-03-01# and #2024-03-31# order by Z.DJBH

-- name: other stock change list of one type
 select Z.*, C.MC as aCKMC, L.MC as aQTKCBDLXMC, iif(L.RKL,'入库类', '出库类') as aCRLX, iif(L.THBZ,'需要', '不需要') as aTH from (QTKCBDZB Z left outer join CK C on Z.CKID = C.ID) left outer join QTKCBDLX L on Z.QTKCBDLXID = L.ID where 1=1  and L.MC='赠品入库' order by Z.DJBH

-- name: types of other stock changes
-- order: none
 select mc from QTKCBDLX

-- name: sales order list
select Z.*, iif(Z.ZT,'是','否') as aZT, K.BH as aKHBH, K.MC as aKHMC from XSDDZB Z, KH K, Z inner join K on Z.KHID = K.ID  where 1=1 and Z.RQ between #2024-01-01# and #2024-03-31# order by Z.DJBH

-- name: sales delivery list
select Z.*, switch(XSLX=1,'现款', XSLX=2,'挂帐') as aXSLX, switch(FPLX=1,'收据', FPLX=2,'普通发票',FPLX=3,'增值税发票') as aFPLX, K.BH as aKHBH, K.MC as aKHMC, C.MC as aCKMC, S.MC as aSFKFSMC, H.MC as aZHMC from XSKDZB Z,KH K,CK C, SFKFS S, ZH H, Z inner join K on Z.KHID = K.ID, Z inner join C on Z.CKID = C.ID, Z left join S on Z.SFKFSID = S.ID, Z left join H on Z.ZHID = H.ID where 1=1 and Z.RQ between #2024-01-01# and #2024-03-31# order by Z.DJBH

-- name: purchase return list
select Z.*, switch(THLX=1,'供应商退现款', THLX=2,'退款转入预付款') as aTHLX, K.BH as aGYSBH, K.MC as aGYSMC, C.MC as aCKMC, S.MC as aSFKFSMC, H.MC as aZHMC from CGTHZB Z, GYS K, CK C, SFKFS S, ZH H, Z inner join K on Z.GYSID = K.ID, Z inner join C on Z.CKID = C.ID, Z left join S on Z.SFKFSID = S.ID, Z left join H on Z.ZHID = H.ID where Z.RQ between #2024-02-01# and #2024-02-29# order by Z.DJBH

-- name: sales return list
select Z.*, switch(THLX=1,'退现款给客户', THLX=2,'退款转入客户预收款') as aTHLX, K.BH as aKHBH, K.MC as aKHMC, C.MC as aCKMC,S.MC as aSFKFSMC, H.MC as aZHMC from XSTHZB Z,KH K,CK C,SFKFS S,ZH H, Z inner join K on Z.KHID = K.ID, Z inner join C on Z.CKID = C.ID, Z left join S on Z.SFKFSID = S.ID, Z left join H on Z.ZHID = H.ID where Z.RQ between #2024-01-01# and #2024-03-31# order by Z.DJBH

-- name: product intake list
select Z.*, C.MC as aCKMC from CPJCZB Z, CK C, Z inner join C on Z.CKID = C.ID where Z.RQ between #2024-02-01# and #2024-02-29# order by Z.DJBH

-- name: expense list
 select Z.*, S.MC as aSFKFSMC, H.MC as aZHMC,G.MC AS aGYSMC from ((FYKZZB Z left join SFKFS S on Z.SFKFSID = S.ID) left join ZH H on Z.ZHID = H.ID) left join GYS G on Z.GYSID=G.ID where 1=1 and Z.RQ between #2024-01-01# and #2024-03-31# order by Z.DJBH

-- name: other income list
 select Z.*, S.MC as aSFKFSMC, H.MC as aZHMC,KH.MC as aKHMC from ((QTSRZB Z left join  SFKFS S on Z.SFKFSID = S.ID) left join ZH H on Z.ZHID = H.ID) left join KH KH on Z.KHID=KH.ID where 1=1 and Z.RQ between #2024-01-01# and #2024-03-31# order by Z.DJBH 

-- name: drill-down to a sales order
select Z.*, iif(Z.ZT,'是','否') as aZT, K.BH as aKHBH, K.MC as aKHMC from XSDDZB Z, KH K, Z inner join K on Z.KHID = K.ID where Z.ID = 2024020001 order by Z.DJBH

-- name: drill-down to a sales delivery
select Z.*, iif(XSLX=1, JE, YSJE) as YSJE1, JE - YSJE1 as MSJE, switch(XSLX=1,'现款', XSLX=2,'挂帐') as aXSLX, switch(FPLX=1,'收据', FPLX=2,'普通发票',FPLX=3,'增值税发票') as aFPLX, K.BH as aKHBH, K.MC as aKHMC, K.PriceLevel,C.MC as aCKMC, S.MC as aSFKFSMC, H.MC as aZHMC from XSKDZB Z,KH K,CK C, SFKFS S, ZH H, Z inner join K on Z.KHID = K.ID, Z inner join C on Z.CKID = C.ID, Z left join S on Z.SFKFSID = S.ID, Z left join H on Z.ZHID = H.ID where Z.ID = 2024020001 order by Z.DJBH

-- name: drill-down to a sales return
select Z.*, switch(THLX=1,'退现款给客户', THLX=2,'退款转入客户预收款') as aTHLX, K.BH as aKHBH, K.MC as aKHMC, C.MC as aCKMC,S.MC as aSFKFSMC, H.MC as aZHMC from XSTHZB Z,KH K,CK C,SFKFS S,ZH H, Z inner join K on Z.KHID = K.ID, Z inner join C on Z.CKID = C.ID, Z left join S on Z.SFKFSID = S.ID, Z left join H on Z.ZHID = H.ID where Z.ID = 2024020001 order by Z.DJBH

-- name: drill-down to a sales receipt
select Z.*, switch(FKLX=1,'应收款', FKLX=2,'预收款') as aFKLX, K.BH as aKHBH, K.MC as aKHMC, S.MC as aSFKFSMC, H.MC as aZHMC from XSSKZB Z, KH K, SFKFS S, ZH H, Z inner join K on Z.KHID = K.ID, Z inner join S on Z.SFKFSID = S.ID, Z inner join H on Z.ZHID = H.ID where Z.ID = 2024030001 order by Z.DJBH

-- name: drill-down to an item application
select Z.*, iif(Z.ZT,'是','否') as aZT, K.BH as aGYSBH, K.MC as aGYSMC from CGDDZB Z, GYS K, Z inner join K on Z.GYSID = K.ID where Z.ID = 2024010001 order by Z.DJBH

-- name: drill-down to a purchase receipt
select Z.*, iif(CGLX=1, JE, YFJE) as YFJE1, JE - YFJE1 as MFJE, switch(CGLX=1,'现款', CGLX=2,'挂帐') as aCGLX, switch(FPLX=1,'收据', FPLX=2,'普通发票', FPLX=3,'增值税发票') as aFPLX, K.BH as aGYSBH, K.MC as aGYSMC, C.MC as aCKMC, S.MC as aSFKFSMC, H.MC as aZHMC from CGSHZB Z,GYS K,CK C, SFKFS S, ZH H, Z inner join K on Z.GYSID = K.ID, Z inner join C on Z.CKID = C.ID, Z left join S on Z.SFKFSID = S.ID, Z left join H on Z.ZHID = H.ID where Z.ID = 2024010002 order by Z.DJBH

-- name: drill-down to a purchase return
select Z.*, switch(THLX=1,'供应商退现款', THLX=2,'退款转入预付款') as aTHLX, K.BH as aGYSBH, K.MC as aGYSMC, C.MC as aCKMC, S.MC as aSFKFSMC, H.MC as aZHMC from CGTHZB Z, GYS K, CK C, SFKFS S, ZH H, Z inner join K on Z.GYSID = K.ID, Z inner join C on Z.CKID = C.ID, Z left join S on Z.SFKFSID = S.ID, Z left join H on Z.ZHID = H.ID where Z.ID = 2024020001 order by Z.DJBH

-- name: drill-down to a purchase payment
select Z.*, switch(FKLX=1,'应付款', FKLX=2,'预付款') as aFKLX, K.BH as aGYSBH, K.MC as aGYSMC, S.MC as aSFKFSMC, H.MC as aZHMC from CGFKZB Z, GYS K, SFKFS S, ZH H, Z inner join K on Z.GYSID = K.ID, Z inner join S on Z.SFKFSID = S.ID, Z inner join H on Z.ZHID = H.ID where Z.ID = 2024020001 order by Z.DJBH

-- name: drill-down to a requisition
 select Z.*, C.MC as aCKMC,Y.BMID,B.MC as aBMMC from ((LLZB Z left join CK C on Z.CKID = C.ID) left join YG Y on Z.YGID=Y.ID) left join BM B on Y.BMID=B.ID where Z.ID = 2024010001 order by Z.DJBH

-- name: drill-down to a return
 select Z.*, C.MC as aCKMC,Y.BMID,B.MC as aBMMC from ((TLZB Z left join CK C on Z.CKID = C.ID) left join YG Y on Z.YGID=Y.ID) left join BM B on Y.BMID=B.ID where Z.ID = 2024020001 order by Z.DJBH

-- name: drill-down to a product intake
select Z.*, C.MC as aCKMC from CPJCZB Z, CK C, Z inner join C on Z.CKID = C.ID where Z.ID = 2024020001 order by Z.DJBH

-- name: drill-down to a stock-taking sheet
select Z.*, C.MC as aCKMC from KCPDZB Z, CK C, Z inner join C on Z.CKID = C.ID where Z.ID = 2024010001 order by Z.DJBH

-- name: drill-down to a transfer
select Z.*, DC.MC as aDCCMC, DR.MC as aDRCMC from CKDBZB Z,CK DC,CK DR, Z inner join DC on Z.DCCID = DC.ID, Z inner join DR on Z.DRCID = DR.ID where Z.ID = 2024020001 order by Z.DJBH

-- name: drill-down to an other stock change
select Z.*, C.MC as aCKMC, L.MC as aQTKCBDLXMC, iif(L.RKL,'入库类', '出库类') as aCRLX, iif(L.THBZ,'需要', '不需要') as aTH from QTKCBDZB Z, CK C, QTKCBDLX L, Z inner join C on Z.CKID = C.ID, Z inner join L on Z.QTKCBDLXID = L.ID where Z.ID = 2024030002 order by Z.DJBH

-- name: drill-down to an expense
 select Z.*, S.MC as aSFKFSMC, H.MC as aZHMC,G.MC AS aGYSMC from ((FYKZZB Z left join SFKFS S on Z.SFKFSID = S.ID) left join ZH H on Z.ZHID = H.ID) left join GYS G on Z.GYSID=G.ID where Z.ID = 2024010001 order by Z.DJBH

-- name: drill-down to an other income
 select Z.*, S.MC as aSFKFSMC, H.MC as aZHMC,KH.MC as aKHMC from ((QTSRZB Z left join  SFKFS S on Z.SFKFSID = S.ID) left join ZH H on Z.ZHID = H.ID) left join KH KH on Z.KHID=KH.ID where Z.ID = 2024020001 order by Z.DJBH

-- name: receipts of a delivery
select Z.DJBH, Z.RQ, Z.JE as ZJE, M.JE as BCJE from XSSKZB Z,XSSK M where Z.ID=M.ZBID and M.JE <> 0 and M.DDID = 2024020001 order by Z.DJBH

-- name: payments of a receipt
select Z.DJBH, Z.RQ, Z.JE as ZJE, M.JE as BCJE from CGFKZB Z, CGFK M where Z.ID=M.ZBID and M.JE <> 0 and M.DDID = 2024010002 order by Z.DJBH

-- name: pending documents at start
-- order: none
 select * from ( select '采购入库' as sType,count(*) as Qty from cgshzb where uflag=0 union all select '物品领用' as sType,count(*) as Qty from llzb where uflag=0 union all select '物品归还' as sType,count(*) as Qty from tlzb where uflag=0 union all select '库存盘点' as sType,count(*) as Qty from kcpdzb where uflag=0 union all select '仓库调拨' as sType,count(*) as Qty from ckdbzb where uflag=0 union all select '库存变动' as sType,count(*) as Qty from qtkcbdzb where uflag=0 union all select '费用开支' as sType,count(*) as Qty from fykzzb where uflag=0 union all select '其它收入' as sType,count(*) as Qty from qtsrzb where uflag=0 ) a where Qty > 0 

-- name: pending documents of a user granted one kind
 select '物品领用' as sType,count(*) as Qty from llzb where uflag=0 

-- name: reference dialog lists audited sources with quantity left
 select M.ID, M.DJBH, M.RQ, M.JE, M.JSR from CGSQZB  M where  uFlag = 1  and M.RQ >=#2024-01-01#  and M.RQ <=#2024-01-31#  and M.DJBH IN (  select DJBH from (select DJBH,Zsl,HaverefSL from (select DJBH,sum(SL) as Zsl from CGSQ group by DJBH) a left join (select SRCNO,sum(SL) as HaverefSL from CGSH group by SRCNO) b  on a.DJBH=b.SRCNO ) a where  a.Zsl > IIf(isnull(a.HaverefSL),0,a.HaverefSL) ) order by M.RQ,M.DJBH

-- name: reference dialog lines with quantity left
 select ZBID,SL,DJ,HPID,DJBH,HH,M.SRCNO,M.SRCSEQ, c.HaverefSL, H.BH as aBH, H.PM as aPM,  H.DW as aDW, H.GG as aGG  FROM ( CGSQ  as M LEFT JOIN HP  H ON M.HPID=H.ID )   LEFT JOIN (select SRCNO,SRCSEQ,sum(SL) as HaverefSL from CGSH group by SRCNO,SRCSEQ) C    on  (C.SRCNO=M.DJBH and C.SRCSEQ=M.HH)  where M.ZBID in (2024010001) and (c.HaverefSL is null or (M.SL-c.HaverefSL)>0)  Order by M.ZBID,M.HH

-- name: reference dialog lines when no header is listed
-- expect: empty
 select ZBID,SL,DJ,HPID,DJBH,HH,M.SRCNO,M.SRCSEQ, c.HaverefSL, H.BH as aBH, H.PM as aPM,  H.DW as aDW, H.GG as aGG  FROM ( CGSH  as M LEFT JOIN HP  H ON M.HPID=H.ID )   LEFT JOIN (select SRCNO,SRCSEQ,sum(SL) as HaverefSL from LL group by SRCNO,SRCSEQ) C    on  (C.SRCNO=M.DJBH and C.SRCSEQ=M.HH)  where M.ZBID in (0000) and (c.HaverefSL is null or (M.SL-c.HaverefSL)>0)  Order by M.ZBID,M.HH

-- name: reference by item of receipts for a requisition
 select ZBID,SL,DJ,HPID,DJBH,HH,M.SRCNO,M.SRCSEQ, c.HaverefSL, SL-iif(isnull(c.HaverefSL), 0, c.HaverefSL) as refSL, H.BH as aBH, H.PM as aPM,  H.DW as aDW, H.ZJM as aZJM, H.GG as aGG  FROM ( CGSH  as M LEFT JOIN HP  H ON M.HPID=H.ID )   LEFT JOIN (select SRCNO,SRCSEQ,sum(SL) as HaverefSL from LL group by SRCNO,SRCSEQ) C    on  (C.SRCNO=M.DJBH and C.SRCSEQ=M.HH)  where 1=1  and H.ZJM Like  'FYZ%' and (c.HaverefSL is null or (M.SL-c.HaverefSL)>0)  Order by M.ZBID,M.HH

-- name: reference by item of requisitions for a return
 select ZBID,SL,DJ,HPID,DJBH,HH,M.SRCNO,M.SRCSEQ, c.HaverefSL, SL-iif(isnull(c.HaverefSL), 0, c.HaverefSL) as refSL, H.BH as aBH, H.PM as aPM,  H.DW as aDW, H.ZJM as aZJM, H.GG as aGG  FROM ( LL  as M LEFT JOIN HP  H ON M.HPID=H.ID )   LEFT JOIN (select SRCNO,SRCSEQ,sum(SL) as HaverefSL from TL group by SRCNO,SRCSEQ) C    on  (C.SRCNO=M.DJBH and C.SRCSEQ=M.HH)  where 1=1  and H.BH Like  '000%' and H.PM Like  '中性%' and (c.HaverefSL is null or (M.SL-c.HaverefSL)>0)  Order by M.ZBID,M.HH

-- name: supplier picker
 select *,QMJE-YXJE as aSJJE  from GYS  where not ZT  and BH like '%00%' order by BH

-- name: supplier picker by a prefix of the name
 select *,QMJE-YXJE as aSJJE  from GYS  where not ZT  and MC like '金海%' order by BH

-- name: customer picker
 select K.*,D.MC as aDQMC,K.QMJE-K.YXJE as aSJJE  from KH K inner join DQ D on K.DQID=D.ID  where 1=1 and not K.ZT   and K.MC like '%科技%' order by K.BH

-- name: item picker of a category and its children
select H.*, 0  as Tmp, 10.12 as aZKCL, iif(H.ZT,'是','否') as aZT, '折扣' as aHPSX,  C.TypeName as aHPLBMC  from HP H inner join  Pub_ItemType  C on H.HPLBID=C.ItemType where 1=1   and  (C.ItemType= 1 or C.ItemType In( select ItemType from Pub_ItemType where ParentCode=1)) and H.IsMaterial =true  and H.ZT = False  order by H.BH 

-- name: item picker search
 select H.*, 0  as Tmp, 10.12 as aZKCL, iif(H.ZT,'是','否') as aZT, '折扣' as aHPSX, C.TypeName as aHPLBMC from HP H inner join  Pub_ItemType  C on H.HPLBID=C.ItemType  where H.ZT = False and (bh like 'yx%' or pm like 'yx%' or zjm like 'YX%') order by H.BH 

-- name: stock of the picked item per warehouse
-- order: none
 select mc,sum(flag*sl) as qty From Inv_ItemList a,  CK C  where 1=1  and  a.CKID=C.ID   and hpid =9 and RQ <= #2024-03-31#  group by mc 

-- name: multi-select of warehouses
 select id,mc from ck order by id

-- name: multi-select of customers
 select id,mc from kh order by id

-- name: multi-select of suppliers
 select id,mc from gys order by id

-- name: multi-select of user groups
 select id,gName as mc from AppUserGroup order by id

-- name: next key of a supplier
select iif(isnull(max(ID)), 1, max(ID)+1) from Gys

-- name: next key in the server-database form of the statement
select isnull(max(id),0) +1 from dq

-- name: duplicate check of an item
-- expect: empty
select PM from HP where  PM= '中性笔' and GG='0.5mm 黑色' and id <> 1

-- name: duplicate check finds another item of that name and size
select PM from HP where  PM= '中性笔' and GG='0.5mm 黑色' and id <> 2

-- name: duplicate check of a supplier
-- expect: empty
select MC from Gys where  MC= '佳美文具' and id <> 1

-- name: duplicate check of a warehouse
select MC from CK where  MC= '耗材配件仓库' and id <> 1

-- name: item list search
-- order: none
 select H.*, C.TypeName as aHPLBMC from HP H left join  Pub_ItemType  C on H.HPLBID=C.ItemType WHERE 1= 1  and bh like 'fyz%' or pm like 'fyz%' or zjm like 'FYZ%' order by H.PM

-- name: item list with a condition of the filter dialog
 select H.*, C.TypeName as aHPLBMC from HP H left join  Pub_ItemType  C on H.HPLBID=C.ItemType WHERE 1= 1 and (H.BH='0001') and (H.PM like '%笔%') order by H.PM

-- name: item list of the top node
 select H.*, C.TypeName as aHPLBMC  from HP H Inner join  Pub_ItemType  C  on H.HPLBID=C.ItemType  where 1=1  order by H.BH

-- name: item list of a category node
 select H.*, C.TypeName as aHPLBMC  from HP H Inner join  Pub_ItemType  C  on H.HPLBID=C.ItemType  Where (C.ItemType= 3 or C.ItemType In( select ItemType from Pub_ItemType where ParentCode=3)) order by H.BH

-- name: category list of a restricted group
-- order: none
 SELECT A.TypeName AS ParentName, C.* FROM Pub_ItemType  C LEFT JOIN Pub_ItemType  A ON C.ParentCode=A.ItemType where C.ItemType not in (select ItemType from Sys_GroupUnRight_HPLB where UserGroupNo in (3)) 

-- name: next category number in the category editor
select iif(isnull(max(ItemType)), 1, max(ItemType)+1) from pub_ItemType

-- name: vendor search
 select G.*,QMJE-YXJE as aSJJE, C.MC as aDQMC from GYS G left join DQ C on G.DQID=C.ID where 1=1  and g.bh like '00%' or g.MC like '00%' or g.zjm like '00%' order by G.BH

-- name: vendor search with an empty box
 select G.*,QMJE-YXJE as aSJJE, C.MC as aDQMC from GYS G left join DQ C on G.DQID=C.ID where 1=1  and g.bh like '%' or g.MC like '%' or g.zjm like '%' order by G.BH

-- name: area tree
-- order: none
 select ID, ParentCode,MC  from dq

-- name: vendors of an area and the areas below it
 select G.*,QMJE-YXJE as aSJJE, C.MC as aDQMC from GYS G left join DQ C on G.DQID=C.ID where 1=1  and C.ID In(2,3,4,5 ) order by G.BH

-- name: customer search
 select K.*,D.MC as aDQMC,VIPName, K.QMJE-K.YXJE as aSJJE  from (KH K left outer join DQ D on K.DQID=D.ID) left outer join VIP V on K.LevelID=V.id where 1=1  and K.bh like '东方%' or K.MC like '东方%' or K.zjm like '东方%' order by K.BH

-- name: customers of an area
select K.*,D.MC as aDQMC, VIPName,K.QMJE-K.YXJE as aSJJE from (KH K left outer join DQ D on K.DQID=D.ID) left outer join VIP V on K.LevelID=V.id where 1=1  and D.ID In(6,7 ) order by K.BH

-- name: customer balances after saving
select QMJE, QMJE-YXJE as aSJJE from KH where ID=2

-- name: customer information
-- order: none
select * from KH where ID = 2

-- name: area name of a vendor
select MC from DQ where ID = 3

-- name: area code taken
select ID from Dq where 1=1 and ID =  3 

-- name: department code taken
select ID from BM where 1=1 and ID =  3 

-- name: warehouse list
-- order: none
 select b.mc as bmmc,c.* from  CK C   left join BM B on c.bmid=b.id

-- name: warehouse list under data permissions
-- order: none
 select b.mc as bmmc,c.* from  ( select b.mc as bmmc,c.* from CK  C  left join BM B on c.bmid=b.id where BMID in (3) ) C   left join BM B on c.bmid=b.id

-- name: account of a payment method
select MC from ZH where ID = 2

-- name: account balance after saving
select QMJE from ZH where ID = 2

-- name: expense category by code
-- order: none
select * from SRZCLB where  BH = '0002'

-- name: income category by code
-- order: none
select * from SRZCLB where 1=1 and BH = '0008'

-- name: category picker for expenses
select *,iif(SRL,'收入类','支出类') as aSRL from SRZCLB  where 1=1 and SRL = False order by BH

-- name: category picker for income
select *,iif(SRL,'收入类','支出类') as aSRL from SRZCLB  where 1=1 and SRL = True order by BH

-- name: category list
 select *,iif(SRL,'收入类','支出类') as aSRL from Srzclb  order by BH

-- name: handlers of a transfer
select XM from YG order by BH

-- name: employee list
 select Y.*, C.MC as aBMMC, 'yglb' as aYGLBMC, iif(YWYBZ,'是','否') as aYWYBZ, '月薪' as aJSFF, iif(LZ,'是','否') as aLZ from YG Y inner join  BM C  on Y.BMID = C.ID where 1=1   order by BH 

-- name: employee search
 select Y.*, C.MC as aBMMC, 'yglb' as aYGLBMC, iif(YWYBZ,'是','否') as aYWYBZ, '月薪' as aJSFF, iif(LZ,'是','否') as aLZ from YG Y inner join  BM C  on Y.BMID = C.ID where 1=1  and bh like 'zw%' or XM like 'zw%' or y.zjm like 'ZW%'  order by BH 

-- name: employees of a department and those below it
 select Y.*, C.MC as aBMMC, 'yglb' as aYGLBMC, iif(YWYBZ,'是','否') as aYWYBZ, '月薪' as aJSFF, iif(LZ,'是','否') as aLZ from YG Y inner join  BM C  on Y.BMID = C.ID where 1=1  and C.ID In(6,7,8 )  order by BH 

-- name: department tree of the employee list
-- order: none
 SELECT A.MC  AS ParentName, C.*  FROM   BM C  LEFT JOIN  BM  A ON C.ParentCode=A.ID

-- name: department name of an employee
select MC from BM where ID = 3

-- name: staff category of an employee
select MC from YGLB where ID = 1

-- name: training of an employee
-- order: none
select * from Rs_PX where F_Code = '0003'

-- name: rewards of an employee
-- order: none
select * from Rs_JC where F_Code = '0003'

-- name: top departments of the history window
select id,mc,ParentCode from bm where iif(isnull(ParentCode), 0, ParentCode)=0

-- name: history records of the user's departments in a period
 select Z.* from Rs_PX Z,YG Y,BM C where Z.F_empID =Y.ID and  Y.BMID = C.ID  and C.ID In(3,9 ) and Z.RQ between #2024-01-01# and #2024-03-31# order by F_code

-- name: contracts of all departments
 select Z.* from Rs_Contract Z,YG Y,BM C where Z.F_empID =Y.ID and  Y.BMID = C.ID  order by F_code

-- name: a transfer moves the employee
-- setup
 update yg set bmid =3 where BH='0012'

-- name: employee after the transfer
select BH, XM, BMID from YG where BH = '0012'
