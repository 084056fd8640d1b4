-- Housekeeping: the audit levels of the system settings, the operation log,
-- system initialisation, the export of tables as statements and their
-- restore (lines as the export and the server's backup write them, memo line
-- breaks written as chr(13) & chr(10)), and the tables the export lists.

-- name: ledger rows block a change of the audit levels
 select count(*) from Inv_ItemList

-- name: extra audit levels removed
-- setup
delete from Sys_FuncItem where Indexno like '04%' 

-- name: second audit level added
-- setup
insert into  Sys_FuncItem(ObjectType,IndexNo,FuncItemNo,FuncItemName) Values('Bill','041','Auditing2','二审')

-- name: third audit level added
-- setup
insert into  Sys_FuncItem(ObjectType,IndexNo,FuncItemNo,FuncItemName) Values('Bill','042','Auditing3','三审')

-- name: operations of the documents after the change
select IndexNo, FuncItemNo, FuncItemName from Sys_FuncItem where ObjectType = 'Bill' order by IndexNo

-- name: operation log
-- order: none
select * from AppLog

-- name: operation log up to a date removed
-- setup
delete From AppLog where RQ <= #2024-02-28#

-- name: operation log after the removal
select uName, CZ, RQ, SJ from AppLog order by RQ desc, uName, SJ

-- name: a table exported as statements
-- order: none
select * from CK

-- name: export of a table without rows
-- expect: empty
select * from Gz_Item

-- name: restore empties a table
-- setup
delete from CK

-- name: restore line of the export
-- setup
insert into CK(ID,XH,MC,WZ,BMID,BZ,S1,S2,F1,F2) Values(1,1,'办公用品仓库','办公楼一层101室',3,'日常办公用品、清洁用品',Null,Null,Null,Null) 

-- name: restore line with a doubled quote
-- setup
insert into CK(ID,XH,MC,WZ,BMID,BZ,S1,S2,F1,F2) Values(2,2,'耗材配件仓库','办公楼三层305室',9,'打印耗材、电脑''配件''',Null,Null,Null,Null) 

-- name: warehouses after the restore
select ID, XH, MC, WZ, BMID, BZ from CK order by ID

-- name: restore line of the server backup with yes/no and a date and time
-- setup
insert into YG(ID,BH,XM,XB,BMID,CSRQ,RZRQ,QDRQ,LZ,YWYBZ,HF,CB,GRJL,ZJM) Values(13,'0013','郑小雨','女',3,'1999-04-12','2024-03-01','2024-03-01 09:30:00',False,True,False,False,'2017-2021 上海师范大学' & chr(13) & chr(10) & '2021-2024 某贸易公司文员','ZXY') 

-- name: restored employee with the line break of the memo
select ID, BH, XM, CSRQ, QDRQ, LZ, YWYBZ, GRJL, len(GRJL) as n from YG where ID = 13

-- name: restore line of the ledger keeps its numbers
-- setup
insert into Inv_ItemList(ID,RQ,BillType,Flag,DJBH,HPID,HH,SL,DJ,CBDJ,JE,NZK,NSL,CustVendID,CKID,F1,YGID,RefSL,Employee) Values(100,'2024-03-21 10:15:00','CS',1,'CS2024030009',1,1,10,1.25,1.25,12.5,1,0,1,1,1,7,0,Null) 

-- name: the ledger numbers new rows after restored ones
-- setup
 insert into Inv_Itemlist(RQ,BillType,Flag,DJBH,HPID,HH,SL,DJ,CBDJ,JE,CKID,YGID) select D.RQ,'LL',-1,M.DJBH,D.HPID,D.HH,D.SL,D.DJ,DJ,D.SL*D.DJ,M.CKID,YGID from LLZB M,LL D     where M.ID=D.ZBID   and M.DJBH='LL2024030001'

-- name: ledger numbers after the restore
select ID, DJBH, HH from Inv_ItemList where ID >= 100 order by ID

-- name: a restore line that fails is skipped
-- expect: error
insert into CK(ID,XH,MC) Values(3,3,'劳保仓库'

-- name: business data of the items cleared
-- setup
 delete from HP

-- name: item pictures cleared
-- setup
 delete from Hp_Pict

-- name: item categories cleared
-- setup
 delete from Pub_ItemType

-- name: ledger cleared
-- setup
 delete from Inv_ItemList

-- name: documents cleared
-- setup
 delete from CGSHZB

-- name: document lines cleared
-- setup
 delete from CGSH

-- name: production plans cleared
-- setup
 delete from SC_BOMZB

-- name: counters cleared
-- setup
 delete from MaxBillNo

-- name: bank movements cleared
-- setup
 delete from YHCKQK

-- name: a table that does not exist is skipped
-- expect: error
 delete from SC_Plan

-- name: tables after the initialisation
select (select count(*) from HP) as nHP, (select count(*) from Inv_ItemList) as nLedger, (select count(*) from CGSHZB) as nReceipts, (select count(*) from MaxBillNo) as nCounters, (select count(*) from LLZB) as nRequisitions
