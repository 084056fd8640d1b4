-- Reports: the source queries of the report windows completed with their
-- filters, the statements of every report, the temporary tables of the year
-- and per-warehouse analyses, the charts, and the shared SQL builders of the
-- detail lists. Periods run from 2024-01-01 to 2024-03-31; upper bounds are
-- day numbers at 23:59:59 (45382.9999884259), as the report frame writes them.

-- name: purchase summary by item
-- order: none
 select TypeName,M.BH, PM, GG,DW,  sum(M.SL) as SL,  sum(M.JE) as JEA,  sum(M.JE*M.NSL / 100) as JEB,  JEA + JEB as JEC  from ( SELECT '采购收货' as LX,M.YWY,D.ZBID, M.DJBH, M.RQ, M.GYSID,K.BH as GYSBH,K.MC as GYSMC,L.TypeName, M.YWY,D.HPID,H.BH,PM,GG,DW,SL,DJ,SL*DJ*D.NZK*(1+NSL/100) as JE,D.NZK,D.NSl from ((((CGSHZB M left join  CGSH D on M.ID = D.ZBID) left join GYS K on K.ID = M.GYSID)  left join YG Y on M.YGID=Y.ID) left join  HP H on D.HPID=H.ID) left join Pub_ItemType L on H.HPLBID=L.ItemType where uFlag=1 and M.RQ >=45292 and M.RQ <=45382.9999884259) M  group by TypeName,M.BH, PM,GG,DW

-- name: purchase summary of one vendor and category
-- order: none
 select TypeName,M.BH, PM, GG,DW,  sum(M.SL) as SL,  sum(M.JE) as JEA,  sum(M.JE*M.NSL / 100) as JEB,  JEA + JEB as JEC  from ( SELECT '采购收货' as LX,M.YWY,D.ZBID, M.DJBH, M.RQ, M.GYSID,K.BH as GYSBH,K.MC as GYSMC,L.TypeName, M.YWY,D.HPID,H.BH,PM,GG,DW,SL,DJ,SL*DJ*D.NZK*(1+NSL/100) as JE,D.NZK,D.NSl from ((((CGSHZB M left join  CGSH D on M.ID = D.ZBID) left join GYS K on K.ID = M.GYSID)  left join YG Y on M.YGID=Y.ID) left join  HP H on D.HPID=H.ID) left join Pub_ItemType L on H.HPLBID=L.ItemType where uFlag=1 and M.RQ >=45292 and M.RQ <=45382.9999884259 and K.MC = '金海纸业' and  (L.ItemType= 3 or L.ItemType In( select ItemType from Pub_ItemType where ParentCode=3))) M  group by TypeName,M.BH, PM,GG,DW

-- name: purchase summary with an item condition
-- order: none
 select TypeName,M.BH, PM, GG,DW,  sum(M.SL) as SL,  sum(M.JE) as JEA,  sum(M.JE*M.NSL / 100) as JEB,  JEA + JEB as JEC  from ( SELECT '采购收货' as LX,M.YWY,D.ZBID, M.DJBH, M.RQ, M.GYSID,K.BH as GYSBH,K.MC as GYSMC,L.TypeName, M.YWY,D.HPID,H.BH,PM,GG,DW,SL,DJ,SL*DJ*D.NZK*(1+NSL/100) as JE,D.NZK,D.NSl from ((((CGSHZB M left join  CGSH D on M.ID = D.ZBID) left join GYS K on K.ID = M.GYSID)  left join YG Y on M.YGID=Y.ID) left join  HP H on D.HPID=H.ID) left join Pub_ItemType L on H.HPLBID=L.ItemType where uFlag=1 and M.RQ >=45292 and M.RQ <=45382.9999884259 and H.PM like '%笔%' and (H.PM like '%中性%')) M  group by TypeName,M.BH, PM,GG,DW

-- name: purchase detail by item
 select LX, ZBID,RQ,DJBH as DH,GYSMC,BH,PM,GG,SL,DJ,NSL, val(format(JE, '0.00')) as JEA,  val(format(JE* NSL / 100, '0.00')) as JEB,  JEA + JEB as JEC  from ( SELECT '采购收货' as LX,M.YWY,D.ZBID, M.DJBH, M.RQ, M.GYSID,K.BH as GYSBH,K.MC as GYSMC,L.TypeName, M.YWY,D.HPID,H.BH,PM,GG,DW,SL,DJ,SL*DJ*D.NZK*(1+NSL/100) as JE,D.NZK,D.NSl from ((((CGSHZB M left join  CGSH D on M.ID = D.ZBID) left join GYS K on K.ID = M.GYSID)  left join YG Y on M.YGID=Y.ID) left join  HP H on D.HPID=H.ID) left join Pub_ItemType L on H.HPLBID=L.ItemType where uFlag=1 and M.RQ >=45292 and M.RQ <=45382.9999884259) M order by BH,RQ

-- name: purchase detail of one item
 select LX, ZBID,RQ,DJBH as DH,GYSMC,BH,PM,GG,SL,DJ,NSL, val(format(JE, '0.00')) as JEA,  val(format(JE* NSL / 100, '0.00')) as JEB,  JEA + JEB as JEC  from ( SELECT '采购收货' as LX,M.YWY,D.ZBID, M.DJBH, M.RQ, M.GYSID,K.BH as GYSBH,K.MC as GYSMC,L.TypeName, M.YWY,D.HPID,H.BH,PM,GG,DW,SL,DJ,SL*DJ*D.NZK*(1+NSL/100) as JE,D.NZK,D.NSl from ((((CGSHZB M left join  CGSH D on M.ID = D.ZBID) left join GYS K on K.ID = M.GYSID)  left join YG Y on M.YGID=Y.ID) left join  HP H on D.HPID=H.ID) left join Pub_ItemType L on H.HPLBID=L.ItemType where uFlag=1 and M.RQ >=45292 and M.RQ <=45382.9999884259 and H.PM like '%复印纸%') M order by BH,RQ

-- name: vendor supply detail
 select LX, ZBID,RQ,DJBH as DH,GYSMC,BH,PM,GG,SL,DJ,NSL, val(format(JE, '0.00')) as JEA,  val(format(JE* NSL / 100, '0.00')) as JEB,  JEA + JEB as JEC  from ( SELECT '采购收货' as LX,M.YWY,D.ZBID, M.DJBH, M.RQ, M.GYSID,K.BH as GYSBH,K.MC as GYSMC,L.TypeName, M.YWY,D.HPID,H.BH,PM,GG,DW,SL,DJ,SL*DJ*D.NZK*(1+NSL/100) as JE,D.NZK,D.NSl from ((((CGSHZB M left join  CGSH D on M.ID = D.ZBID) left join GYS K on K.ID = M.GYSID)  left join YG Y on M.YGID=Y.ID) left join  HP H on D.HPID=H.ID) left join Pub_ItemType L on H.HPLBID=L.ItemType where uFlag=1 and M.RQ >=45292 and M.RQ <=45382.9999884259 and K.Id in (1,2)) M order by GYSMC,RQ,BH

-- name: vendor supply detail of one vendor
 select LX, ZBID,RQ,DJBH as DH,GYSMC,BH,PM,GG,SL,DJ,NSL, val(format(JE, '0.00')) as JEA,  val(format(JE* NSL / 100, '0.00')) as JEB,  JEA + JEB as JEC  from ( SELECT '采购收货' as LX,M.YWY,D.ZBID, M.DJBH, M.RQ, M.GYSID,K.BH as GYSBH,K.MC as GYSMC,L.TypeName, M.YWY,D.HPID,H.BH,PM,GG,DW,SL,DJ,SL*DJ*D.NZK*(1+NSL/100) as JE,D.NZK,D.NSl from ((((CGSHZB M left join  CGSH D on M.ID = D.ZBID) left join GYS K on K.ID = M.GYSID)  left join YG Y on M.YGID=Y.ID) left join  HP H on D.HPID=H.ID) left join Pub_ItemType L on H.HPLBID=L.ItemType where uFlag=1 and M.RQ >=45292 and M.RQ <=45382.9999884259 and K.Id = 4) M order by GYSMC,RQ,BH

-- name: purchase summary by buyer
 select YWY,  sum(JE) as JEA,  sum(JE*M.NSL / 100) as JEB,  sum(JE+JE*NSL/100) as JEC from ( SELECT '采购收货' as LX,M.YWY,D.ZBID, M.DJBH, M.RQ, M.GYSID,K.BH as GYSBH,K.MC as GYSMC,L.TypeName, M.YWY,D.HPID,H.BH,PM,GG,DW,SL,DJ,SL*DJ*D.NZK*(1+NSL/100) as JE,D.NZK,D.NSl from ((((CGSHZB M left join  CGSH D on M.ID = D.ZBID) left join GYS K on K.ID = M.GYSID)  left join YG Y on M.YGID=Y.ID) left join  HP H on D.HPID=H.ID) left join Pub_ItemType L on H.HPLBID=L.ItemType where uFlag=1 and M.RQ >=45292 and M.RQ <=45382.9999884259) M  group by YWY order by YWY

-- name: purchase summary of one buyer
 select YWY,  sum(JE) as JEA,  sum(JE*M.NSL / 100) as JEB,  sum(JE+JE*NSL/100) as JEC from ( SELECT '采购收货' as LX,M.YWY,D.ZBID, M.DJBH, M.RQ, M.GYSID,K.BH as GYSBH,K.MC as GYSMC,L.TypeName, M.YWY,D.HPID,H.BH,PM,GG,DW,SL,DJ,SL*DJ*D.NZK*(1+NSL/100) as JE,D.NZK,D.NSl from ((((CGSHZB M left join  CGSH D on M.ID = D.ZBID) left join GYS K on K.ID = M.GYSID)  left join YG Y on M.YGID=Y.ID) left join  HP H on D.HPID=H.ID) left join Pub_ItemType L on H.HPLBID=L.ItemType where uFlag=1 and M.RQ >=45292 and M.RQ <=45382.9999884259 and Y.XM  = '赵磊') M  group by YWY order by YWY

-- name: vendor supply summary
 select GYSID,GYSBH,GYSMC,  sum(JE) as JEA,  sum(JE*M.NSL / 100) as JEB,  sum(JE+JE*NSL/100) as JEC from ( SELECT '采购收货' as LX,M.YWY,D.ZBID, M.DJBH, M.RQ, M.GYSID,K.BH as GYSBH,K.MC as GYSMC,L.TypeName, M.YWY,D.HPID,H.BH,PM,GG,DW,SL,DJ,SL*DJ*D.NZK*(1+NSL/100) as JE,D.NZK,D.NSl from ((((CGSHZB M left join  CGSH D on M.ID = D.ZBID) left join GYS K on K.ID = M.GYSID)  left join YG Y on M.YGID=Y.ID) left join  HP H on D.HPID=H.ID) left join Pub_ItemType L on H.HPLBID=L.ItemType where uFlag=1 and M.RQ >=45292 and M.RQ <=45382.9999884259) M  group by GYSID,GYSBH,GYSMC order by GYSBH

-- name: year analysis: the table of an earlier run is dropped
-- expect: error
drop table rpt_Static_Month

-- name: year analysis: table with a text key
-- setup
 create table rpt_Static_Month(keyid char(20) ,Qty1 float,Amount1 float,Qty2 float,Amount2 float,Qty3 float,Amount3 float,Qty4 float,Amount4 float,Qty5 float,Amount5 float,Qty6 float,Amount6 float,Qty7 float,Amount7 float,Qty8 float,Amount8 float,Qty9 float,Amount9 float,Qty10 float,Amount10 float,Qty11 float,Amount11 float,Qty12 float,Amount12 float,AllQty float,AllAmount float )

-- name: year analysis: quantities and amounts by item and month
-- order: none
 SELECT  PM as keyid , Month(rq) as sMonth, sum(sl) as qty,sum(sl*dj*nzk*(1+nsl/100)) as amount  FROM ( SELECT '采购收货' as LX,M.YWY,D.ZBID, M.DJBH, M.RQ, M.GYSID,K.BH as GYSBH,K.MC as GYSMC,L.TypeName, M.YWY,D.HPID,H.BH,PM,GG,DW,SL,DJ,SL*DJ*D.NZK*(1+NSL/100) as JE,D.NZK,D.NSl from ((((CGSHZB M left join  CGSH D on M.ID = D.ZBID) left join GYS K on K.ID = M.GYSID)  left join YG Y on M.YGID=Y.ID) left join  HP H on D.HPID=H.ID) left join Pub_ItemType L on H.HPLBID=L.ItemType where uFlag=1) where Year(rq) = 2024 group by  PM , Month(rq)

-- name: year analysis: first month of a key
-- setup
 insert into rpt_Static_Month (keyid,Qty1,Amount1) values ('中性笔',100,120)

-- name: year analysis: another key
-- setup
 insert into rpt_Static_Month (keyid,Qty1,Amount1) values ('复印纸',14,437.4)

-- name: year analysis: later month of a key
-- setup
 update rpt_Static_Month  set  Qty2 =50,  Amount2 =65 where keyid ='中性笔'

-- name: year analysis: year total
-- setup
 update  rpt_Static_Month   set AllAmount =iif(isnull(Amount1),0,Amount1)+iif(isnull(Amount2),0,Amount2)+iif(isnull(Amount3),0,Amount3)+iif(isnull(Amount4),0,Amount4)+iif(isnull(Amount5),0,Amount5)+iif(isnull(Amount6),0,Amount6)+iif(isnull(Amount7),0,Amount7)+iif(isnull(Amount8),0,Amount8)+iif(isnull(Amount9),0,Amount9)+iif(isnull(Amount10),0,Amount10)+iif(isnull(Amount11),0,Amount11)+iif(isnull(Amount12),0,Amount12)

-- name: year analysis: shown by text key
 select a.*  from rpt_Static_Month a order by keyid

-- name: year analysis: a second run drops the table
-- setup
drop table rpt_Static_Month

-- name: year analysis: table with a numeric key
-- setup
 create table rpt_Static_Month(keyid int ,Qty1 float,Amount1 float,Qty2 float,Amount2 float,Qty3 float,Amount3 float,Qty4 float,Amount4 float,Qty5 float,Amount5 float,Qty6 float,Amount6 float,Qty7 float,Amount7 float,Qty8 float,Amount8 float,Qty9 float,Amount9 float,Qty10 float,Amount10 float,Qty11 float,Amount11 float,Qty12 float,Amount12 float,AllQty float,AllAmount float )

-- name: year analysis: requisitions by item and month
-- order: none
 SELECT  hpid as keyid , Month(rq) as sMonth, sum(sl) as qty,sum(sl*dj) as amount  FROM ( SELECT '领料' as LX,C.ID as BMID,Y.BH as YGBH,Y.XM,C.MC,M.JSR, d.ZBID,M.RQ, M.DJBH AS DH, D.HPID,H.BH,H.PM,H.GG,H.DW,D.SL,D.DJ,D.SL*D.DJ as JE,M.BZ,TypeName  from ((((llzb M left join LL  D on M.Id=d.ZBID) left join  HP H on D.HPID=H.ID) left join YG Y on M.YGID=Y.ID) left join  BM C  on Y.BMID = C.ID) left join Pub_ItemType L on H.HPLBID=L.ItemType  where uFlag=1) where Year(rq) = 2024 group by  hpid , Month(rq)

-- name: year analysis: first month of a numeric key
-- setup
 insert into rpt_Static_Month (keyid,Qty1,Amount1) values (9,1,22)

-- name: year analysis: another numeric key
-- setup
 insert into rpt_Static_Month (keyid,Qty1,Amount1) values (1,30,36)

-- name: year analysis: later month of a numeric key
-- setup
 update rpt_Static_Month  set  Qty3 =2,  Amount3 =45 where keyid =9

-- name: year analysis: shown by name
 select pm as keyid,a.*  from rpt_Static_Month a left join hp b on a.keyid=b.id order by pm

-- name: year analysis: by staff over requisitions
-- order: none
 SELECT  JSR as keyid , Month(rq) as sMonth, sum(sl) as qty,sum(sl*dj) as amount  FROM ( SELECT '领料' as LX,C.ID as BMID,Y.BH as YGBH,Y.XM,C.MC,M.JSR, d.ZBID,M.RQ, M.DJBH AS DH, D.HPID,H.BH,H.PM,H.GG,H.DW,D.SL,D.DJ,D.SL*D.DJ as JE,M.BZ,TypeName  from ((((llzb M left join LL  D on M.Id=d.ZBID) left join  HP H on D.HPID=H.ID) left join YG Y on M.YGID=Y.ID) left join  BM C  on Y.BMID = C.ID) left join Pub_ItemType L on H.HPLBID=L.ItemType  where uFlag=1) where Year(rq) = 2024 group by  JSR , Month(rq)

-- name: year analysis: by department over requisitions
-- order: none
 SELECT  mc as keyid , Month(rq) as sMonth, sum(sl) as qty,sum(sl*dj) as amount  FROM ( SELECT '领料' as LX,C.ID as BMID,Y.BH as YGBH,Y.XM,C.MC,M.JSR, d.ZBID,M.RQ, M.DJBH AS DH, D.HPID,H.BH,H.PM,H.GG,H.DW,D.SL,D.DJ,D.SL*D.DJ as JE,M.BZ,TypeName  from ((((llzb M left join LL  D on M.Id=d.ZBID) left join  HP H on D.HPID=H.ID) left join YG Y on M.YGID=Y.ID) left join  BM C  on Y.BMID = C.ID) left join Pub_ItemType L on H.HPLBID=L.ItemType  where uFlag=1) where Year(rq) = 2024 group by  mc , Month(rq)

-- name: purchase chart by month
 select top 12 a.sX as 月份,val(format(sum(a.sY), '0.00')) as 采购图形 from   ( SELECT  Right(left(z.rq,7),2)+ '月'  AS sX, sl*dj as sY    FROM (select * from CGSHZB WHERE uFlag=1)  Z, CGSH  M    WHERE Z.ID=M.ZBID  and M.RQ >=#2024-01-01#  and M.RQ <=#2024-03-31#   ) a   group by a.sX   order by a.sX  

-- name: purchase chart by department
 select top 12 a.sX as 部门,val(format(sum(a.sY), '0.00')) as 采购图形 from   ( SELECT   C.MC  AS sX, sl*dj as sY    FROM (select * from CGSHZB WHERE uFlag=1)  Z, CGSH  M  ,YG AS B,BM as C    WHERE Z.ID=M.ZBID  and Z.YGID =B.ID and b.bmid=c.id  and M.RQ >=#2024-01-01#  and M.RQ <=#2024-03-31#   ) a   group by a.sX   order by sum(a.sY) desc 

-- name: purchase chart by employee
 select top 12 a.sX as 员工,val(format(sum(a.sY), '0.00')) as 采购图形 from   ( SELECT   Y.XM  AS sX, sl*dj as sY    FROM (select * from CGSHZB WHERE uFlag=1)  Z, CGSH  M  ,YG AS Y    WHERE Z.ID=M.ZBID  and Z.YGID =Y.ID  and M.RQ >=#2024-01-01#  and M.RQ <=#2024-03-31#   ) a   group by a.sX   order by sum(a.sY) desc 

-- name: purchase chart by item
 select top 12 a.sX as 货品,val(format(sum(a.sY), '0.00')) as 采购图形 from   ( SELECT   HP.PM  AS sX, sl*dj as sY    FROM (select * from CGSHZB WHERE uFlag=1)  Z, CGSH  M  ,HP  as HP   WHERE Z.ID=M.ZBID  and M.HPID =HP.ID  and M.RQ >=#2024-01-01#  and M.RQ <=#2024-03-31#   ) a   group by a.sX   order by sum(a.sY) desc 

-- name: purchase chart by category
 select top 12 a.sX as 货品类别,val(format(sum(a.sY), '0.00')) as 采购图形 from   ( SELECT   H.TypeName  AS sX, sl*dj as sY    FROM (select * from CGSHZB WHERE uFlag=1)  Z, CGSH  M ,HP  as HP,Pub_ItemType as H    WHERE Z.ID=M.ZBID  and M.HPID =HP.ID and HP.HPLBID = H.ItemType  and M.RQ >=#2024-01-01#  and M.RQ <=#2024-03-31#   ) a   group by a.sX   order by sum(a.sY) desc 

-- name: purchase chart by vendor
 select top 12 a.sX as 供应商,val(format(sum(a.sY), '0.00')) as 采购图形 from   ( SELECT   K.MC  AS sX, sl*dj as sY    FROM (select * from CGSHZB WHERE uFlag=1)  Z, CGSH  M  ,GYS as K    WHERE Z.ID=M.ZBID  and Z.GYSID =K.ID  and M.RQ >=#2024-01-01#  and M.RQ <=#2024-03-31#   ) a   group by a.sX   order by sum(a.sY) desc 

-- name: requisition chart by month
 select top 12 a.sX as 月份,val(format(sum(a.sY), '0.00')) as 物品领用图形 from   ( SELECT  Right(left(z.rq,7),2)+ '月'  AS sX, sl*dj as sY    FROM (select * from LLZB WHERE uFlag=1)  Z, LL  M    WHERE Z.ID=M.ZBID  and M.RQ >=#2024-01-01#  and M.RQ <=#2024-03-31#   ) a   group by a.sX   order by a.sX  

-- name: requisition chart by department
 select top 12 a.sX as 部门,val(format(sum(a.sY), '0.00')) as 物品领用图形 from   ( SELECT   C.MC  AS sX, sl*dj as sY    FROM (select * from LLZB WHERE uFlag=1)  Z, LL  M  ,YG AS B,BM as C    WHERE Z.ID=M.ZBID  and Z.YGID =B.ID and b.bmid=c.id  and M.RQ >=#2024-01-01#  and M.RQ <=#2024-03-31#   ) a   group by a.sX   order by sum(a.sY) desc 

-- name: requisition chart by employee
 select top 12 a.sX as 员工,val(format(sum(a.sY), '0.00')) as 物品领用图形 from   ( SELECT   Y.XM  AS sX, sl*dj as sY    FROM (select * from LLZB WHERE uFlag=1)  Z, LL  M  ,YG AS Y    WHERE Z.ID=M.ZBID  and Z.YGID =Y.ID  and M.RQ >=#2024-01-01#  and M.RQ <=#2024-03-31#   ) a   group by a.sX   order by sum(a.sY) desc 

-- name: price analysis by item
 select d.*,e.dj as dj2,e.xm as xm2,e.KHGYS as KHGYS2,e.RQ as RQ2,f.dj as dj_new from ( select b.id,b.hpid,b.dj,b.BH, b.PM, b.GG,b.DW,b.XM,b.KHGYS,b.RQ,dj_avg from ( select a.id,a.hpid,a.dj,a.BH, a.PM, a.GG,a.DW,a.XM,a.KHGYS,a.RQ,dj_avg from ( select M.*, H.ID as HPID, H.BH, H.PM, H.GG,H.DW,TypeName,C.MC as CKMC,XM,K.MC as KHGYS from Inv_ItemList  M , HP H,Pub_ItemType L,CK C,YG Y,GYS K where M.HPID=H.ID and M.CKID=C.ID and H.HPLBID=L.ItemType and M.YGID=Y.ID and M.CustVendID=K.ID and BillType ='CS' and M.RQ >=45292 and M.RQ <=45382.9999884259) a , (select hpid,Min(dj) as dj1,avg(dj) as dj_avg from ( select M.*, H.ID as HPID, H.BH, H.PM, H.GG,H.DW,TypeName,C.MC as CKMC,XM,K.MC as KHGYS from Inv_ItemList  M , HP H,Pub_ItemType L,CK C,YG Y,GYS K where M.HPID=H.ID and M.CKID=C.ID and H.HPLBID=L.ItemType and M.YGID=Y.ID and M.CustVendID=K.ID and BillType ='CS' and M.RQ >=45292 and M.RQ <=45382.9999884259) group by  hpid )b where  a.hpid=b.hpid and a.dj=b.dj1) b, (SELECT hpid,max(id) as id1 FROM ( select a.id,a.hpid,a.dj,a.BH, a.PM, a.GG,a.DW,a.XM,a.KHGYS,a.RQ,dj_avg from ( select M.*, H.ID as HPID, H.BH, H.PM, H.GG,H.DW,TypeName,C.MC as CKMC,XM,K.MC as KHGYS from Inv_ItemList  M , HP H,Pub_ItemType L,CK C,YG Y,GYS K where M.HPID=H.ID and M.CKID=C.ID and H.HPLBID=L.ItemType and M.YGID=Y.ID and M.CustVendID=K.ID and BillType ='CS' and M.RQ >=45292 and M.RQ <=45382.9999884259) a , (select hpid,Min(dj) as dj1,avg(dj) as dj_avg from ( select M.*, H.ID as HPID, H.BH, H.PM, H.GG,H.DW,TypeName,C.MC as CKMC,XM,K.MC as KHGYS from Inv_ItemList  M , HP H,Pub_ItemType L,CK C,YG Y,GYS K where M.HPID=H.ID and M.CKID=C.ID and H.HPLBID=L.ItemType and M.YGID=Y.ID and M.CustVendID=K.ID and BillType ='CS' and M.RQ >=45292 and M.RQ <=45382.9999884259) group by  hpid )b where  a.hpid=b.hpid and a.dj=b.dj1)a group by hpid) c where b.id=c.id1) d,( select b.id,b.hpid,b.dj,b.BH, b.PM, b.GG,b.DW,b.XM,b.KHGYS,b.RQ,dj_avg from ( select a.id,a.hpid,a.dj,a.BH, a.PM, a.GG,a.DW,a.XM,a.KHGYS,a.RQ,dj_avg from ( select M.*, H.ID as HPID, H.BH, H.PM, H.GG,H.DW,TypeName,C.MC as CKMC,XM,K.MC as KHGYS from Inv_ItemList  M , HP H,Pub_ItemType L,CK C,YG Y,GYS K where M.HPID=H.ID and M.CKID=C.ID and H.HPLBID=L.ItemType and M.YGID=Y.ID and M.CustVendID=K.ID and BillType ='CS' and M.RQ >=45292 and M.RQ <=45382.9999884259) a , (select hpid,Max(dj) as dj1,avg(dj) as dj_avg from ( select M.*, H.ID as HPID, H.BH, H.PM, H.GG,H.DW,TypeName,C.MC as CKMC,XM,K.MC as KHGYS from Inv_ItemList  M , HP H,Pub_ItemType L,CK C,YG Y,GYS K where M.HPID=H.ID and M.CKID=C.ID and H.HPLBID=L.ItemType and M.YGID=Y.ID and M.CustVendID=K.ID and BillType ='CS' and M.RQ >=45292 and M.RQ <=45382.9999884259) group by  hpid )b where  a.hpid=b.hpid and a.dj=b.dj1) b, (SELECT hpid,max(id) as id1 FROM ( select a.id,a.hpid,a.dj,a.BH, a.PM, a.GG,a.DW,a.XM,a.KHGYS,a.RQ,dj_avg from ( select M.*, H.ID as HPID, H.BH, H.PM, H.GG,H.DW,TypeName,C.MC as CKMC,XM,K.MC as KHGYS from Inv_ItemList  M , HP H,Pub_ItemType L,CK C,YG Y,GYS K where M.HPID=H.ID and M.CKID=C.ID and H.HPLBID=L.ItemType and M.YGID=Y.ID and M.CustVendID=K.ID and BillType ='CS' and M.RQ >=45292 and M.RQ <=45382.9999884259) a , (select hpid,Max(dj) as dj1,avg(dj) as dj_avg from ( select M.*, H.ID as HPID, H.BH, H.PM, H.GG,H.DW,TypeName,C.MC as CKMC,XM,K.MC as KHGYS from Inv_ItemList  M , HP H,Pub_ItemType L,CK C,YG Y,GYS K where M.HPID=H.ID and M.CKID=C.ID and H.HPLBID=L.ItemType and M.YGID=Y.ID and M.CustVendID=K.ID and BillType ='CS' and M.RQ >=45292 and M.RQ <=45382.9999884259) group by  hpid )b where  a.hpid=b.hpid and a.dj=b.dj1)a group by hpid) c where b.id=c.id1)e,( select b.hpid,b.dj from ( select M.*, H.ID as HPID, H.BH, H.PM, H.GG,H.DW,TypeName,C.MC as CKMC,XM,K.MC as KHGYS from Inv_ItemList  M , HP H,Pub_ItemType L,CK C,YG Y,GYS K where M.HPID=H.ID and M.CKID=C.ID and H.HPLBID=L.ItemType and M.YGID=Y.ID and M.CustVendID=K.ID and BillType ='CS' and M.RQ >=45292 and M.RQ <=45382.9999884259) b, (SELECT hpid,max(id) as id1 FROM ( select M.*, H.ID as HPID, H.BH, H.PM, H.GG,H.DW,TypeName,C.MC as CKMC,XM,K.MC as KHGYS from Inv_ItemList  M , HP H,Pub_ItemType L,CK C,YG Y,GYS K where M.HPID=H.ID and M.CKID=C.ID and H.HPLBID=L.ItemType and M.YGID=Y.ID and M.CustVendID=K.ID and BillType ='CS' and M.RQ >=45292 and M.RQ <=45382.9999884259)a group by hpid) c where b.id=c.id1)f  where d.hpid=e.hpid and d.hpid=f.hpid  order by d.bh

-- name: price analysis by item and vendor
 select d.*,e.dj as dj2,e.xm as xm2,e.KHGYS as KHGYS2,e.RQ as RQ2,f.dj as dj_new from ( select b.id,b.hpid,b.dj,b.BH, b.PM, b.GG,b.DW,b.XM,b.KHGYS,b.RQ,dj_avg from ( select a.id,a.hpid,a.dj,a.BH, a.PM, a.GG,a.DW,a.XM,a.KHGYS,a.RQ,dj_avg from ( select M.*, H.ID as HPID, H.BH, H.PM, H.GG,H.DW,TypeName,C.MC as CKMC,XM,K.MC as KHGYS from Inv_ItemList  M , HP H,Pub_ItemType L,CK C,YG Y,GYS K where M.HPID=H.ID and M.CKID=C.ID and H.HPLBID=L.ItemType and M.YGID=Y.ID and M.CustVendID=K.ID and BillType ='CS' and M.RQ >=45292 and M.RQ <=45382.9999884259) a , (select  KHGYS,hpid,Min(dj) as dj1,avg(dj) as dj_avg from ( select M.*, H.ID as HPID, H.BH, H.PM, H.GG,H.DW,TypeName,C.MC as CKMC,XM,K.MC as KHGYS from Inv_ItemList  M , HP H,Pub_ItemType L,CK C,YG Y,GYS K where M.HPID=H.ID and M.CKID=C.ID and H.HPLBID=L.ItemType and M.YGID=Y.ID and M.CustVendID=K.ID and BillType ='CS' and M.RQ >=45292 and M.RQ <=45382.9999884259) group by  KHGYS, hpid )b where  a.hpid=b.hpid and a.dj=b.dj1 and a.KHGYS=b.KHGYS) b, (SELECT  KHGYS,hpid,max(id) as id1 FROM ( select a.id,a.hpid,a.dj,a.BH, a.PM, a.GG,a.DW,a.XM,a.KHGYS,a.RQ,dj_avg from ( select M.*, H.ID as HPID, H.BH, H.PM, H.GG,H.DW,TypeName,C.MC as CKMC,XM,K.MC as KHGYS from Inv_ItemList  M , HP H,Pub_ItemType L,CK C,YG Y,GYS K where M.HPID=H.ID and M.CKID=C.ID and H.HPLBID=L.ItemType and M.YGID=Y.ID and M.CustVendID=K.ID and BillType ='CS' and M.RQ >=45292 and M.RQ <=45382.9999884259) a , (select  KHGYS,hpid,Min(dj) as dj1,avg(dj) as dj_avg from ( select M.*, H.ID as HPID, H.BH, H.PM, H.GG,H.DW,TypeName,C.MC as CKMC,XM,K.MC as KHGYS from Inv_ItemList  M , HP H,Pub_ItemType L,CK C,YG Y,GYS K where M.HPID=H.ID and M.CKID=C.ID and H.HPLBID=L.ItemType and M.YGID=Y.ID and M.CustVendID=K.ID and BillType ='CS' and M.RQ >=45292 and M.RQ <=45382.9999884259) group by  KHGYS, hpid )b where  a.hpid=b.hpid and a.dj=b.dj1 and a.KHGYS=b.KHGYS)a group by  KHGYS,hpid) c where b.id=c.id1 and b.KHGYS=c.KHGYS) d,( select b.id,b.hpid,b.dj,b.BH, b.PM, b.GG,b.DW,b.XM,b.KHGYS,b.RQ,dj_avg from ( select a.id,a.hpid,a.dj,a.BH, a.PM, a.GG,a.DW,a.XM,a.KHGYS,a.RQ,dj_avg from ( select M.*, H.ID as HPID, H.BH, H.PM, H.GG,H.DW,TypeName,C.MC as CKMC,XM,K.MC as KHGYS from Inv_ItemList  M , HP H,Pub_ItemType L,CK C,YG Y,GYS K where M.HPID=H.ID and M.CKID=C.ID and H.HPLBID=L.ItemType and M.YGID=Y.ID and M.CustVendID=K.ID and BillType ='CS' and M.RQ >=45292 and M.RQ <=45382.9999884259) a , (select  KHGYS,hpid,Max(dj) as dj1,avg(dj) as dj_avg from ( select M.*, H.ID as HPID, H.BH, H.PM, H.GG,H.DW,TypeName,C.MC as CKMC,XM,K.MC as KHGYS from Inv_ItemList  M , HP H,Pub_ItemType L,CK C,YG Y,GYS K where M.HPID=H.ID and M.CKID=C.ID and H.HPLBID=L.ItemType and M.YGID=Y.ID and M.CustVendID=K.ID and BillType ='CS' and M.RQ >=45292 and M.RQ <=45382.9999884259) group by  KHGYS, hpid )b where  a.hpid=b.hpid and a.dj=b.dj1 and a.KHGYS=b.KHGYS) b, (SELECT  KHGYS,hpid,max(id) as id1 FROM ( select a.id,a.hpid,a.dj,a.BH, a.PM, a.GG,a.DW,a.XM,a.KHGYS,a.RQ,dj_avg from ( select M.*, H.ID as HPID, H.BH, H.PM, H.GG,H.DW,TypeName,C.MC as CKMC,XM,K.MC as KHGYS from Inv_ItemList  M , HP H,Pub_ItemType L,CK C,YG Y,GYS K where M.HPID=H.ID and M.CKID=C.ID and H.HPLBID=L.ItemType and M.YGID=Y.ID and M.CustVendID=K.ID and BillType ='CS' and M.RQ >=45292 and M.RQ <=45382.9999884259) a , (select  KHGYS,hpid,Max(dj) as dj1,avg(dj) as dj_avg from ( select M.*, H.ID as HPID, H.BH, H.PM, H.GG,H.DW,TypeName,C.MC as CKMC,XM,K.MC as KHGYS from Inv_ItemList  M , HP H,Pub_ItemType L,CK C,YG Y,GYS K where M.HPID=H.ID and M.CKID=C.ID and H.HPLBID=L.ItemType and M.YGID=Y.ID and M.CustVendID=K.ID and BillType ='CS' and M.RQ >=45292 and M.RQ <=45382.9999884259) group by  KHGYS, hpid )b where  a.hpid=b.hpid and a.dj=b.dj1 and a.KHGYS=b.KHGYS)a group by  KHGYS,hpid) c where b.id=c.id1 and b.KHGYS=c.KHGYS)e,( select b.hpid,b.dj from ( select M.*, H.ID as HPID, H.BH, H.PM, H.GG,H.DW,TypeName,C.MC as CKMC,XM,K.MC as KHGYS from Inv_ItemList  M , HP H,Pub_ItemType L,CK C,YG Y,GYS K where M.HPID=H.ID and M.CKID=C.ID and H.HPLBID=L.ItemType and M.YGID=Y.ID and M.CustVendID=K.ID and BillType ='CS' and M.RQ >=45292 and M.RQ <=45382.9999884259) b, (SELECT hpid,max(id) as id1 FROM ( select M.*, H.ID as HPID, H.BH, H.PM, H.GG,H.DW,TypeName,C.MC as CKMC,XM,K.MC as KHGYS from Inv_ItemList  M , HP H,Pub_ItemType L,CK C,YG Y,GYS K where M.HPID=H.ID and M.CKID=C.ID and H.HPLBID=L.ItemType and M.YGID=Y.ID and M.CustVendID=K.ID and BillType ='CS' and M.RQ >=45292 and M.RQ <=45382.9999884259)a group by hpid) c where b.id=c.id1)f  where d.hpid=e.hpid and d.hpid=f.hpid  and d.KHGYS=e.KHGYS order by d.bh,d.KHGYS

-- name: price analysis by vendor
 select d.*,e.dj as dj2,e.xm as xm2,e.KHGYS as KHGYS2,e.RQ as RQ2,f.dj as dj_new from ( select b.id,b.hpid,b.dj,b.BH, b.PM, b.GG,b.DW,b.XM,b.KHGYS,b.RQ,dj_avg from ( select a.id,a.hpid,a.dj,a.BH, a.PM, a.GG,a.DW,a.XM,a.KHGYS,a.RQ,dj_avg from ( select M.*, H.ID as HPID, H.BH, H.PM, H.GG,H.DW,TypeName,C.MC as CKMC,XM,K.MC as KHGYS from Inv_ItemList  M , HP H,Pub_ItemType L,CK C,YG Y,GYS K where M.HPID=H.ID and M.CKID=C.ID and H.HPLBID=L.ItemType and M.YGID=Y.ID and M.CustVendID=K.ID and BillType ='CS' and M.RQ >=45292 and M.RQ <=45382.9999884259) a , (select  KHGYS,hpid,Min(dj) as dj1,avg(dj) as dj_avg from ( select M.*, H.ID as HPID, H.BH, H.PM, H.GG,H.DW,TypeName,C.MC as CKMC,XM,K.MC as KHGYS from Inv_ItemList  M , HP H,Pub_ItemType L,CK C,YG Y,GYS K where M.HPID=H.ID and M.CKID=C.ID and H.HPLBID=L.ItemType and M.YGID=Y.ID and M.CustVendID=K.ID and BillType ='CS' and M.RQ >=45292 and M.RQ <=45382.9999884259) group by  KHGYS, hpid )b where  a.hpid=b.hpid and a.dj=b.dj1 and a.KHGYS=b.KHGYS) b, (SELECT  KHGYS,hpid,max(id) as id1 FROM ( select a.id,a.hpid,a.dj,a.BH, a.PM, a.GG,a.DW,a.XM,a.KHGYS,a.RQ,dj_avg from ( select M.*, H.ID as HPID, H.BH, H.PM, H.GG,H.DW,TypeName,C.MC as CKMC,XM,K.MC as KHGYS from Inv_ItemList  M , HP H,Pub_ItemType L,CK C,YG Y,GYS K where M.HPID=H.ID and M.CKID=C.ID and H.HPLBID=L.ItemType and M.YGID=Y.ID and M.CustVendID=K.ID and BillType ='CS' and M.RQ >=45292 and M.RQ <=45382.9999884259) a , (select  KHGYS,hpid,Min(dj) as dj1,avg(dj) as dj_avg from ( select M.*, H.ID as HPID, H.BH, H.PM, H.GG,H.DW,TypeName,C.MC as CKMC,XM,K.MC as KHGYS from Inv_ItemList  M , HP H,Pub_ItemType L,CK C,YG Y,GYS K where M.HPID=H.ID and M.CKID=C.ID and H.HPLBID=L.ItemType and M.YGID=Y.ID and M.CustVendID=K.ID and BillType ='CS' and M.RQ >=45292 and M.RQ <=45382.9999884259) group by  KHGYS, hpid )b where  a.hpid=b.hpid and a.dj=b.dj1 and a.KHGYS=b.KHGYS)a group by  KHGYS,hpid) c where b.id=c.id1 and b.KHGYS=c.KHGYS) d,( select b.id,b.hpid,b.dj,b.BH, b.PM, b.GG,b.DW,b.XM,b.KHGYS,b.RQ,dj_avg from ( select a.id,a.hpid,a.dj,a.BH, a.PM, a.GG,a.DW,a.XM,a.KHGYS,a.RQ,dj_avg from ( select M.*, H.ID as HPID, H.BH, H.PM, H.GG,H.DW,TypeName,C.MC as CKMC,XM,K.MC as KHGYS from Inv_ItemList  M , HP H,Pub_ItemType L,CK C,YG Y,GYS K where M.HPID=H.ID and M.CKID=C.ID and H.HPLBID=L.ItemType and M.YGID=Y.ID and M.CustVendID=K.ID and BillType ='CS' and M.RQ >=45292 and M.RQ <=45382.9999884259) a , (select  KHGYS,hpid,Max(dj) as dj1,avg(dj) as dj_avg from ( select M.*, H.ID as HPID, H.BH, H.PM, H.GG,H.DW,TypeName,C.MC as CKMC,XM,K.MC as KHGYS from Inv_ItemList  M , HP H,Pub_ItemType L,CK C,YG Y,GYS K where M.HPID=H.ID and M.CKID=C.ID and H.HPLBID=L.ItemType and M.YGID=Y.ID and M.CustVendID=K.ID and BillType ='CS' and M.RQ >=45292 and M.RQ <=45382.9999884259) group by  KHGYS, hpid )b where  a.hpid=b.hpid and a.dj=b.dj1 and a.KHGYS=b.KHGYS) b, (SELECT  KHGYS,hpid,max(id) as id1 FROM ( select a.id,a.hpid,a.dj,a.BH, a.PM, a.GG,a.DW,a.XM,a.KHGYS,a.RQ,dj_avg from ( select M.*, H.ID as HPID, H.BH, H.PM, H.GG,H.DW,TypeName,C.MC as CKMC,XM,K.MC as KHGYS from Inv_ItemList  M , HP H,Pub_ItemType L,CK C,YG Y,GYS K where M.HPID=H.ID and M.CKID=C.ID and H.HPLBID=L.ItemType and M.YGID=Y.ID and M.CustVendID=K.ID and BillType ='CS' and M.RQ >=45292 and M.RQ <=45382.9999884259) a , (select  KHGYS,hpid,Max(dj) as dj1,avg(dj) as dj_avg from ( select M.*, H.ID as HPID, H.BH, H.PM, H.GG,H.DW,TypeName,C.MC as CKMC,XM,K.MC as KHGYS from Inv_ItemList  M , HP H,Pub_ItemType L,CK C,YG Y,GYS K where M.HPID=H.ID and M.CKID=C.ID and H.HPLBID=L.ItemType and M.YGID=Y.ID and M.CustVendID=K.ID and BillType ='CS' and M.RQ >=45292 and M.RQ <=45382.9999884259) group by  KHGYS, hpid )b where  a.hpid=b.hpid and a.dj=b.dj1 and a.KHGYS=b.KHGYS)a group by  KHGYS,hpid) c where b.id=c.id1 and b.KHGYS=c.KHGYS)e,( select b.hpid,b.dj from ( select M.*, H.ID as HPID, H.BH, H.PM, H.GG,H.DW,TypeName,C.MC as CKMC,XM,K.MC as KHGYS from Inv_ItemList  M , HP H,Pub_ItemType L,CK C,YG Y,GYS K where M.HPID=H.ID and M.CKID=C.ID and H.HPLBID=L.ItemType and M.YGID=Y.ID and M.CustVendID=K.ID and BillType ='CS' and M.RQ >=45292 and M.RQ <=45382.9999884259) b, (SELECT hpid,max(id) as id1 FROM ( select M.*, H.ID as HPID, H.BH, H.PM, H.GG,H.DW,TypeName,C.MC as CKMC,XM,K.MC as KHGYS from Inv_ItemList  M , HP H,Pub_ItemType L,CK C,YG Y,GYS K where M.HPID=H.ID and M.CKID=C.ID and H.HPLBID=L.ItemType and M.YGID=Y.ID and M.CustVendID=K.ID and BillType ='CS' and M.RQ >=45292 and M.RQ <=45382.9999884259)a group by hpid) c where b.id=c.id1)f  where d.hpid=e.hpid and d.hpid=f.hpid  and d.KHGYS=e.KHGYS order by d.KHGYS,d.bh

-- name: price analysis grouping without its comma is refused
-- expect: error expected
select  KHGYS,hpid,Min(dj) as dj1,avg(dj) as dj_avg from ( select M.*, H.ID as HPID, H.BH, H.PM, H.GG,H.DW,TypeName,C.MC as CKMC,XM,K.MC as KHGYS from Inv_ItemList  M , HP H,Pub_ItemType L,CK C,YG Y,GYS K where M.HPID=H.ID and M.CKID=C.ID and H.HPLBID=L.ItemType and M.YGID=Y.ID and M.CustVendID=K.ID and BillType ='CS' and M.RQ >=45292 and M.RQ <=45382.9999884259) group by  KHGYS  hpid

-- name: structure analysis total
select sum(dj*sl*NZK*(1+NSL/100)) as je from ( select M.*, H.ID as HPID, H.BH, H.PM, H.GG,H.DW,TypeName,C.MC as CKMC,XM,K.MC as KHGYS from Inv_ItemList  M , HP H,Pub_ItemType L,CK C,YG Y,GYS K where M.HPID=H.ID and M.CKID=C.ID and H.HPLBID=L.ItemType and M.YGID=Y.ID and M.CustVendID=K.ID and BillType ='CS' and M.RQ >=45292 and M.RQ <=45382.9999884259)a

-- name: structure analysis
-- order: none
 select a.BH, a.PM, a.GG,a.DW,sum(sl) as sl_all,sum(dj*sl*NZK*(1+NSL/100)) as je, (sum(dj*sl*NZK*(1+NSL/100))*100/2552.64825) as Rate from ( select M.*, H.ID as HPID, H.BH, H.PM, H.GG,H.DW,TypeName,C.MC as CKMC,XM,K.MC as KHGYS from Inv_ItemList  M , HP H,Pub_ItemType L,CK C,YG Y,GYS K where M.HPID=H.ID and M.CKID=C.ID and H.HPLBID=L.ItemType and M.YGID=Y.ID and M.CustVendID=K.ID and BillType ='CS' and M.RQ >=45292 and M.RQ <=45382.9999884259)a group by  a.BH, a.PM, a.GG,a.DW

-- name: sales price source
 select M.*, H.ID as HPID, H.BH, H.PM, H.GG,H.DW,TypeName,C.MC as CKMC,XM,K.MC as KHGYS from Inv_ItemList  M , HP H,Pub_ItemType L,CK C,YG Y,KH K where M.HPID=H.ID and M.CKID=C.ID and H.HPLBID=L.ItemType and M.YGID=Y.ID and M.CustVendID=K.ID and BillType ='XS' and M.RQ >=45292 and M.RQ <=45382.9999884259 order by M.ID

-- name: requisition detail
 SELECT '领料' as LX,C.ID as BMID,Y.BH as YGBH,Y.XM,C.MC,M.JSR, d.ZBID,M.RQ, M.DJBH AS DH, D.HPID,H.BH,H.PM,H.GG,H.DW,D.SL,D.DJ,D.SL*D.DJ as JE,M.BZ,TypeName  from ((((llzb M left join LL  D on M.Id=d.ZBID) left join  HP H on D.HPID=H.ID) left join YG Y on M.YGID=Y.ID) left join  BM C  on Y.BMID = C.ID) left join Pub_ItemType L on H.HPLBID=L.ItemType  where uFlag=1 and M.RQ >=45292 and M.RQ <=45382.9999884259 Order by H.BH,M.RQ,M.JSR  

-- name: requisition detail of one employee and category
 SELECT '领料' as LX,C.ID as BMID,Y.BH as YGBH,Y.XM,C.MC,M.JSR, d.ZBID,M.RQ, M.DJBH AS DH, D.HPID,H.BH,H.PM,H.GG,H.DW,D.SL,D.DJ,D.SL*D.DJ as JE,M.BZ,TypeName  from ((((llzb M left join LL  D on M.Id=d.ZBID) left join  HP H on D.HPID=H.ID) left join YG Y on M.YGID=Y.ID) left join  BM C  on Y.BMID = C.ID) left join Pub_ItemType L on H.HPLBID=L.ItemType  where uFlag=1 and M.RQ >=45292 and M.RQ <=45382.9999884259 and Y.XM  = '张伟' and  (L.ItemType= 1 or L.ItemType In( select ItemType from Pub_ItemType where ParentCode=1)) Order by H.BH,M.RQ,M.JSR  

-- name: requisitions by department and category
 select MC,TypeName,sum(SL) as SL,sum(val(Format(SL*DJ, '0.00'))) as JE from ( SELECT '领料' as LX,C.ID as BMID,Y.BH as YGBH,Y.XM,C.MC,M.JSR, d.ZBID,M.RQ, M.DJBH AS DH, D.HPID,H.BH,H.PM,H.GG,H.DW,D.SL,D.DJ,D.SL*D.DJ as JE,M.BZ,TypeName  from ((((llzb M left join LL  D on M.Id=d.ZBID) left join  HP H on D.HPID=H.ID) left join YG Y on M.YGID=Y.ID) left join  BM C  on Y.BMID = C.ID) left join Pub_ItemType L on H.HPLBID=L.ItemType  where uFlag=1 and M.RQ >=45292 and M.RQ <=45382.9999884259 and C.ID in (3,4,9)) a Group by MC,TypeName order by MC,TypeName

-- name: requisition detail by staff
-- order: none
 SELECT '领料' as LX,C.ID as BMID,Y.BH as YGBH,Y.XM,C.MC,M.JSR, d.ZBID,M.RQ, M.DJBH AS DH, D.HPID,H.BH,H.PM,H.GG,H.DW,D.SL,D.DJ,D.SL*D.DJ as JE,M.BZ,TypeName  from ((((llzb M left join LL  D on M.Id=d.ZBID) left join  HP H on D.HPID=H.ID) left join YG Y on M.YGID=Y.ID) left join  BM C  on Y.BMID = C.ID) left join Pub_ItemType L on H.HPLBID=L.ItemType  where uFlag=1 and M.RQ >=45292 and M.RQ <=45382.9999884259 and C.ID in (1,2,3,4,5,6,7,8,9) order by MC,JSR,M.RQ

-- name: requisition summary by staff
-- order: none
 select YGBH,XM,BH,PM,sum(SL) as SL,sum(val(Format(SL*DJ, '0.00'))) as JE from ( SELECT '领料' as LX,C.ID as BMID,Y.BH as YGBH,Y.XM,C.MC,M.JSR, d.ZBID,M.RQ, M.DJBH AS DH, D.HPID,H.BH,H.PM,H.GG,H.DW,D.SL,D.DJ,D.SL*D.DJ as JE,M.BZ,TypeName  from ((((llzb M left join LL  D on M.Id=d.ZBID) left join  HP H on D.HPID=H.ID) left join YG Y on M.YGID=Y.ID) left join  BM C  on Y.BMID = C.ID) left join Pub_ItemType L on H.HPLBID=L.ItemType  where uFlag=1 and M.RQ >=45292 and M.RQ <=45382.9999884259) a Group by YGBH,XM,BH,PM order by XM

-- name: requisition summary by department with subtotals
-- order: none
select * from(select 1 as flag,BMID,MC,'' as BMMC,BH,PM,GG,DW,D.DJ,D.SL,JE from ( SELECT '领料' as LX,C.ID as BMID,Y.BH as YGBH,Y.XM,C.MC,M.JSR, d.ZBID,M.RQ, M.DJBH AS DH, D.HPID,H.BH,H.PM,H.GG,H.DW,D.SL,D.DJ,D.SL*D.DJ as JE,M.BZ,TypeName  from ((((llzb M left join LL  D on M.Id=d.ZBID) left join  HP H on D.HPID=H.ID) left join YG Y on M.YGID=Y.ID) left join  BM C  on Y.BMID = C.ID) left join Pub_ItemType L on H.HPLBID=L.ItemType  where uFlag=1 and M.RQ >=45292 and M.RQ <=45382.9999884259) a union all select 0 as flag,BMID,MC,MC as BMMC,'','小计','','','',sum(sl),sum(je) from ( SELECT '领料' as LX,C.ID as BMID,Y.BH as YGBH,Y.XM,C.MC,M.JSR, d.ZBID,M.RQ, M.DJBH AS DH, D.HPID,H.BH,H.PM,H.GG,H.DW,D.SL,D.DJ,D.SL*D.DJ as JE,M.BZ,TypeName  from ((((llzb M left join LL  D on M.Id=d.ZBID) left join  HP H on D.HPID=H.ID) left join YG Y on M.YGID=Y.ID) left join  BM C  on Y.BMID = C.ID) left join Pub_ItemType L on H.HPLBID=L.ItemType  where uFlag=1 and M.RQ >=45292 and M.RQ <=45382.9999884259) a group by BMID,MC union all select -1 as flag,0,'' as MC,'','','合计','','','',sum(sl),sum(je) from ( SELECT '领料' as LX,C.ID as BMID,Y.BH as YGBH,Y.XM,C.MC,M.JSR, d.ZBID,M.RQ, M.DJBH AS DH, D.HPID,H.BH,H.PM,H.GG,H.DW,D.SL,D.DJ,D.SL*D.DJ as JE,M.BZ,TypeName  from ((((llzb M left join LL  D on M.Id=d.ZBID) left join  HP H on D.HPID=H.ID) left join YG Y on M.YGID=Y.ID) left join  BM C  on Y.BMID = C.ID) left join Pub_ItemType L on H.HPLBID=L.ItemType  where uFlag=1 and M.RQ >=45292 and M.RQ <=45382.9999884259) a)a  order by BMID,flag,bh 

-- name: stock value for the department share
 select sum(flag*sl*dj) as amount From Inv_ItemList  where RQ <= #2024-03-31#

-- name: department share of stock
-- order: none
 select MC,JE,JE*100/(JE+4112.6) as Rate from ( select MC,sum(val(Format(SL * DJ, '0.00'))) as JE from ( SELECT '领料' as LX,C.ID as BMID,Y.BH as YGBH,Y.XM,C.MC,M.JSR, d.ZBID,M.RQ, M.DJBH AS DH, D.HPID,H.BH,H.PM,H.GG,H.DW,D.SL,D.DJ,D.SL*D.DJ as JE,M.BZ,TypeName  from ((((llzb M left join LL  D on M.Id=d.ZBID) left join  HP H on D.HPID=H.ID) left join YG Y on M.YGID=Y.ID) left join  BM C  on Y.BMID = C.ID) left join Pub_ItemType L on H.HPLBID=L.ItemType  where uFlag=1 and M.RQ >=45292 and M.RQ <=45382.9999884259 and C.ID in (3,9)) a Group by C.MC)

-- name: return detail
 SELECT '退料' as LX,C.ID as BMID,Y.BH as YGBH,Y.XM,C.MC,M.JSR, d.ZBID,M.RQ, M.DJBH AS DH, D.HPID,H.BH,H.PM,H.GG,H.DW,D.SL,D.DJ,D.SL*D.DJ as JE,M.BZ,TypeName  from ((((tlzb M left join TL  D on M.Id=d.ZBID) left join  HP H on D.HPID=H.ID) left join YG Y on M.YGID=Y.ID) left join  BM C  on Y.BMID = C.ID) left join Pub_ItemType L on H.HPLBID=L.ItemType  where uFlag=1 and M.RQ >=45292 and M.RQ <=45382.9999884259

-- name: requisitions and returns with returns counted negative
-- order: none
 SELECT '领料' as LX,C.ID as BMID,Y.BH as YGBH,Y.XM,C.MC,M.JSR, d.ZBID,M.RQ, M.DJBH AS DH, D.HPID,H.BH,H.PM,H.GG,H.DW,D.SL,D.DJ,D.SL*D.DJ as JE,M.BZ,TypeName  from ((((llzb M left join LL  D on M.Id=d.ZBID) left join  HP H on D.HPID=H.ID) left join YG Y on M.YGID=Y.ID) left join  BM C  on Y.BMID = C.ID) left join Pub_ItemType L on H.HPLBID=L.ItemType  where uFlag=1 and M.RQ >=45292 and M.RQ <=45382.9999884259 union all  SELECT '退料' as LX,C.ID as BMID,Y.BH as YGBH,Y.XM,C.MC,M.JSR, d.ZBID,M.RQ, M.DJBH AS DH, D.HPID,H.BH,H.PM,H.GG,H.DW,-D.SL,D.DJ,-D.SL*D.DJ as JE,M.BZ,TypeName  from ((((tlzb M left join TL  D on M.Id=d.ZBID) left join  HP H on D.HPID=H.ID) left join YG Y on M.YGID=Y.ID) left join  BM C  on Y.BMID = C.ID) left join Pub_ItemType L on H.HPLBID=L.ItemType  where uFlag=1 and M.RQ >=45292 and M.RQ <=45382.9999884259

-- name: requisitions of a department scope
 SELECT '领料' as LX,C.ID as BMID,Y.BH as YGBH,Y.XM,C.MC,M.JSR, d.ZBID,M.RQ, M.DJBH AS DH, D.HPID,H.BH,H.PM,H.GG,H.DW,D.SL,D.DJ,D.SL*D.DJ as JE,M.BZ,TypeName  from ((((llzb M left join LL  D on M.Id=d.ZBID) left join  HP H on D.HPID=H.ID) left join YG Y on M.YGID=Y.ID) left join ( SELECT A.MC  AS ParentName, C.* FROM BM C LEFT JOIN  BM  A ON C.ParentCode=A.ID where C.ID in (3,9) ) C  on Y.BMID = C.ID) left join Pub_ItemType L on H.HPLBID=L.ItemType  where uFlag=1 and M.RQ >=45292 and M.RQ <=45382.9999884259 Order by H.BH,M.RQ,M.JSR  

-- name: purchase lines with returns counted negative
-- order: none
 SELECT '采购收货' as LX,M.YWY,D.ZBID, M.DJBH, M.RQ, M.GYSID,K.BH as GYSBH,K.MC as GYSMC,L.TypeName, M.YWY,D.HPID,H.BH,PM,GG,DW,SL,DJ,SL*DJ*D.NZK*(1+NSL/100) as JE,D.NZK,D.NSl from ((((CGSHZB M left join  CGSH D on M.ID = D.ZBID) left join GYS K on K.ID = M.GYSID)  left join YG Y on M.YGID=Y.ID) left join  HP H on D.HPID=H.ID) left join Pub_ItemType L on H.HPLBID=L.ItemType where uFlag=1 and M.RQ >=45292 and M.RQ <=45382.9999884259 union all  SELECT '采购退货' as LX,M.YWY,D.ZBID, M.DJBH, M.RQ, M.GYSID,K.BH as GYSBH,K.MC as GYSMC,L.TypeName,M.YWY,D.HPID,H.BH,PM,GG,DW,-SL,DJ,- SL*DJ*D.NZK*(1+NSL/100) as JE,D.NZK,D.NSl from ((((CGTHZB M left join  CGTH D on M.ID = D.ZBID) left join GYS K on K.ID = M.GYSID) left join YG Y on M.YGID=Y.ID) left join  HP H on D.HPID=H.ID) left join Pub_ItemType L on H.HPLBID=L.ItemType where uFlag=1 and M.RQ >=45292 and M.RQ <=45382.9999884259

-- name: purchase returns
 SELECT '采购退货' as LX,M.YWY,D.ZBID, M.DJBH, M.RQ, M.GYSID,K.BH as GYSBH,K.MC as GYSMC,L.TypeName,M.YWY,D.HPID,H.BH,PM,GG,DW,SL,DJ, SL*DJ*D.NZK*(1+NSL/100) as JE,D.NZK,D.NSl from ((((CGTHZB M left join  CGTH D on M.ID = D.ZBID) left join GYS K on K.ID = M.GYSID) left join YG Y on M.YGID=Y.ID) left join  HP H on D.HPID=H.ID) left join Pub_ItemType L on H.HPLBID=L.ItemType where uFlag=1 and M.RQ >=45292 and M.RQ <=45382.9999884259

-- name: sales lines with retail
-- order: none
 select '销售出库' as LX,  D.ZBID, M.DJBH, M.RQ, M.KHID,K.BH as KHBH,K.MC as KHMC, DD.MC as DQMC, TypeName, M.YWY, D.HPID,H.BH,H.PM,H.GG,H.DW,D.SL,D.SL as JH_SL,0 as TH_SL,D.DJ,SL*DJ*D.NZK*(1+NSL/100) as JE,D.CBDJ,D.NSL,D.NZK from ((((XSKDZB M left join XSKD D on M.ID = D.ZBID) left join KH K on K.ID=M.KHID) left join DQ DD on DD.ID=K.DQID) left join HP H on H.ID = D.HPID) left join Pub_ItemType L on L.ItemType = H.HPLBID where uFlag=1 and M.RQ >=45292 and M.RQ <=45382.9999884259 union all  select '零售单' as LX,  D.ZBID, M.DJBH, M.RQ, M.KHID,K.VIPCardID as KHBH,K.VIPName as KHMC, '' as DQMC, TypeName, M.YWY, D.HPID,H.BH,H.PM,H.GG,H.DW,D.SL,D.SL as JH_SL,0 as TH_SL,D.DJ,SL*DJ*D.NZK*(1+NSL/100) as JE,D.CBDJ,D.NSL,D.NZK from (((LSKDZB M left join LSKD D on M.ID = D.ZBID) left join VIP K on K.ID=M.VIPID) left join HP H on H.ID = D.HPID) left join Pub_ItemType L on L.ItemType = H.HPLBID where uFlag=1 and M.RQ >=45292 and M.RQ <=45382.9999884259

-- name: sales returns
 select '销售退货' as LX,  D.ZBID, M.DJBH, M.RQ, M.KHID,K.BH as KHBH,K.MC as KHMC, DD.MC as DQMC, TypeName, M.YWY, D.HPID,H.BH,H.PM,H.GG,H.DW,D.SL,0 as JH_SL,D.SL as TH_SL,D.DJ,SL*DJ*D.NZK*(1+NSL/100) as JE,D.CBDJ,D.NSL,D.NZK from ((((XSTHZB M left join XSTH D on M.ID = D.ZBID) left join KH K on K.ID=M.KHID) left join DQ DD on DD.ID=K.DQID) left join HP H on H.ID = D.HPID) left join Pub_ItemType L on L.ItemType = H.HPLBID where uFlag=1 and M.RQ >=45292 and M.RQ <=45382.9999884259

-- name: sales lines, returns negative, and retail
-- order: none
 select '销售出库' as LX,  D.ZBID, M.DJBH, M.RQ, M.KHID,K.BH as KHBH,K.MC as KHMC, DD.MC as DQMC, TypeName, M.YWY, D.HPID,H.BH,H.PM,H.GG,H.DW,D.SL,D.SL as JH_SL,0 as TH_SL,D.DJ,SL*DJ*D.NZK*(1+NSL/100) as JE,D.CBDJ,D.NSL,D.NZK from ((((XSKDZB M left join XSKD D on M.ID = D.ZBID) left join KH K on K.ID=M.KHID) left join DQ DD on DD.ID=K.DQID) left join HP H on H.ID = D.HPID) left join Pub_ItemType L on L.ItemType = H.HPLBID where uFlag=1 and M.RQ >=45292 and M.RQ <=45382.9999884259 union all  select '销售退货' as LX,  D.ZBID, M.DJBH, M.RQ, M.KHID,K.BH as KHBH,K.MC as KHMC, DD.MC as DQMC, TypeName, M.YWY, D.HPID,H.BH,H.PM,H.GG,H.DW,-D.SL,0 as JH_SL,D.SL as TH_SL,D.DJ,-SL*DJ*D.NZK*(1+NSL/100) as JE,D.CBDJ,D.NSL,D.NZK from ((((XSTHZB M left join XSTH D on M.ID = D.ZBID) left join KH K on K.ID=M.KHID) left join DQ DD on DD.ID=K.DQID) left join HP H on H.ID = D.HPID) left join Pub_ItemType L on L.ItemType = H.HPLBID where uFlag=1 and M.RQ >=45292 and M.RQ <=45382.9999884259 union all  select '零售单' as LX,  D.ZBID, M.DJBH, M.RQ, M.KHID,K.VIPCardID as KHBH,K.VIPName as KHMC, '' as DQMC, TypeName, M.YWY, D.HPID,H.BH,H.PM,H.GG,H.DW,D.SL,D.SL as JH_SL,0 as TH_SL,D.DJ,SL*DJ*D.NZK*(1+NSL/100) as JE,D.CBDJ,D.NSL,D.NZK from (((LSKDZB M left join LSKD D on M.ID = D.ZBID) left join VIP K on K.ID=M.VIPID) left join HP H on H.ID = D.HPID) left join Pub_ItemType L on L.ItemType = H.HPLBID where uFlag=1 and M.RQ >=45292 and M.RQ <=45382.9999884259

-- name: sales deliveries only
-- order: none
 select '销售出库' as LX,  D.ZBID, M.DJBH, M.RQ, M.KHID,K.BH as KHBH,K.MC as KHMC, DD.MC as DQMC, TypeName, M.YWY, D.HPID,H.BH,H.PM,H.GG,H.DW,D.SL,D.SL as JH_SL,0 as TH_SL,D.DJ,SL*DJ*D.NZK*(1+NSL/100) as JE,D.CBDJ,D.NSL,D.NZK from ((((XSKDZB M left join XSKD D on M.ID = D.ZBID) left join KH K on K.ID=M.KHID) left join DQ DD on DD.ID=K.DQID) left join HP H on H.ID = D.HPID) left join Pub_ItemType L on L.ItemType = H.HPLBID where uFlag=1 and M.RQ >=45292 and M.RQ <=45382.9999884259 and K.Id in (2,3)

-- name: ledger by customer
-- order: none
 select M.*, H.ID as HPID, H.BH, H.PM, H.GG,H.DW,TypeName,C.MC as CKMC,XM,K.MC as KHGYS from Inv_ItemList  M , HP H,Pub_ItemType L,CK C,YG Y,KH K where M.HPID=H.ID and M.CKID=C.ID and H.HPLBID=L.ItemType and M.YGID=Y.ID and M.CustVendID=K.ID and BillType ='XS' and M.RQ >=45292 and M.RQ <=45382.9999884259

-- name: ledger by vendor
-- order: none
 select M.*, H.ID as HPID, H.BH, H.PM, H.GG,H.DW,TypeName,C.MC as CKMC,XM,K.MC as KHGYS from Inv_ItemList  M , HP H,Pub_ItemType L,CK C,YG Y,GYS K where M.HPID=H.ID and M.CKID=C.ID and H.HPLBID=L.ItemType and M.YGID=Y.ID and M.CustVendID=K.ID and BillType ='CS' and K.Id = 1

-- name: stock summary
 select * from (select J.BH, J.PM, J.GG, J.DW, J.TypeName, iif(isnull(J.QCJCSL), 0, J.QCJCSL) as SLA, iif(isnull(J.QCJCJE), 0, J.QCJCJE) as JEA, iif(isnull(J.BQSRSL), 0, J.BQSRSL) as SLB, iif(isnull(J.BQSRJE), 0, J.BQSRJE) as JEB, iif(isnull(J.BQFCSL), 0, J.BQFCSL) as SLC, iif(isnull(J.BQFCJE), 0, J.BQFCJE) as JEC, SLA + SLB - SLC as SLD, JEA + JEB - JEC as JED from ( select HPID,BH, PM, GG,DW,TypeName, sum(iif(RQ < #2024-02-01#, SL * Flag  , 0)) as QCJCSL, sum(iif(RQ < #2024-02-01#, SL * JJ*Flag  , 0)) as QCJCJE, sum(iif(M.Flag = 1 and RQ >= #2024-02-01#, SL  , 0)) as BQSRSL, sum(iif(M.Flag = 1 and RQ >= #2024-02-01#, SL * CBDJ*NZK*(1+NSL/100)  , 0)) as BQSRJE, sum(iif(M.Flag = -1 and RQ >= #2024-02-01#, SL  , 0)) as BQFCSL, sum(iif(M.Flag = -1 and RQ >= #2024-02-01#, SL * CBDJ*NZK*(1+NSL/100), 0)) as BQFCJE from ( select M.*, H.ID as HPID, H.BH, H.PM, H.GG,H.DW,H.JJ,TypeName,C.MC as CKMC from ((Inv_ItemList  M left join  HP H on M.HPID=H.ID) left join Pub_ItemType L on  H.HPLBID=L.ItemType) left join CK C on M.CKID=C.ID  where 1=1  and M.RQ <=45382.9999884259) M  group by HPID,BH, PM, GG,DW,TypeName ) J) H where SLA <> 0 or SLB <> 0 or SLC <> 0  order by H.BH

-- name: stock summary of one warehouse and category
 select * from (select J.BH, J.PM, J.GG, J.DW, J.TypeName, iif(isnull(J.QCJCSL), 0, J.QCJCSL) as SLA, iif(isnull(J.QCJCJE), 0, J.QCJCJE) as JEA, iif(isnull(J.BQSRSL), 0, J.BQSRSL) as SLB, iif(isnull(J.BQSRJE), 0, J.BQSRJE) as JEB, iif(isnull(J.BQFCSL), 0, J.BQFCSL) as SLC, iif(isnull(J.BQFCJE), 0, J.BQFCJE) as JEC, SLA + SLB - SLC as SLD, JEA + JEB - JEC as JED from ( select HPID,BH, PM, GG,DW,TypeName, sum(iif(RQ < #2024-02-01#, SL * Flag  , 0)) as QCJCSL, sum(iif(RQ < #2024-02-01#, SL * JJ*Flag  , 0)) as QCJCJE, sum(iif(M.Flag = 1 and RQ >= #2024-02-01#, SL  , 0)) as BQSRSL, sum(iif(M.Flag = 1 and RQ >= #2024-02-01#, SL * CBDJ*NZK*(1+NSL/100)  , 0)) as BQSRJE, sum(iif(M.Flag = -1 and RQ >= #2024-02-01#, SL  , 0)) as BQFCSL, sum(iif(M.Flag = -1 and RQ >= #2024-02-01#, SL * CBDJ*NZK*(1+NSL/100), 0)) as BQFCJE from ( select M.*, H.ID as HPID, H.BH, H.PM, H.GG,H.DW,H.JJ,TypeName,C.MC as CKMC from ((Inv_ItemList  M left join  HP H on M.HPID=H.ID) left join Pub_ItemType L on  H.HPLBID=L.ItemType) left join CK C on M.CKID=C.ID  where 1=1  and C.Id in (1) and  (L.ItemType= 3 or L.ItemType In( select ItemType from Pub_ItemType where ParentCode=3)) and M.RQ <=45382.9999884259) M  group by HPID,BH, PM, GG,DW,TypeName ) J) H where SLA <> 0 or SLB <> 0 or SLC <> 0  order by H.BH

-- name: stock ledger
 select (BH+'_'+PM ) as BHPM,'' as ZBID_BH,'' as RQ,'0000' as RQ_orderby,-2 as id, '' as DJ, BH,PM,'' as GG, '' as DW,'' as TypeName,'' as LX, 0 as SLA,0 as DJA,0 as JEA,0 as SLB,0 as DJB,0 as JEB,0 as SLC,0 as DJC,0 as JEC,0 as SLD,0 as DJD,0 as JED from Inv_ItemList  M , HP H,Pub_ItemType L,CK C where M.HPID=H.ID and M.CKID=C.ID and H.HPLBID=L.ItemType and M.RQ <=45382.9999884259 and M.RQ <=#2024-03-31#  union  select (BH+'_'+PM ) as BHPM,'期初结存' as ZBID_BH,'' as RQ,'0001' as RQ_orderby,-1 as id, '' as DJ, BH,PM,GG,DW,TypeName,'' as LX, SLA,DJA,JEA,0 as SLB,0 as DJB,0 as JEB,0 as SLC,0 as DJC,0 as JEC,0 as SLD,0 as DJD,0 as JED from (select BH,PM,GG,DW,TypeName,sum(sl*flag) as SLA,sum(sl*cbdj*flag) as JEA,iif(SLA=0,0,JEA/SLA) as DJA from ( select M.*, H.ID as HPID, H.BH, H.PM, H.GG,H.DW,H.JJ,TypeName,C.MC as CKMC from ((Inv_ItemList  M left join  HP H on M.HPID=H.ID) left join Pub_ItemType L on  H.HPLBID=L.ItemType) left join CK C on M.CKID=C.ID  where 1=1  and M.RQ <#2024-02-01# ) M group by BH,PM,GG,DW,TypeName) a where SLA <> 0 union  select '' as BHPM,M.DJBH as ZBID_BH,M.RQ as RQ,M.RQ as RQ_orderby,M.ID as id,M.DJ as DJ, M.BH,M.PM,M.GG,M.DW,M.TypeName,switch(M.BillType='CS','采购收货',M.BillType='CT','采购退货',M.BillType='XS','销售出库',M.BillType='XT','销售退货',M.BillType='CKDB','仓库调拨',M.BillType='KCPD','盘亏盘盈',M.BillType='KCTZ','库存调整',M.BillType='LL','领料',M.BillType='TL','退料',M.BillType='CJ','产品进仓',M.BillType='QB','库存变动',M.BillType='PS','零售',M.BillType='HPZZ','货品组装',M.BillType='HPCF','货品拆分') as LX, 0 as SLA,0 as DJA,0 as JEA,iif(M.Flag=1,M.SL,0) as SLB,iif(M.Flag=1,M.DJ,0) as DJB,iif(M.Flag=1,M.JE,0) as JEB,iif(M.Flag=-1,M.SL,0) as SLC,iif(M.Flag=-1,M.CBDJ,0) as DJC,iif(M.Flag=-1,M.SL*M.CBDJ,0) as JEC, (select sum(sl*flag) from Inv_ItemList where HPID=M.HPID and RQ<=M.RQ) as SLD, iif(SLD=0,0,(select sum(sl*cbdj*flag) from Inv_ItemList where HPID=M.HPID and RQ<=M.RQ)/SLD) as DJD, iif(SLD=0,0,(select sum(sl*cbdj*flag) from Inv_ItemList where HPID=M.HPID and RQ<=M.RQ)) as JED from ( select M.*, H.ID as HPID, H.BH, H.PM, H.GG,H.DW,H.JJ,TypeName,C.MC as CKMC from ((Inv_ItemList  M left join  HP H on M.HPID=H.ID) left join Pub_ItemType L on  H.HPLBID=L.ItemType) left join CK C on M.CKID=C.ID  where 1=1  and M.RQ >=45292 and M.RQ <=45382.9999884259) M union  select (BH+'_'+PM ) as BHPM,'期末结存' as ZBID_BH,'' as RQ,'zzzz' as RQ_orderby,999999 as id, '' as DJ, BH,PM,GG,DW,TypeName,'' as LX, 0 as SLA,0 as DJA,0 as JEA,0 as SLB,0 as DJB,0 as JEB,0 as SLC,0 as DJC,0 as JEC,SLD,DJD,iif(SLD=0,0,JED) as JED from (select BH,PM,GG,DW,TypeName,sum(sl*flag) as SLD,sum(sl*cbdj*flag) as JED,iif(SLD=0,0,JED/SLD) as DJD from ( select M.*, H.ID as HPID, H.BH, H.PM, H.GG,H.DW,H.JJ,TypeName,C.MC as CKMC from ((Inv_ItemList  M left join  HP H on M.HPID=H.ID) left join Pub_ItemType L on  H.HPLBID=L.ItemType) left join CK C on M.CKID=C.ID  where 1=1  and M.RQ <=45382.9999884259) M group by BH,PM,GG,DW,TypeName) a order by BH,RQ_orderby,id

-- name: stock ledger of the movements only
 select (M.BH+'_'+M.PM) as BHPM,M.DJBH as ZBID_BH,M.RQ as RQ,M.RQ as RQ_orderby,M.ID as id,M.DJ as DJ, M.BH,M.PM,M.GG,M.DW,M.TypeName,switch(M.BillType='CS','采购收货',M.BillType='CT','采购退货',M.BillType='XS','销售出库',M.BillType='XT','销售退货',M.BillType='CKDB','仓库调拨',M.BillType='KCPD','盘亏盘盈',M.BillType='KCTZ','库存调整',M.BillType='LL','领料',M.BillType='TL','退料',M.BillType='CJ','产品进仓',M.BillType='QB','库存变动',M.BillType='PS','零售',M.BillType='HPZZ','货品组装',M.BillType='HPCF','货品拆分') as LX, 0 as SLA,0 as DJA,0 as JEA,iif(M.Flag=1,M.SL,0) as SLB,iif(M.Flag=1,M.DJ,0) as DJB,iif(M.Flag=1,M.JE,0) as JEB,iif(M.Flag=-1,M.SL,0) as SLC,iif(M.Flag=-1,M.CBDJ,0) as DJC,iif(M.Flag=-1,M.SL*M.CBDJ,0) as JEC, (select sum(sl*flag) from Inv_ItemList where HPID=M.HPID and RQ<=M.RQ) as SLD, iif(SLD=0,0,(select sum(sl*cbdj*flag) from Inv_ItemList where HPID=M.HPID and RQ<=M.RQ)/SLD) as DJD, iif(SLD=0,0,(select sum(sl*cbdj*flag) from Inv_ItemList where HPID=M.HPID and RQ<=M.RQ)) as JED from ( select M.*, H.ID as HPID, H.BH, H.PM, H.GG,H.DW,H.JJ,TypeName,C.MC as CKMC from ((Inv_ItemList  M left join  HP H on M.HPID=H.ID) left join Pub_ItemType L on  H.HPLBID=L.ItemType) left join CK C on M.CKID=C.ID  where 1=1  and M.RQ >=45292 and M.RQ <=45382.9999884259) M order by BH,RQ,id

-- name: warehouses of the per-warehouse summary
select id,mc from ck order by id 

-- name: warehouses chosen for the per-warehouse summary
select id,mc from ck where id in(2) order by id 

-- name: per-warehouse table of an earlier run is dropped
-- expect: error
drop table rpt_Static_StockQty

-- name: per-warehouse table
-- setup
 create table rpt_Static_StockQty(hpid int,s1 float,s2 float,AllQty float)

-- name: per-warehouse quantities
-- order: none
 select  HPID,CKID, sum(M.SL*Flag) as SL  from ( select M.*, H.ID as HPID, H.BH, H.PM, H.GG,H.DW,H.JJ,TypeName,C.MC as CKMC from ((Inv_ItemList  M left join  HP H on M.HPID=H.ID) left join Pub_ItemType L on  H.HPLBID=L.ItemType) left join CK C on M.CKID=C.ID  where 1=1  and M.RQ <=45382.9999884259) M group by HPID,CKID

-- name: per-warehouse first quantity of an item
-- setup
 insert into rpt_Static_StockQty (hpid,s1)  values (9,17)

-- name: per-warehouse another item
-- setup
 insert into rpt_Static_StockQty (hpid,s2)  values (41,4)

-- name: per-warehouse later quantity of an item
-- setup
 update rpt_Static_StockQty  set s2 = 3 where hpid =9

-- name: per-warehouse totals
-- setup
 update rpt_Static_StockQty set AllQty = iif(isnull(s1),0,s1)+iif(isnull(s2),0,s2)

-- name: per-warehouse summary
 select b.BH, b.PM, b.GG,b.DW,a.s1 as 办公用品仓库,a.s2 as 耗材配件仓库,a.AllQty  from rpt_Static_StockQty a, hp b  where a.hpid=b.id  and AllQty <> 0 order by bh

-- name: stock alerts
 select a.BH ,a.PM  ,a.GG ,a.DW , XX  ,B.Qty ,SX    from hp a , (select hpid,sum(SL*Flag) as Qty from Inv_Itemlist group by hpid ) as  b where a.id=b.hpid  and SX>0 and (B.Qty >XX or B.Qty <SX) order by a.BH

-- name: stock alerts of one item
 select a.BH ,a.PM  ,a.GG ,a.DW , XX  ,B.Qty ,SX    from hp a , (select hpid,sum(SL*Flag) as Qty from Inv_Itemlist group by hpid ) as  b where a.id=b.hpid  and SX>0 and (B.Qty >XX or B.Qty <SX) and a.PM ='抽纸' order by a.BH

-- name: stock-taking differences
 select CKMC,TypeName,BH, PM, GG,DW,DJ,SL,DJ*SL AS JE from ( select M.*, H.ID as HPID, H.BH, H.PM, H.GG,H.DW,H.JJ,TypeName,C.MC as CKMC from ((Inv_ItemList  M left join  HP H on M.HPID=H.ID) left join Pub_ItemType L on  H.HPLBID=L.ItemType) left join CK C on M.CKID=C.ID  where 1=1  and M.RQ >=45292 and M.RQ <=45382.9999884259) M where billtype='KCPD' order by BH

-- name: cash and bank movements of a period
-- order: none
select '采购收货' as LX, ZHID,SFKFSID, RQ, ID, DJBH, 0.000 as JEA, XFJE as JEB, JE as JYJE from CGSHZB where uFlag = 1 and XFJE <> 0 and RQ between #2024-01-01# and #2024-03-31# union all select '采购付款' as LX, ZHID,SFKFSID, RQ, ID, DJBH, 0.000 as JEA, FKJE as JEB, JE as JYJE from CGFKZB where uFlag = 1 and RQ between #2024-01-01# and #2024-03-31# union all select '采购退货' as LX, ZHID,SFKFSID, RQ, ID, DJBH, 0.000 as JEA, -XFJE as JEB, JE as JYJE from CGTHZB where  uFlag=1 and XFJE <> 0 and RQ between #2024-01-01# and #2024-03-31# union all select '销售出库' as LX, ZHID,SFKFSID, RQ, ID, DJBH, XSJE as JEA, 0.000 as JEB, JE as JYJE  from XSKDZB where  uFlag = 1 and XSJE <> 0 and RQ between #2024-01-01# and #2024-03-31# union all select '销售收款' as LX, ZHID,SFKFSID, RQ, ID, DJBH, FKJE as JEA, 0.000 as JEB, JE as JYJE  from XSSKZB where   uFlag = 1 and RQ between #2024-01-01# and #2024-03-31# union all select '销售退货' as LX, ZHID,SFKFSID, RQ, ID, DJBH, -XSJE as JEA, 0.000 as JEB, JE as JYJE  from XSTHZB where  uFlag = 1 and XSJE <> 0 and RQ between #2024-01-01# and #2024-03-31# union all select '费用开支' as LX, ZHID,SFKFSID, RQ, ID, DJBH, 0.000 as JEA, JE as JEB, JE as JYJE from FYKZZB   where  uFlag = 1 and RQ between #2024-01-01# and #2024-03-31# union all select '其它收入' as LX, ZHID,SFKFSID, RQ, ID, DJBH, JE as JEA, 0.000 as JEB, JE as JYJE from QTSRZB where  uFlag = 1 and RQ between #2024-01-01# and #2024-03-31# union all select '帐户转入' as LX, ZRZHID as ZHID,0 as SFKFSID, RQ, ID, '' as DJBH, JE as JEA, 0.000 as JEB, JE as JYJE  from YHCKQK where RQ between #2024-01-01# and #2024-03-31# union all select '帐户转出' as LX, ZCZHID as ZHID,0 as SFKFSID, RQ, ID, '' as DJBH, 0.000 as JEA, JE as JEB, JE as JYJE from YHCKQK where RQ between #2024-01-01# and #2024-03-31#

-- name: cash and bank movements up to a date
-- order: none
select '采购收货' as LX, ZHID,SFKFSID, RQ, ID, DJBH, 0.000 as JEA, XFJE as JEB, JE as JYJE from CGSHZB where uFlag = 1 and XFJE <> 0 and RQ <= #2024-03-31# union all select '采购付款' as LX, ZHID,SFKFSID, RQ, ID, DJBH, 0.000 as JEA, FKJE as JEB, JE as JYJE from CGFKZB where uFlag = 1 and RQ <= #2024-03-31# union all select '采购退货' as LX, ZHID,SFKFSID, RQ, ID, DJBH, 0.000 as JEA, -XFJE as JEB, JE as JYJE from CGTHZB where  uFlag=1 and XFJE <> 0 and RQ <= #2024-03-31# union all select '销售出库' as LX, ZHID,SFKFSID, RQ, ID, DJBH, XSJE as JEA, 0.000 as JEB, JE as JYJE  from XSKDZB where  uFlag = 1 and XSJE <> 0 and RQ <= #2024-03-31# union all select '销售收款' as LX, ZHID,SFKFSID, RQ, ID, DJBH, FKJE as JEA, 0.000 as JEB, JE as JYJE  from XSSKZB where   uFlag = 1 and RQ <= #2024-03-31# union all select '销售退货' as LX, ZHID,SFKFSID, RQ, ID, DJBH, -XSJE as JEA, 0.000 as JEB, JE as JYJE  from XSTHZB where  uFlag = 1 and XSJE <> 0 and RQ <= #2024-03-31# union all select '费用开支' as LX, ZHID,SFKFSID, RQ, ID, DJBH, 0.000 as JEA, JE as JEB, JE as JYJE from FYKZZB   where  uFlag = 1 and RQ <= #2024-03-31# union all select '其它收入' as LX, ZHID,SFKFSID, RQ, ID, DJBH, JE as JEA, 0.000 as JEB, JE as JYJE from QTSRZB where  uFlag = 1 and RQ <= #2024-03-31# union all select '帐户转入' as LX, ZRZHID as ZHID,0 as SFKFSID, RQ, ID, '' as DJBH, JE as JEA, 0.000 as JEB, JE as JYJE  from YHCKQK where RQ <= #2024-03-31# union all select '帐户转出' as LX, ZCZHID as ZHID,0 as SFKFSID, RQ, ID, '' as DJBH, 0.000 as JEA, JE as JEB, JE as JYJE from YHCKQK where RQ <= #2024-03-31#

-- name: cash and bank movements of one account
-- order: none
select '采购收货' as LX, ZHID,SFKFSID, RQ, ID, DJBH, 0.000 as JEA, XFJE as JEB, JE as JYJE from CGSHZB where uFlag = 1 and XFJE <> 0 and RQ between #2024-01-01# and #2024-03-31# and ZHID = 2 union all select '采购付款' as LX, ZHID,SFKFSID, RQ, ID, DJBH, 0.000 as JEA, FKJE as JEB, JE as JYJE from CGFKZB where uFlag = 1 and RQ between #2024-01-01# and #2024-03-31# and ZHID = 2 union all select '采购退货' as LX, ZHID,SFKFSID, RQ, ID, DJBH, 0.000 as JEA, -XFJE as JEB, JE as JYJE from CGTHZB where  uFlag=1 and XFJE <> 0 and RQ between #2024-01-01# and #2024-03-31# and ZHID = 2 union all select '销售出库' as LX, ZHID,SFKFSID, RQ, ID, DJBH, XSJE as JEA, 0.000 as JEB, JE as JYJE  from XSKDZB where  uFlag = 1 and XSJE <> 0 and RQ between #2024-01-01# and #2024-03-31# and ZHID = 2 union all select '销售收款' as LX, ZHID,SFKFSID, RQ, ID, DJBH, FKJE as JEA, 0.000 as JEB, JE as JYJE  from XSSKZB where   uFlag = 1 and RQ between #2024-01-01# and #2024-03-31# and ZHID = 2 union all select '销售退货' as LX, ZHID,SFKFSID, RQ, ID, DJBH, -XSJE as JEA, 0.000 as JEB, JE as JYJE  from XSTHZB where  uFlag = 1 and XSJE <> 0 and RQ between #2024-01-01# and #2024-03-31# and ZHID = 2 union all select '费用开支' as LX, ZHID,SFKFSID, RQ, ID, DJBH, 0.000 as JEA, JE as JEB, JE as JYJE from FYKZZB   where  uFlag = 1 and RQ between #2024-01-01# and #2024-03-31# and ZHID = 2 union all select '其它收入' as LX, ZHID,SFKFSID, RQ, ID, DJBH, JE as JEA, 0.000 as JEB, JE as JYJE from QTSRZB where  uFlag = 1 and RQ between #2024-01-01# and #2024-03-31# and ZHID = 2 union all select '帐户转入' as LX, ZRZHID as ZHID,0 as SFKFSID, RQ, ID, '' as DJBH, JE as JEA, 0.000 as JEB, JE as JYJE  from YHCKQK where RQ between #2024-01-01# and #2024-03-31# and ZHID = 2 union all select '帐户转出' as LX, ZCZHID as ZHID,0 as SFKFSID, RQ, ID, '' as DJBH, 0.000 as JEA, JE as JEB, JE as JYJE from YHCKQK where RQ between #2024-01-01# and #2024-03-31# and ZHID = 2

-- name: cash and bank detail
 select  M.LX, M.ZHID, M.RQ, M.ID, M.DJBH as DH, M.JEA, M.JEB,K.MC as ZHMC,S.MC as SFKFSMC  from  (select '采购收货' as LX, ZHID,SFKFSID, RQ, ID, DJBH, 0.000 as JEA, XFJE as JEB, JE as JYJE from CGSHZB where uFlag = 1 and XFJE <> 0 and RQ between #2024-01-01# and #2024-03-31# union all select '采购付款' as LX, ZHID,SFKFSID, RQ, ID, DJBH, 0.000 as JEA, FKJE as JEB, JE as JYJE from CGFKZB where uFlag = 1 and RQ between #2024-01-01# and #2024-03-31# union all select '采购退货' as LX, ZHID,SFKFSID, RQ, ID, DJBH, 0.000 as JEA, -XFJE as JEB, JE as JYJE from CGTHZB where  uFlag=1 and XFJE <> 0 and RQ between #2024-01-01# and #2024-03-31# union all select '销售出库' as LX, ZHID,SFKFSID, RQ, ID, DJBH, XSJE as JEA, 0.000 as JEB, JE as JYJE  from XSKDZB where  uFlag = 1 and XSJE <> 0 and RQ between #2024-01-01# and #2024-03-31# union all select '销售收款' as LX, ZHID,SFKFSID, RQ, ID, DJBH, FKJE as JEA, 0.000 as JEB, JE as JYJE  from XSSKZB where   uFlag = 1 and RQ between #2024-01-01# and #2024-03-31# union all select '销售退货' as LX, ZHID,SFKFSID, RQ, ID, DJBH, -XSJE as JEA, 0.000 as JEB, JE as JYJE  from XSTHZB where  uFlag = 1 and XSJE <> 0 and RQ between #2024-01-01# and #2024-03-31# union all select '费用开支' as LX, ZHID,SFKFSID, RQ, ID, DJBH, 0.000 as JEA, JE as JEB, JE as JYJE from FYKZZB   where  uFlag = 1 and RQ between #2024-01-01# and #2024-03-31# union all select '其它收入' as LX, ZHID,SFKFSID, RQ, ID, DJBH, JE as JEA, 0.000 as JEB, JE as JYJE from QTSRZB where  uFlag = 1 and RQ between #2024-01-01# and #2024-03-31# union all select '帐户转入' as LX, ZRZHID as ZHID,0 as SFKFSID, RQ, ID, '' as DJBH, JE as JEA, 0.000 as JEB, JE as JYJE  from YHCKQK where RQ between #2024-01-01# and #2024-03-31# union all select '帐户转出' as LX, ZCZHID as ZHID,0 as SFKFSID, RQ, ID, '' as DJBH, 0.000 as JEA, JE as JEB, JE as JYJE from YHCKQK where RQ between #2024-01-01# and #2024-03-31#) M , ZH K, SFKFS S, M left join K on M.ZHID=K.ID , M left join  S on M.SFKFSID=S.ID where 1=1  order by K.MC,M.RQ,M.DJBH

-- name: cash and bank detail of one kind
 select  M.LX, M.ZHID, M.RQ, M.ID, M.DJBH as DH, M.JEA, M.JEB,K.MC as ZHMC,S.MC as SFKFSMC  from  (select '采购收货' as LX, ZHID,SFKFSID, RQ, ID, DJBH, 0.000 as JEA, XFJE as JEB, JE as JYJE from CGSHZB where uFlag = 1 and XFJE <> 0 and RQ between #2024-01-01# and #2024-03-31# union all select '采购付款' as LX, ZHID,SFKFSID, RQ, ID, DJBH, 0.000 as JEA, FKJE as JEB, JE as JYJE from CGFKZB where uFlag = 1 and RQ between #2024-01-01# and #2024-03-31# union all select '采购退货' as LX, ZHID,SFKFSID, RQ, ID, DJBH, 0.000 as JEA, -XFJE as JEB, JE as JYJE from CGTHZB where  uFlag=1 and XFJE <> 0 and RQ between #2024-01-01# and #2024-03-31# union all select '销售出库' as LX, ZHID,SFKFSID, RQ, ID, DJBH, XSJE as JEA, 0.000 as JEB, JE as JYJE  from XSKDZB where  uFlag = 1 and XSJE <> 0 and RQ between #2024-01-01# and #2024-03-31# union all select '销售收款' as LX, ZHID,SFKFSID, RQ, ID, DJBH, FKJE as JEA, 0.000 as JEB, JE as JYJE  from XSSKZB where   uFlag = 1 and RQ between #2024-01-01# and #2024-03-31# union all select '销售退货' as LX, ZHID,SFKFSID, RQ, ID, DJBH, -XSJE as JEA, 0.000 as JEB, JE as JYJE  from XSTHZB where  uFlag = 1 and XSJE <> 0 and RQ between #2024-01-01# and #2024-03-31# union all select '费用开支' as LX, ZHID,SFKFSID, RQ, ID, DJBH, 0.000 as JEA, JE as JEB, JE as JYJE from FYKZZB   where  uFlag = 1 and RQ between #2024-01-01# and #2024-03-31# union all select '其它收入' as LX, ZHID,SFKFSID, RQ, ID, DJBH, JE as JEA, 0.000 as JEB, JE as JYJE from QTSRZB where  uFlag = 1 and RQ between #2024-01-01# and #2024-03-31# union all select '帐户转入' as LX, ZRZHID as ZHID,0 as SFKFSID, RQ, ID, '' as DJBH, JE as JEA, 0.000 as JEB, JE as JYJE  from YHCKQK where RQ between #2024-01-01# and #2024-03-31# union all select '帐户转出' as LX, ZCZHID as ZHID,0 as SFKFSID, RQ, ID, '' as DJBH, 0.000 as JEA, JE as JEB, JE as JYJE from YHCKQK where RQ between #2024-01-01# and #2024-03-31#) M , ZH K, SFKFS S, M left join K on M.ZHID=K.ID , M left join  S on M.SFKFSID=S.ID where 1=1  and M.LX='费用开支' order by K.MC,M.RQ,M.DJBH

-- name: cash and bank summary
 select *  from ( select Z.ID, Z.MC, Z.YHZH,  (iif(isnull(Z.QCJE), 0, Z.QCJE)+ iif(isnull(J.QCJE), 0, J.QCJE)) as JEA, J.JEB, J.JEC, (JEA + JEB - JEC) as JED  from ZH Z left join (select ZHID, sum(iif(RQ < #2024-02-01#, JEA - JEB, 0)) as QCJE, sum(iif(RQ >= #2024-02-01#, JEA, 0)) as JEB, sum(iif(RQ >= #2024-02-01#, JEB, 0)) as JEC from (select '采购收货' as LX, ZHID,SFKFSID, RQ, ID, DJBH, 0.000 as JEA, XFJE as JEB, JE as JYJE from CGSHZB where uFlag = 1 and XFJE <> 0 and RQ <= #2024-03-31# union all select '采购付款' as LX, ZHID,SFKFSID, RQ, ID, DJBH, 0.000 as JEA, FKJE as JEB, JE as JYJE from CGFKZB where uFlag = 1 and RQ <= #2024-03-31# union all select '采购退货' as LX, ZHID,SFKFSID, RQ, ID, DJBH, 0.000 as JEA, -XFJE as JEB, JE as JYJE from CGTHZB where  uFlag=1 and XFJE <> 0 and RQ <= #2024-03-31# union all select '销售出库' as LX, ZHID,SFKFSID, RQ, ID, DJBH, XSJE as JEA, 0.000 as JEB, JE as JYJE  from XSKDZB where  uFlag = 1 and XSJE <> 0 and RQ <= #2024-03-31# union all select '销售收款' as LX, ZHID,SFKFSID, RQ, ID, DJBH, FKJE as JEA, 0.000 as JEB, JE as JYJE  from XSSKZB where   uFlag = 1 and RQ <= #2024-03-31# union all select '销售退货' as LX, ZHID,SFKFSID, RQ, ID, DJBH, -XSJE as JEA, 0.000 as JEB, JE as JYJE  from XSTHZB where  uFlag = 1 and XSJE <> 0 and RQ <= #2024-03-31# union all select '费用开支' as LX, ZHID,SFKFSID, RQ, ID, DJBH, 0.000 as JEA, JE as JEB, JE as JYJE from FYKZZB   where  uFlag = 1 and RQ <= #2024-03-31# union all select '其它收入' as LX, ZHID,SFKFSID, RQ, ID, DJBH, JE as JEA, 0.000 as JEB, JE as JYJE from QTSRZB where  uFlag = 1 and RQ <= #2024-03-31# union all select '帐户转入' as LX, ZRZHID as ZHID,0 as SFKFSID, RQ, ID, '' as DJBH, JE as JEA, 0.000 as JEB, JE as JYJE  from YHCKQK where RQ <= #2024-03-31# union all select '帐户转出' as LX, ZCZHID as ZHID,0 as SFKFSID, RQ, ID, '' as DJBH, 0.000 as JEA, JE as JEB, JE as JYJE from YHCKQK where RQ <= #2024-03-31#) M where 1=1  group by ZHID) J on Z.ID = J.ZHID) B  where JEA <> 0 or JEB <> 0 or JEC <> 0 or JED <> 0  order by ID

-- name: expense and income lines
-- order: none
 select '费用开支' as LX, JSR,Z.RQ, Z.ID as ZBID, Z.DJBH, M.SRZCLBID,M.ZY as ZYA, '' as ZYB,G.MC AS Vender, M.JE as JEA, 0.00000 as JEB  from (FYKZZB Z left join  FYKZ M on M.ZBID = Z.ID) left join GYS G on Z.GYSID=G.ID where  uFlag= 1 and Z.RQ between #2024-01-01# and #2024-03-31#  union all  select '其它收入' as LX,JSR,Z.RQ,Z.ID as ZBID, Z.DJBH, M.SRZCLBID,'' as ZYA,M.ZY as ZYB,K.MC AS Vender, 0.00000 as JEA, M.JE as JEB  from (QTSRZB Z left join QTSR M on M.ZBID = Z.ID) left join KH K on Z.KHID=K.ID where  uFlag=1 and Z.RQ between #2024-01-01# and #2024-03-31#

-- name: expense and income lines of one category
-- order: none
 select '费用开支' as LX, JSR,Z.RQ, Z.ID as ZBID, Z.DJBH, M.SRZCLBID,M.ZY as ZYA, '' as ZYB,G.MC AS Vender, M.JE as JEA, 0.00000 as JEB  from (FYKZZB Z left join  FYKZ M on M.ZBID = Z.ID) left join GYS G on Z.GYSID=G.ID where  uFlag= 1 and Z.RQ between #2024-01-01# and #2024-03-31# and M.SRZCLBID = 2  union all  select '其它收入' as LX,JSR,Z.RQ,Z.ID as ZBID, Z.DJBH, M.SRZCLBID,'' as ZYA,M.ZY as ZYB,K.MC AS Vender, 0.00000 as JEA, M.JE as JEB  from (QTSRZB Z left join QTSR M on M.ZBID = Z.ID) left join KH K on Z.KHID=K.ID where  uFlag=1 and Z.RQ between #2024-01-01# and #2024-03-31# and M.SRZCLBID = 2

-- name: categories for the summary
select MC from SRZCLB order by MC 

-- name: category chosen by name
select ID from SRZCLB where MC = '差旅费'

-- name: expense and income summary
select L.ID, B.LX,L.BH,L.MC, B.JEA1 as JEA, B.JEB1 as JEB from SRZCLB L, (select LX,M.SRZCLBID,sum(M.JEA) as JEA1, sum(M.JEB) as JEB1 from ( select '费用开支' as LX, JSR,Z.RQ, Z.ID as ZBID, Z.DJBH, M.SRZCLBID,M.ZY as ZYA, '' as ZYB,G.MC AS Vender, M.JE as JEA, 0.00000 as JEB  from (FYKZZB Z left join  FYKZ M on M.ZBID = Z.ID) left join GYS G on Z.GYSID=G.ID where  uFlag= 1 and Z.RQ between #2024-01-01# and #2024-03-31#  union all  select '其它收入' as LX,JSR,Z.RQ,Z.ID as ZBID, Z.DJBH, M.SRZCLBID,'' as ZYA,M.ZY as ZYB,K.MC AS Vender, 0.00000 as JEA, M.JE as JEB  from (QTSRZB Z left join QTSR M on M.ZBID = Z.ID) left join KH K on Z.KHID=K.ID where  uFlag=1 and Z.RQ between #2024-01-01# and #2024-03-31#) M  where 1= 1 group by LX,M.SRZCLBID) as B where L.ID = B.SRZCLBID order by B.LX,L.BH

-- name: expense and income summary of one kind
select L.ID, B.LX,L.BH,L.MC, B.JEA1 as JEA, B.JEB1 as JEB from SRZCLB L, (select LX,M.SRZCLBID,sum(M.JEA) as JEA1, sum(M.JEB) as JEB1 from ( select '费用开支' as LX, JSR,Z.RQ, Z.ID as ZBID, Z.DJBH, M.SRZCLBID,M.ZY as ZYA, '' as ZYB,G.MC AS Vender, M.JE as JEA, 0.00000 as JEB  from (FYKZZB Z left join  FYKZ M on M.ZBID = Z.ID) left join GYS G on Z.GYSID=G.ID where  uFlag= 1 and Z.RQ between #2024-01-01# and #2024-03-31#  union all  select '其它收入' as LX,JSR,Z.RQ,Z.ID as ZBID, Z.DJBH, M.SRZCLBID,'' as ZYA,M.ZY as ZYB,K.MC AS Vender, 0.00000 as JEA, M.JE as JEB  from (QTSRZB Z left join QTSR M on M.ZBID = Z.ID) left join KH K on Z.KHID=K.ID where  uFlag=1 and Z.RQ between #2024-01-01# and #2024-03-31#) M  where 1= 1  and M.LX ='其它收入'group by LX,M.SRZCLBID) as B where L.ID = B.SRZCLBID order by B.LX,L.BH

-- name: expense and income detail
-- order: none
 select M.LX,JSR, M.ZBID, M.RQ, M.DJBH as DH, M.JEA, M.JEB,M.ZYA,M.ZYB,L.MC,M.Vender  from ( select '费用开支' as LX, JSR,Z.RQ, Z.ID as ZBID, Z.DJBH, M.SRZCLBID,M.ZY as ZYA, '' as ZYB,G.MC AS Vender, M.JE as JEA, 0.00000 as JEB  from (FYKZZB Z left join  FYKZ M on M.ZBID = Z.ID) left join GYS G on Z.GYSID=G.ID where  uFlag= 1 and Z.RQ between #2024-01-01# and #2024-03-31#  union all  select '其它收入' as LX,JSR,Z.RQ,Z.ID as ZBID, Z.DJBH, M.SRZCLBID,'' as ZYA,M.ZY as ZYB,K.MC AS Vender, 0.00000 as JEA, M.JE as JEB  from (QTSRZB Z left join QTSR M on M.ZBID = Z.ID) left join KH K on Z.KHID=K.ID where  uFlag=1 and Z.RQ between #2024-01-01# and #2024-03-31#)  M, SRZCLB L where L.ID = M.SRZCLBID  order by M.RQ, M.DJBH

-- name: expense and income detail of one partner
 select M.LX,JSR, M.ZBID, M.RQ, M.DJBH as DH, M.JEA, M.JEB,M.ZYA,M.ZYB,L.MC,M.Vender  from ( select '费用开支' as LX, JSR,Z.RQ, Z.ID as ZBID, Z.DJBH, M.SRZCLBID,M.ZY as ZYA, '' as ZYB,G.MC AS Vender, M.JE as JEA, 0.00000 as JEB  from (FYKZZB Z left join  FYKZ M on M.ZBID = Z.ID) left join GYS G on Z.GYSID=G.ID where  uFlag= 1 and Z.RQ between #2024-01-01# and #2024-03-31#  union all  select '其它收入' as LX,JSR,Z.RQ,Z.ID as ZBID, Z.DJBH, M.SRZCLBID,'' as ZYA,M.ZY as ZYB,K.MC AS Vender, 0.00000 as JEA, M.JE as JEB  from (QTSRZB Z left join QTSR M on M.ZBID = Z.ID) left join KH K on Z.KHID=K.ID where  uFlag=1 and Z.RQ between #2024-01-01# and #2024-03-31#)  M, SRZCLB L where L.ID = M.SRZCLBID  and M.Vender like '东方%' order by M.RQ, M.DJBH

-- name: partner names
select MC from (select MC from KH  union all select MC from GYS) a order by MC

-- name: birthdays of the day
 select count(*) from yg where 1=1  and month(CSRQ)=3 and day(CSRQ) = 9

-- name: entries of the month
 select count(*) from yg where 1=1  and month(RZRQ)=3

-- name: contracts ending this month
 select count(*) from yg where 1=1  and month(HTDQSJ)=7

-- name: employees with a birthday this month
 select Y.*, C.MC as aBMMC  from YG Y,  BM C  where   Y.BMID = C.ID  and month(CSRQ)=3 order by XM 

-- name: staff by department
-- order: none
 select b.mc as 部门,count(*) as 员工信息分析图表 from yg a,bm b  where a.bmid=b.id  group by  b.mc  

-- name: staff by sex
-- order: none
 select a.XB as 性别,count(*) as 员工信息分析图表 from yg a group by a.XB

-- name: staff by nationality
-- order: none
 select a.MZ as 名族,count(*) as 员工信息分析图表 from yg a group by a.MZ

-- name: staff by post
-- order: none
 select a.ZW as 职务,count(*) as 员工信息分析图表 from yg a group by a.ZW

-- name: staff by speciality
-- order: none
 select a.ZUANYE as 专业,count(*) as 员工信息分析图表 from yg a group by a.ZUANYE

-- name: staff married or not
-- order: none
 select iif(a.HF, '已婚', '未婚') as 婚否,count(*) as 员工信息分析图表 from yg a group by a.HF

-- name: department names of the filter
select MC from BM C  order by MC

-- name: warehouse names of the filter
select MC from  CK C  order by MC 

-- name: item names of the filter
select PM from HP order by PM

-- name: category names of the filter
 select TypeName from Pub_ItemType order by TypeName 

-- name: vendor names of the filter
select MC from GYS  order by MC

-- name: category chosen in the filter
select ItemType from Pub_ItemType where TypeName='书写工具'

-- name: employee names of the user's departments
select XM from YG  order by XM 
