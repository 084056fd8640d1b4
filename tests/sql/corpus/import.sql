-- Spreadsheet import of items and employees: the column list, the look-ups
-- and inserts of departments, categories and warehouses met by name, the
-- emptied table and one insert per row; then the opening stock booked from the
-- imported opening quantities (a stock-taking document per warehouse).

-- name: importable columns of the items
select Code,Name,DataType from ExportCompTable where Type = 'hp' and QVSystem ='hp' order by OrderIndex

-- name: importable columns of the employees
select Code,Name,DataType from ExportCompTable where Type = 'yg' and QVSystem ='yg' order by OrderIndex

-- name: department met by name
 select id,MC from bm where mc='行政部'

-- name: department met by a name not yet known
-- expect: empty
 select id,MC from bm where mc='后勤保障部'

-- name: next department number
select Max(ID)+1 from bm

-- name: unknown department created
-- setup
 insert into bm(id,mc) values (10,'后勤保障部')

-- name: category met by name
 select ItemType,TypeName from pub_ItemType where TypeName ='书写工具'

-- name: next category number of the import
select Max(ItemType)+1 from pub_ItemType

-- name: unknown category created
-- setup
 insert into pub_ItemType(ItemType,TypeName) values (9,'劳保用品')

-- name: warehouse met by name
 select id,mc from ck where mc ='办公用品仓库'

-- name: unknown warehouse created
-- setup
 insert into ck(id,mc) values (3,'劳保仓库')

-- name: the item table is emptied
-- setup
Delete  from hp

-- name: an item row with its opening quantity
-- setup
 Insert Into hp(id,BH,PM,GG,DW,HPLBID,JJ,JJJ,JQJ,InSL,CKID)  Values(1,'0001','中性笔','0.5mm 黑色','支',2,1.2,1.38,1.56,200,1)

-- name: an item row of the new category in the new warehouse
-- setup
 Insert Into hp(id,BH,PM,GG,DW,HPLBID,JJ,JJJ,JQJ,InSL,CKID)  Values(2,'0101','劳保手套','棉纱 10副/包','包',9,12.5,14,16,30,3)

-- name: an item row without opening quantity and empty texts
-- setup
 Insert Into hp(id,BH,PM,GG,DW,HPLBID,JJ,JJJ,JQJ,InSL,CKID)  Values(4,'0102','安全帽',Null,'顶',9,28,32,36,0,1)

-- name: an item whose name holds a quote
-- setup
 Insert Into hp(id,BH,PM,GG,DW,HPLBID,JJ,JJJ,JQJ,InSL,CKID)  Values(5,'0103','5'' 扳手','150mm','把',9,18,20.5,23,12,1)

-- name: a row with text in a numeric column fails
-- expect: error
 Insert Into hp(id,BH,PM,GG,DW,HPLBID,JJ,JJJ,JQJ,InSL,CKID)  Values(6,'0104','护目镜','防雾','副',9,十五,0,0,0,1)

-- name: imported items set to the defaults of a new item
-- setup
update hp set HPHSFFID=1,HPHSFSID =1,ZT=False,IsMaterial=True,IsProduct=True

-- name: imported items
select ID, BH, PM, GG, DW, HPLBID, JJ, InSL, CKID, HPHSFFID, HPHSFSID, ZT, IsMaterial, IsProduct from HP order by ID

-- name: warehouses holding opening stock
-- order: none
 select distinct ckid from hp where insl > 0

-- name: opening value of a warehouse
 select sum(insl*jj) as je from hp where insl > 0 and ckid=1

-- name: opening stock-taking document
-- setup
insert into KCPDZB(ID,DJBH,RQ,CKID,BillType,JE,uFlag,YGID,BZ) values (2024030003,'PD2024030003','2024-03-20',1,'KCPD',456,1,1,'期初导入')

-- name: items of the warehouse with opening stock
-- order: none
 select id,insl,jj,ckid from hp where insl > 0 and ckid=1

-- name: opening stock line
-- setup
insert into KCPD(ZBID,HH,RQ,CKID,HPID,SL,DJ) values (2024030003,1,'2024-03-20',1,1,200,1.2)

-- name: opening stock ledger row
-- setup
insert into inv_itemlist(RQ,BillType,Flag,DJBH,hpid,hh,sl,dj,cbdj,nzk,nsl,je,ckid) values('2024-03-20','KCPD',1,'PD2024030003',1,1,200,1.2,1.2,1,0,240,1)

-- name: second opening line
-- setup
insert into KCPD(ZBID,HH,RQ,CKID,HPID,SL,DJ) values (2024030003,2,'2024-03-20',1,5,12,18)

-- name: second opening ledger row
-- setup
insert into inv_itemlist(RQ,BillType,Flag,DJBH,hpid,hh,sl,dj,cbdj,nzk,nsl,je,ckid) values('2024-03-20','KCPD',1,'PD2024030003',5,2,12,18,18,1,0,216,1)

-- name: opening stock as booked
select M.DJBH, M.BZ, D.HH, D.HPID, D.SL, L.ID, L.Flag, L.JE from (KCPDZB M inner join KCPD D on M.ID = D.ZBID) inner join Inv_ItemList L on L.DJBH = M.DJBH and L.HH = D.HH where M.BZ = '期初导入' order by D.HH

-- name: the employee table is emptied
-- setup
Delete  from yg

-- name: an employee row of an existing department
-- setup
 Insert Into yg(id,BH,XM,XB,BMID,ZW,MOVEPHONE)  Values(1,'0001','王建国','男',2,'总经理','13800210037')

-- name: an employee row of the new department
-- setup
 Insert Into yg(id,BH,XM,XB,BMID,ZW,MOVEPHONE)  Values(2,'0013','钱进','男',10,'保安',Null)

-- name: imported employees
select ID, BH, XM, XB, BMID, ZW, MOVEPHONE from YG order by ID
