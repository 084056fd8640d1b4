-- Statements the client runs on its datasets in place of their default
-- statements: the lines of one document as each editor loads them, the look-ups
-- of the document editor, the start-up and session queries. The datasets'
-- own statements live in schema/qv.schema and run from there.

-- name: start-up user list
-- order: none
select * from AppUser

-- name: account sets of the registry
-- order: none
select * from Act_QVSys

-- name: self-update finds a newer client
select sName from VersionInfor where sName='Qv' and sVersion >'V9.7'

-- name: self-update without a newer client
-- expect: empty
select sName from VersionInfor where sName='Qv' and sVersion >'V9.9'

-- name: self-update download
-- order: none
select * from VersionInfor where sFileName = 'QvClient.exe'

-- name: upload opens an empty version list
-- expect: empty
select * from VersionInfor  where sName = '111' 

-- name: company settings at login
-- order: none
 select * from CompanyInfo 

-- name: default price kind
select Top 1 ID from SJZL order by XH

-- name: desk entry of a report
select ObjectName from Sys_FuncTree_office where  FuncNodeName='库存总帐'

-- name: account list shown as cash
select  *, '现金类'  as aYHL  from ZH order by MC

-- name: next key of a register
select iif(isnull(max(ID)), 1, max(ID)+1) from Hp where ID > 0

-- name: next key of an empty register
select iif(isnull(max(ID)), 1, max(ID)+1) from Gz_Item where ID > 0

-- name: next category number
select Max(ItemType)+1 from pub_ItemType

-- name: next key of a table
select Max(ID)+1 from CK

-- name: purchase requisition lines
-- order: none
 select M.*,H.BH as aBH, H.PM as aPM, H.DW as aDW , H.GG AS aGG from CGSQ M left join HP H  on M.HPID=H.ID  where ZBID = 2024010001

-- name: purchase receipt lines
 select M.*,  H.BH as aBH, H.PM as aPM, H.DW as aDW, H.GG as aGG,H.HPHSFSID,TypeName  from (CGSH M left join HP H on M.HPID=H.ID) left join Pub_ItemType P on H.HPLBID=P.ItemType  where ZBID = 2024010001  order by M.HH

-- name: purchase return lines
-- order: none
select M.*, H.BH as aBH, H.PM as aPM, H.DW as aDW from CGTH M, HP H, M inner join H on M.HPID=H.ID where ZBID = 2024020001

-- name: receipt picker lines of a receipt
-- order: none
select M.*, H.BH as aBH, H.PM as aPM, H.DW as aDW from CGSH M, HP H, M inner join H on M.HPID=H.ID where ZBID = 2024020001

-- name: receipt lines copied into a return
-- order: none
select M.*, H.BH as aBH from CGSH M, HP H where M.HPID = H.ID and M.ZBID = 2024020001

-- name: item application lines with received quantities
-- order: none
 select M.*,  (select HH from CGDD where CGDD.ZBID=M.ZBID and CGDD.HH=M.HH) as TMP,  (select sum(SL) from CGSH where SRCNO=M.DJBH and SRCSEQ=M.HH) as aSHSL,  (M.SL - aSHSL) as aMSSL,  H.BH as aBH, H.PM as aPM, H.DW as aDW , H.GG as aGG  from CGDD M, HP H, M inner join H on M.HPID=H.ID  where ZBID = 2024010001

-- name: requisition lines
 select M.*,  H.BH as aBH, H.PM as aPM, H.DW as aDW , H.GG as aGG,H.HPHSFSID,TypeName  from (LL M left join HP H on M.HPID=H.ID) left join Pub_ItemType P on H.HPLBID=P.ItemType where ZBID = 2024010001  order by M.HH

-- name: return lines
 select M.*,  H.BH as aBH, H.PM as aPM, H.DW as aDW ,H.GG as aGG ,H.HPHSFSID,TypeName from (TL M left join HP H on M.HPID=H.ID) left join Pub_ItemType P on H.HPLBID=P.ItemType where ZBID = 2024020001 order by M.HH

-- name: stock-taking lines
select M.*, H.BH as aBH, H.PM as aPM, H.DW as aDW , H.GG as aGG from KCPD M, HP H, M inner join H on M.HPID=H.ID where ZBID = 2024010001  order by M.HH

-- name: transfer lines
select M.*, H.BH as aBH, H.PM as aPM, H.DW as aDW , H.GG as aGG from CKDB M, HP H, M inner join H on M.HPID=H.ID where ZBID = 2024020001 order by M.HH

-- name: other stock change lines
 select M.*,  H.BH as aBH, H.PM as aPM, H.DW as aDW, H.GG as aGG ,H.HPHSFSID from QTKCBD M, HP H where M.HPID=H.ID AND ZBID = 2024030001  order by M.HH

-- name: product intake lines
-- order: none
select M.*, H.BH as aBH, H.PM as aPM, H.DW as aDW from CPJC M, HP H, M inner join H on M.HPID=H.ID where ZBID = 2024020001

-- name: sales order lines with delivered quantities
 select M.*,  (select HH from XSDD where XSDD.ZBID=M.ZBID and XSDD.HH=M.HH) as TMP,  (select sum(SL) from XSKD where SRCNO=M.DJBH and SRCSEQ=M.HH) as aYTSL,  iif(M.SL > aYTSL, M.SL - aYTSL, 0) as aMTSL,  H.BH as aBH, H.PM as aPM, H.DW as aDW , H.GG as aGG  from XSDD M, HP H, M inner join H on M.HPID=H.ID  where ZBID = 2024020001  order by M.HH

-- name: sales delivery lines
select M.*, H.BH as aBH, H.PM as aPM, H.DW as aDW , H.GG as aGG from XSKD M, HP H, M inner join H on M.HPID=H.ID where ZBID = 2024020001 order by M.HH

-- name: sales return lines
-- order: none
select M.*, H.BH as aBH, H.PM as aPM, H.DW as aDW from XSTH M, HP H, M inner join H on M.HPID=H.ID where ZBID = 2024020001

-- name: expense lines
select M.*, L.BH as aBH, L.MC as aMC from FYKZ M, SRZCLB L, M inner join L on M.SRZCLBID=L.ID where ZBID = 2024010001 order by M.HH

-- name: other income lines
select M.*, L.BH as aBH, L.MC as aMC from QTSR M, SRZCLB L, M inner join L on M.SRZCLBID=L.ID where ZBID = 2024020001 order by M.HH

-- name: purchase payment lines with the settled receipts
-- order: none
select M.*, D.DJBH as aDDBH, D.RQ as aDDRQ, D.JE as aDDJE, D.YFJE - M.JE as aYFJE, D.JE - D.YFJE + M.JE as aMFJE from CGFK M, CGSHZB D, M inner join D on M.DDID=D.ID where M.ZBID = 2024020001

-- name: sales receipt lines with the due date of the delivery
-- order: none
select M.*, D.DJBH as aDDBH, D.RQ+D.SKQX as aSKQX, D.JE as aDDJE, D.YSJE - M.JE as aYSJE, D.JE - D.YSJE + M.JE as aMSJE from XSSK M, XSKDZB D, M inner join D on M.DDID=D.ID where M.ZBID = 2024030001

-- name: item entered by code
 select ID,PM,GG,DW,JJ,JJJ,JHY,JVIP,JQJ,HPHSFSID,TypeName from HP H left join Pub_ItemType P on H.HPLBID=P.ItemType where BH = '0009'

-- name: item entered by code with the named attributes
 select ID,PM,GG,DW,JJ,JJJ,JHY,JVIP,JQJ,HPHSFSID,TypeName,SX1,SX4 from HP H left join Pub_ItemType P on H.HPLBID=P.ItemType where BH = '0028'

-- name: item code that does not exist
-- expect: empty
 select ID,PM,GG,DW,JJ,JJJ,JHY,JVIP,JQJ,HPHSFSID,TypeName from HP H left join Pub_ItemType P on H.HPLBID=P.ItemType where BH = '9999'

-- name: item quick-pick list
 select BH,PM,GG,ZJM  from HP H inner join  Pub_ItemType  C on H.HPLBID=C.ItemType  where 1=1  and h.zt=false  order by H.BH

-- name: item quick-pick list of a restricted group
 select BH,PM,GG,ZJM  from HP H inner join (  SELECT A.TypeName AS ParentName, C.* FROM Pub_ItemType  C LEFT JOIN Pub_ItemType  A ON C.ParentCode=A.ItemType where C.ItemType not in (select ItemType from Sys_GroupUnRight_HPLB where UserGroupNo in (2,3)) ) C on H.HPLBID=C.ItemType  where 1=1  and h.zt=false  order by H.BH

-- name: item entered by bar code
-- order: none
select * from HP where BarCode = '0009'

-- name: item of a product intake line
-- order: none
select * from HP where BH = '0027'

-- name: stock ceiling of an item
select SX from HP where ID = 27

-- name: stock figures of an item over all warehouses
select sum(JCS) from HPKC where HPID = 27

-- name: print template of a form
-- order: none
select * from Pub_PrintModal where ObjectName='采购入库单'

-- name: column layout of a document
 select * from TableColumns where TableName='mnuCgsh' order by XH

-- name: supplier entered by code
-- order: none
select * from GYS where BH = '0001'

-- name: customer entered by code
-- order: none
select * from KH where BH = '0002'

-- name: employee entered by code
select XM from YG where BH = '0003'

-- name: salesmen
select XM from YG where YWYBZ order by BH

-- name: department of the receipt's handler
 select  c.id,c.mc from YG b,BM c where b.BMID=c.ID and b.ID=7

-- name: department requisitions of the year
 select sum(a.je) as JE from LLZB a,YG b,BM c  where a.uflag = 1 and a.YGID = b.ID and b.BMID=c.ID and c.id=3 and Year(a.rq)=2024

-- name: department requisitions of the month
 select sum(a.je) as JE from LLZB a,YG b,BM c  where a.uflag = 1 and a.YGID = b.ID and b.BMID=c.ID and c.id=3 and Year(a.rq)=2024 and Month(a.rq)=1

-- name: department quota
 select  JE from BM where id=3

-- name: column layout reset to the default
-- setup
 delete from TableColumns where TableName='mnuCgsh'

-- name: lines of a draft deleted with the document
-- setup
 Delete FROM LL  where ZBID= 2024030001

-- name: the draft has no lines left
select count(*) as n from LL where ZBID = 2024030001
