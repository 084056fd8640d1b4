-- Rights: the queries that load a user's rights and data scope at login, the
-- operation rights of one object, and the statements of the rights window,
-- the user list and the password change.

-- name: departments of the user's groups
-- order: none
select bmid from AppUserGroup where id in (2,3)

-- name: department tree for the scope
-- order: none
 select ID, ParentCode,MC  from bm

-- name: functions granted to the user's groups
-- order: none
 select distinct a.ObjectName,b.FuncNodeName from Sys_GroupFuncRight a left join Sys_FuncTree_office b on a.FuncNodeNo=b.FuncNodeNo where UserGroupNo in (2,3)

-- name: default warehouse
-- order: none
select Top 1 ID from  CK C 

-- name: default warehouse under data permissions
-- order: none
select Top 1 ID from  ( select b.mc as bmmc,c.* from CK  C  left join BM B on c.bmid=b.id where BMID in (3,9) ) C 

-- name: department list under data permissions
-- order: none
 SELECT A.MC  AS ParentName, C.* FROM BM C LEFT JOIN  BM  A ON C.ParentCode=A.ID where C.ID in (3,5) 

-- name: employee names under data permissions
 select XM from YG where bmid in(3,5) order by XM 

-- name: employee names without data permissions
select XM from YG  order by XM 

-- name: employees of the user's departments for a drop-down
 select Y.XM   from YG Y, BM C  where   Y.BMID = C.ID  and C.MC in ('行政部','采购部') order by Y.XM 

-- name: categories a group may see
-- order: none
 SELECT A.TypeName AS ParentName, C.* FROM Pub_ItemType  C LEFT JOIN Pub_ItemType  A ON C.ParentCode=A.ItemType where C.ItemType not in (select ItemType from Sys_GroupUnRight_HPLB where UserGroupNo in (2,3)) 

-- name: operation rights of an object
 select FuncItems from Sys_GroupFuncRight  where UserGroupNo in (2,3) and ObjectName = 'mnuLl'

-- name: operation rights of an object nobody granted
-- expect: empty
 select FuncItems from Sys_GroupFuncRight  where UserGroupNo in (2,3) and ObjectName = 'mnuFykz'

-- name: function tree with a group's grants
select F.FuncNodeNo,F.FuncNodeName,F.PrevNodeNo,F.ObjectType,F.ObjectName,U.UserGroupNo,U.FuncItems from Sys_FuncTree_office F left outer join (select * from Sys_GroupFuncRight where CompanyCode='QV' and UserGroupNo=2) U on F.FuncNodeNo=U.FuncNodeNo order by F.FuncNodeNo

-- name: function tree when no group is selected
select F.FuncNodeNo,F.FuncNodeName,F.PrevNodeNo,F.ObjectType,F.ObjectName,U.UserGroupNo,U.FuncItems from Sys_FuncTree_office F left outer join (select * from Sys_GroupFuncRight where CompanyCode='QV' and UserGroupNo=0) U on F.FuncNodeNo=U.FuncNodeNo order by F.FuncNodeNo

-- name: operations of an object type
-- order: none
select FuncItemNo,FuncItemName,PrevItemNo,FuncItemDesc from Sys_FuncItem where ObjectType='Bill'

-- name: categories hidden from a group
 select H.UserGroupNo,H.ItemType,L.TypeName as aHPLBMC  from Sys_GroupUnRight_HPLB H Left outer join Pub_ItemType L on H.ItemType=L.ItemType where H.UserGroupNo=3 order by H.UserGroupNo, H.ItemType

-- name: saving a group's functions removes the old grants
-- setup
delete from Sys_GroupFuncRight where CompanyCode='QV' and UserGroupNo=2

-- name: a granted function is stored by position
-- setup
insert into Sys_GroupFuncRight values('QV',2,'0502','mnuLl','Insert,Delete,Auditing1,UnAudit,Print','2024-03-15')

-- name: a second granted function
-- setup
insert into Sys_GroupFuncRight values('QV',2,'0605','mnuBbCkkcHz','','2024-03-15')

-- name: the group's grants after saving
select CompanyCode, UserGroupNo, FuncNodeNo, ObjectName, FuncItems, GrantDate from Sys_GroupFuncRight where UserGroupNo = 2 order by FuncNodeNo

-- name: saving the hidden categories removes the old ones
-- setup
delete from Sys_GroupUnRight_HPLB where UserGroupNo=3

-- name: a hidden category is stored
-- setup
 insert into Sys_GroupUnRight_HPLB(UserGroupNo,ItemType)  values(3,7)

-- name: hidden categories after saving
-- order: none
select UserGroupNo, ItemType from Sys_GroupUnRight_HPLB

-- name: deleting a group removes its grants
-- setup
delete from Sys_GroupFuncRight where CompanyCode='QV' and UserGroupNo=3

-- name: groups for the user's group picker
 select id,gName as mc from AppUserGroup order by id

-- name: next user number
select max(ID) from AppUser

-- name: password changed
-- setup
update AppUser set uPassword = 'abc'where uCode = 'SYS'

-- name: the user code is found whatever its case
select uName, uPassword from AppUser where uCode='sys'

-- name: a password with a quote is stored doubled
-- setup
update AppUser set uPassword = 'a''b'where uCode = 'U01'

-- name: users after the password changes
select uCode, uName, uPassword, gID, gName from AppUser order by ID
