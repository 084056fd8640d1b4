-- Delete guards: before a register row is deleted the client looks for
-- documents and registers that still refer to it ("select top 1 1" per table,
-- joined by UNION), and deletes only when none does.

-- name: item used in purchase receipts
 select top 1 1 from CGSH where hpid = 9 union  select top 1 1 from LL where hpid = 9 union  select top 1 1 from XSKD where hpid = 9 union  select top 1 1 from KCPD where hpid = 9

-- name: item used only in a requisition line
 select top 1 1 from CGSH where hpid = 41 union  select top 1 1 from LL where hpid = 41 union  select top 1 1 from XSKD where hpid = 41 union  select top 1 1 from KCPD where hpid = 41

-- name: item used nowhere
-- expect: empty
 select top 1 1 from CGSH where hpid = 3 union  select top 1 1 from LL where hpid = 3 union  select top 1 1 from XSKD where hpid = 3 union  select top 1 1 from KCPD where hpid = 3

-- name: old item category used by items
 select top 1 1 from HP where hplbid = 2

-- name: customer used by deliveries and returns
 select top 1 1 from XSKDZB where khid = 2 union  select top 1 1 from XSTHZB where khid = 2

-- name: customer used nowhere
-- expect: empty
 select top 1 1 from XSKDZB where khid = 4 union  select top 1 1 from XSTHZB where khid = 4

-- name: area used by customers or vendors
 select top 1 1 from KH where dqid = 3 union  select top 1 1 from GYS where dqid = 3

-- name: warehouse used by documents
 select top 1 1 from CGSHZB where ckid = 2 union  select top 1 1 from LLZB where ckid = 2 union  select top 1 1 from KCPDZB where ckid = 2 union  select top 1 1 from CKDBZB where DCCID = 2 union  select top 1 1 from CKDBZB where DRCID = 2

-- name: supplier used by receipts and returns
 select top 1 1 from CGSHZB where gysid = 4 union  select top 1 1 from CGTHZB where gysid = 4

-- name: supplier used nowhere
-- expect: empty
 select top 1 1 from CGSHZB where gysid = 5 union  select top 1 1 from CGTHZB where gysid = 5

-- name: item category used by items
 select top 1 1 from hp where hplbid = 8

-- name: department used by warehouses, groups or employees
 select top 1 1 from CK where BMID = 3 union  select top 1 1 from AppUserGroup where gMemo = '3' union  select top 1 1 from YG where bmid = 3

-- name: department used nowhere
-- expect: empty
 select top 1 1 from CK where BMID = 1 union  select top 1 1 from AppUserGroup where gMemo = '1' union  select top 1 1 from YG where bmid = 1

-- name: user group named by users
 select top 1 1 from AppUser where gName = '仓库管理组'

-- name: type of other stock changes in use
 select top 1 1 from QTKCBDZB where QTKCBDLXID = 3

-- name: type of other stock changes not in use
-- expect: empty
 select top 1 1 from QTKCBDZB where QTKCBDLXID = 6

-- name: supplier picker guard
 select top 1 1 from CGDDZB where GYSID = 1 union  select top 1 1 from CGSHZB where GYSID = 1

-- name: item picker guard
 select top 1 1 from CGDD where HPID = 1 union  select top 1 1 from CGSH where HPID = 1

-- name: a category with children is found
select ItemType from Pub_ItemType where ParentCode = 1 order by ItemType

-- name: new top-level category
-- setup
insert into Pub_ItemType(ItemType,TypeName) values(9,'劳保用品')

-- name: category renamed
-- setup
update Pub_ItemType set TypeName='劳保防护用品' where ItemType=9

-- name: categories after the change
 SELECT A.TypeName AS ParentName, B.* FROM Pub_ItemType AS B LEFT JOIN Pub_ItemType AS A ON B.ParentCode=A.ItemType order by B.ItemType

-- name: category deleted
-- setup
delete from  Pub_ItemType  where ItemType=9

-- name: unused item deleted with its pictures
-- setup
delete from hp_pict where  ygid=3

-- name: category of an unused item is free again
select count(*) as n from Pub_ItemType where ItemType = 9

-- name: quick codes of every item
select id,PM from hp order by id

-- name: quick code rewritten
-- setup
update hp set ZJM='ZXB' where id=1

-- name: next picture number
select iif(isnull(max(ID)), 1, max(ID)+1) as picid from hp_pict
