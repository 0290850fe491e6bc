-- The demo ERP database (SQLite) that the host shell's services and the application
-- server read: companies and their settings, users and rights, the program table,
-- page-footer and sign-off texts, the web report site, portal settings, the customs
-- contracts and carry-over forms behind the lookups, the message catalogue, common
-- phrases and the server's file list. Texts are UTF-8, data in simplified Chinese.
--
-- Create a database with:  sqlite3 demo.db < demo.sql
-- (the host services library also carries this script: CreateDemoDatabase).
--
-- Condition schemes and the job queue are not here: the application server keeps them
-- in its own store.

BEGIN;

-- Companies. COMPANYID is the company code a user logs on with (initialisation
-- parameter 1), COMPANYKEY the key of its accounts (parameter 2); business rows below
-- are kept per COMPANYKEY, settings per COMPANYID.
CREATE TABLE COMPANY (
  COMPANYID   TEXT PRIMARY KEY,
  COMPANYKEY  TEXT NOT NULL UNIQUE,
  NAME        TEXT NOT NULL,
  ENGNAME     TEXT NOT NULL,
  CUSTOMSCODE TEXT NOT NULL,   -- customs registration code, ten digits
  ADDRESS     TEXT NOT NULL
);

INSERT INTO COMPANY VALUES
  ('SDTest60', 'SDTest60', '深圳华南保税电子有限公司', 'Huanan Bonded Electronics (Shenzhen) Co., Ltd.',
   '4403940123', '广东省深圳市福田保税区桃花路18号'),
  ('C1', 'DB1', '昆山精密模具有限公司', 'Kunshan Precision Mould Co., Ltd.',
   '3223640456', '江苏省昆山市综合保税区第二大道269号'),
  ('TW01', 'TWDB01', '台湾精密机械股份有限公司', 'Taiwan Precision Machinery Corp.',
   '3502930789', '福建省厦门市海沧保税港区港南路66号');

-- Company settings, read by the counter's GetSysInfo in SEQ order:
--   Sys001  date display type: 1 YYYYMMDD, 2 MMDDYYYY, 3 DDMMYYYY, 4 and 5 ROC years
--   Sys002  date separator
--   QMT001  company short name
--   QMT002  caption code, shown in brackets after a form's title
--   SYS007..SYS010  product category names (empty: the form's default names)
--   SYS026  "2": the ROC calendar is not used (the ROC date types are not offered)
--   SYS181  "N": the web report is not offered
CREATE TABLE SYSSETTING (
  COMPANYID TEXT NOT NULL REFERENCES COMPANY (COMPANYID),
  SEQ       INTEGER NOT NULL,
  NAME      TEXT NOT NULL,
  VALUE     TEXT NOT NULL,
  NOTE      TEXT NOT NULL,
  PRIMARY KEY (COMPANYID, NAME)
);

INSERT INTO SYSSETTING VALUES
  ('SDTest60', 1, 'Sys001', '1', '日期显示类型'),
  ('SDTest60', 2, 'Sys002', '/', '日期分隔符'),
  ('SDTest60', 3, 'QMT001', '华南保税', '公司简称'),
  ('SDTest60', 4, 'QMT002', 'SD60', '标题代码'),
  ('SDTest60', 5, 'SYS007', '按材质', '商品分类方式一'),
  ('SDTest60', 6, 'SYS008', '按用途', '商品分类方式二'),
  ('SDTest60', 7, 'SYS009', '', '商品分类方式三'),
  ('SDTest60', 8, 'SYS010', '', '商品分类方式四'),
  ('SDTest60', 9, 'SYS026', '2', '民国年历法'),
  ('SDTest60', 10, 'SYS181', 'Y', '网页报表'),
  ('C1', 1, 'Sys001', '3', '日期显示类型'),
  ('C1', 2, 'Sys002', '-', '日期分隔符'),
  ('C1', 3, 'QMT001', '昆山精密', '公司简称'),
  ('C1', 4, 'QMT002', 'KSJM', '标题代码'),
  ('C1', 5, 'SYS007', '按客户', '商品分类方式一'),
  ('C1', 6, 'SYS026', '2', '民国年历法'),
  ('C1', 7, 'SYS181', 'N', '网页报表'),
  ('TW01', 1, 'Sys001', '5', '日期显示类型'),
  ('TW01', 2, 'Sys002', '.', '日期分隔符'),
  ('TW01', 3, 'QMT001', '台湾精机', '公司简称'),
  ('TW01', 4, 'QMT002', 'TWJJ', '标题代码'),
  ('TW01', 5, 'SYS026', '1', '民国年历法'),
  ('TW01', 6, 'SYS181', 'Y', '网页报表');

-- System users (lookup "QMTMA" kind "04").
CREATE TABLE QMTMA (
  USERID  TEXT PRIMARY KEY,
  NAME    TEXT NOT NULL,
  ENGNAME TEXT NOT NULL,
  MOBILE  TEXT NOT NULL,
  EMAIL   TEXT NOT NULL,
  DEPT    TEXT NOT NULL,
  ACTIVE  TEXT NOT NULL CHECK (ACTIVE IN ('Y', 'N'))
);

INSERT INTO QMTMA VALUES
  ('796', '王建国', 'Wang Jianguo', '13802561796', 'wangjg@huanan-bonded.example.cn', '关务部', 'Y'),
  ('ADMIN', '系统管理员', 'Administrator', '', 'erp-admin@huanan-bonded.example.cn', '信息部', 'Y'),
  ('U01', '李晓梅', 'Li Xiaomei', '13923450101', 'lixm@huanan-bonded.example.cn', '关务部', 'Y'),
  ('U02', '陈志强', 'Chen Zhiqiang', '13612780202', 'chenzq@huanan-bonded.example.cn', '物流部', 'Y'),
  ('U03', '张丽华', 'Zhang Lihua', '13760330303', 'zhanglh@huanan-bonded.example.cn', '财务部', 'Y'),
  ('U04', '刘伟', 'Liu Wei', '13509870404', 'liuw@huanan-bonded.example.cn', '业务部', 'N');

-- Rights of a user in a program, answered by the application server's GetPower.
--   POWER       six comma-separated tokens: 1 run, 2 print, 3 export, 4 eight field
--               flags (character 7: all departments, character 8: amounts; a missing
--               character counts as "N"), 5 design, 6 schedule
--   WEBPOWER    the web report design right
--   POWERTEXT   the data restriction text handed to the lookups
--   POWERITEMS  ";"-separated restriction items (form types the user may see)
CREATE TABLE USERPOWER (
  COMPANYKEY TEXT NOT NULL,
  USERID     TEXT NOT NULL,
  PROGRAMID  TEXT NOT NULL,
  POWER      TEXT NOT NULL,
  WEBPOWER   TEXT NOT NULL,
  POWERTEXT  TEXT NOT NULL,
  POWERITEMS TEXT NOT NULL,
  PRIMARY KEY (COMPANYKEY, USERID, PROGRAMID)
);

INSERT INTO USERPOWER VALUES
  ('SDTest60', '796', 'KXBR07', 'Y,Y,Y,YYYYYYYY,Y,Y', 'Y', '全部部门', 'JZ01;JZ02;YZ01'),
  ('SDTest60', 'ADMIN', 'KXBR07', 'Y,Y,Y,YYYYYYYY,Y,Y', 'Y', '全部部门', 'JZ01;JZ02;YZ01'),
  ('SDTest60', 'U01', 'KXBR07', 'Y,Y,N,YYYYYYNY,N,Y', 'N', '关务部', 'JZ01;JZ02'),
  ('SDTest60', 'U02', 'KXBR07', 'Y,N,N,YYYY,N,N', 'N', '物流部', 'YZ01'),
  ('SDTest60', '796', 'KXBR01', 'Y,Y,Y,YYYYYYYY,Y,Y', 'Y', '全部部门', ''),
  ('DB1', 'U01', 'KXBR07', 'Y,Y,Y,YYYYYYYN,Y,Y', 'Y', '关务部', 'JZ01;JZ02;YZ01'),
  ('DB1', '796', 'KXBR07', 'Y,Y,Y,YYYYYYYY,Y,Y', 'N', '全部部门', 'JZ01;JZ02;YZ01'),
  ('TWDB01', '796', 'KXBR07', 'Y,Y,Y,YYYYYYYY,N,Y', 'N', '全部部门', 'JZ01;JZ02;YZ01');

-- The program table (query "ADMMB"): display names, whether jobs are logged on the
-- server (WANTLOG) and whether the direct query is withheld (NODIRECTQUERY).
CREATE TABLE ADMMB (
  PROGRAMID     TEXT PRIMARY KEY,
  NAME          TEXT NOT NULL,
  ENGNAME       TEXT NOT NULL,
  SYSTEMCODE    TEXT NOT NULL,
  KIND          TEXT NOT NULL,   -- R report, F fixed-layout report, B batch job
  WANTLOG       TEXT NOT NULL CHECK (WANTLOG IN ('Y', 'N')),
  NODIRECTQUERY TEXT NOT NULL CHECK (NODIRECTQUERY IN ('Y', 'N')),
  VERSION       TEXT NOT NULL
);

INSERT INTO ADMMB VALUES
  ('KXBR01', '手册备案清单', 'Contract Registration List', 'KXB', 'R', 'Y', 'N', '9.0'),
  ('KXBR03', '进出口报关明细表', 'Import and Export Declaration Details', 'KXB', 'R', 'Y', 'N', '9.0'),
  ('KXBR05', '料件核销表', 'Material Write-off Report', 'KXB', 'R', 'Y', 'Y', '9.0'),
  ('KXBR07', '结转单据明细表', 'Carry-over Form Details', 'KXB', 'R', 'Y', 'N', '9.0'),
  ('KXBR09', '结转差异分析表', 'Carry-over Difference Analysis', 'KXB', 'R', 'N', 'N', '9.0'),
  ('KXBB02', '手册核销作业', 'Contract Write-off Batch', 'KXB', 'B', 'Y', 'N', '9.0');

-- Page-footer (KIND "1") and sign-off (KIND "2") texts (query and lookup "CMSMS").
CREATE TABLE CMSMS (
  COMPANYKEY TEXT NOT NULL,
  KIND       TEXT NOT NULL CHECK (KIND IN ('1', '2')),
  CODE       TEXT NOT NULL CHECK (length(CODE) <= 6),
  NAME       TEXT NOT NULL,
  TEXT1      TEXT NOT NULL,
  TEXT2      TEXT NOT NULL,
  TEXT3      TEXT NOT NULL,
  PRIMARY KEY (COMPANYKEY, KIND, CODE)
);

INSERT INTO CMSMS VALUES
  ('SDTest60', '1', 'F00001', '标准页脚', '制表：', '审核：', '核准：'),
  ('SDTest60', '1', 'F00002', '海关报表页脚', '本表数据取自保税管理系统', '如有疑问请洽关务部', '分机 8021'),
  ('SDTest60', '1', 'F00003', '对外报送页脚', '深圳华南保税电子有限公司', '关务部', '联系电话 0755-83591200'),
  ('SDTest60', '2', 'S00001', '三级签核', '经办人：', '部门主管：', '总经理：'),
  ('SDTest60', '2', 'S00002', '关务签核', '关务专员：', '关务主管：', ''),
  ('DB1', '1', 'F00001', '标准页脚', '制表人：', '复核人：', ''),
  ('DB1', '2', 'S00001', '两级签核', '经办：', '主管：', ''),
  ('TWDB01', '1', 'F00001', '标准页脚', '制表：', '审核：', '核准：');

-- Footer and sign-off defaults of a program (query "CMSMT"): the codes, whether the
-- user may look another one up, whether it prints on every page, and the texts.
CREATE TABLE CMSMT (
  COMPANYKEY    TEXT NOT NULL,
  PROGRAMID     TEXT NOT NULL,
  NOTECODE      TEXT NOT NULL,
  NOTELOOKUP    TEXT NOT NULL CHECK (NOTELOOKUP IN ('Y', 'N')),
  NOTEEVERYPAGE TEXT NOT NULL CHECK (NOTEEVERYPAGE IN ('Y', 'N')),
  NOTE1         TEXT NOT NULL,
  NOTE2         TEXT NOT NULL,
  NOTE3         TEXT NOT NULL,
  SIGNCODE      TEXT NOT NULL,
  SIGNLOOKUP    TEXT NOT NULL CHECK (SIGNLOOKUP IN ('Y', 'N')),
  SIGNEVERYPAGE TEXT NOT NULL CHECK (SIGNEVERYPAGE IN ('Y', 'N')),
  SIGN1         TEXT NOT NULL,
  SIGN2         TEXT NOT NULL,
  SIGN3         TEXT NOT NULL,
  PRIMARY KEY (COMPANYKEY, PROGRAMID)
);

INSERT INTO CMSMT VALUES
  ('SDTest60', 'KXBR07', 'F00001', 'Y', 'Y', '制表：', '审核：', '核准：',
   'S00001', 'Y', 'N', '经办人：', '部门主管：', '总经理：'),
  ('SDTest60', 'KXBR01', 'F00002', 'Y', 'Y', '本表数据取自保税管理系统', '如有疑问请洽关务部', '分机 8021',
   'S00002', 'Y', 'N', '关务专员：', '关务主管：', ''),
  ('DB1', 'KXBR07', 'F00001', 'N', 'Y', '制表人：', '复核人：', '',
   'S00001', 'Y', 'N', '经办：', '主管：', '');

-- The web report site of each company (query "CMSMA" kind "02").
CREATE TABLE WebReportConfig (
  COMPANYKEY       TEXT PRIMARY KEY,
  WebReportSiteUrl TEXT NOT NULL,
  SITENAME         TEXT NOT NULL
);

INSERT INTO WebReportConfig VALUES
  ('SDTest60', 'http://127.0.0.1:8088/KxbWebReport', '华南保税网页报表'),
  ('DB1', 'http://erp-report.kunshan.example.cn/WebReport', '昆山精密网页报表');

-- Installation-wide settings; the forms read them with SimpleSQL statements such as
-- SELECT MA003 FROM QMTINTMA WHERE MA001='StartupPortal'.
CREATE TABLE QMTINTMA (
  MA001 TEXT PRIMARY KEY,   -- setting name
  MA002 TEXT NOT NULL,      -- description
  MA003 TEXT NOT NULL       -- value
);

INSERT INTO QMTINTMA VALUES
  ('StartupPortal', '启用企业门户', 'N'),
  ('Portal WS', '门户网页服务地址', 'http://portal.huanan-bonded.example.cn/PortalWS/Service.asmx'),
  ('MailServer', '邮件服务器', 'smtp.huanan-bonded.example.cn'),
  ('SmsGateway', '短信网关', '');

-- Customs processing-trade contracts (manuals) (lookup "CUSTG" kind "02").
CREATE TABLE CUSTCONTRACT (
  COMPANYKEY TEXT NOT NULL,
  SEQ        INTEGER NOT NULL,
  CONTRACTNO TEXT NOT NULL CHECK (length(CONTRACTNO) <= 20),
  CUSTOMER   TEXT NOT NULL,
  TRADEMODE  TEXT NOT NULL,
  SIGNDATE   TEXT NOT NULL,   -- YYYYMMDD
  EXPIRYDATE TEXT NOT NULL,   -- YYYYMMDD
  STATUS     TEXT NOT NULL,
  PRIMARY KEY (COMPANYKEY, CONTRACTNO),
  UNIQUE (COMPANYKEY, SEQ)
);

INSERT INTO CUSTCONTRACT VALUES
  ('SDTest60', 1, 'C52084400101', '香港宏达电子贸易有限公司', '进料加工', '20230915', '20250914', '执行中'),
  ('SDTest60', 2, 'C52084400102', '东莞市长安精密五金有限公司', '进料加工', '20231020', '20251019', '执行中'),
  ('SDTest60', 3, 'C52084400117', '日本东和电机株式会社', '进料加工', '20231201', '20251130', '执行中'),
  ('SDTest60', 4, 'B52084400023', '台湾联华科技股份有限公司', '来料加工', '20230601', '20240531', '已核销'),
  ('SDTest60', 5, 'B52084400031', '新加坡美达电子私人有限公司', '来料加工', '20240105', '20260104', '执行中'),
  ('SDTest60', 6, 'C52084400125', '惠州市德赛光电有限公司', '进料加工', '20240118', '20260117', '执行中'),
  ('SDTest60', 7, 'E52084400008', '深圳华南保税电子有限公司', '电子账册', '20220301', '20270228', '执行中'),
  ('SDTest60', 8, 'C52084400133', '韩国三和精密株式会社', '进料加工', '20240220', '20260219', '执行中'),
  ('SDTest60', 9, 'C52084400140', '苏州工业园区华东电路板有限公司', '进料加工', '20240311', '20260310', '暂停'),
  ('SDTest60', 10, 'B52084400046', '美国通达国际贸易公司', '来料加工', '20240402', '20260401', '执行中'),
  ('DB1', 1, 'C23224300211', '上海申通模具科技有限公司', '进料加工', '20231105', '20251104', '执行中'),
  ('DB1', 2, 'C23224300219', '德国施密特机械有限公司', '进料加工', '20231208', '20251207', '执行中'),
  ('DB1', 3, 'B23224300045', '昆山华阳塑胶制品有限公司', '来料加工', '20240110', '20260109', '执行中'),
  ('DB1', 4, 'C23224300230', '无锡新区精工电子有限公司', '进料加工', '20240226', '20260225', '执行中'),
  ('DB1', 5, 'E23224300003', '昆山精密模具有限公司', '电子账册', '20220701', '20270630', '执行中'),
  ('TWDB01', 1, 'C35024300512', '厦门宏发电声股份有限公司', '进料加工', '20231016', '20251015', '执行中'),
  ('TWDB01', 2, 'C35024300527', '泉州恒安精密零件有限公司', '进料加工', '20240108', '20260107', '执行中'),
  ('TWDB01', 3, 'B35024300090', '台湾精密机械股份有限公司', '来料加工', '20240301', '20260228', '执行中');

-- Carry-over forms (lookup "CUSTG" kind "01"): deep-processing carry-over out (JZ01)
-- and in (JZ02) and remaining-material carry-over (YZ01). FORMNO is YYYYMM followed by
-- a five-digit running number; AUDIT is Y audited, N not audited, V void.
CREATE TABLE CUSTCARRYOVER (
  COMPANYKEY TEXT NOT NULL,
  FORMTYPE   TEXT NOT NULL CHECK (length(FORMTYPE) = 4),
  FORMNO     TEXT NOT NULL CHECK (length(FORMNO) = 11),
  FORMDATE   TEXT NOT NULL,   -- YYYYMMDD
  CONTRACTNO TEXT NOT NULL,
  PARTNER    TEXT NOT NULL,   -- the other enterprise of the carry-over
  QUANTITY   INTEGER NOT NULL,
  AMOUNT     REAL NOT NULL,   -- US dollars
  AUDIT      TEXT NOT NULL CHECK (AUDIT IN ('Y', 'N', 'V')),
  PRIMARY KEY (COMPANYKEY, FORMTYPE, FORMNO)
);

CREATE TABLE temp.PARTNERS (K INTEGER PRIMARY KEY, NAME TEXT NOT NULL);
INSERT INTO temp.PARTNERS VALUES
  (0, '东莞市长安精密五金有限公司'),
  (1, '惠州市德赛光电有限公司'),
  (2, '深圳市宝安区新桥电子厂'),
  (3, '广州番禺保税加工有限公司'),
  (4, '中山市火炬开发区华强电器有限公司'),
  (5, '珠海保税区鸿利电子有限公司');

-- 240 forms for SDTest60, 60 for DB1 and 30 for TWDB01, twenty a month through 2024.
INSERT INTO CUSTCARRYOVER
WITH RECURSIVE
  N(I) AS (SELECT 1 UNION ALL SELECT I + 1 FROM N WHERE I < 240),
  COMPANIES(COMPANYKEY, FORMS, CONTRACTS) AS (
    SELECT COMPANYKEY, CASE COMPANYKEY WHEN 'SDTest60' THEN 240 WHEN 'DB1' THEN 60 ELSE 30 END,
           COUNT(*)
    FROM CUSTCONTRACT GROUP BY COMPANYKEY)
SELECT C.COMPANYKEY,
       CASE N.I % 3 WHEN 1 THEN 'JZ01' WHEN 2 THEN 'JZ02' ELSE 'YZ01' END,
       printf('2024%02d%05d', (N.I - 1) / 20 % 12 + 1, N.I),
       printf('2024%02d%02d', (N.I - 1) / 20 % 12 + 1, (N.I * 7) % 28 + 1),
       (SELECT CONTRACTNO FROM CUSTCONTRACT K
        WHERE K.COMPANYKEY = C.COMPANYKEY AND K.SEQ = N.I % C.CONTRACTS + 1),
       (SELECT NAME FROM temp.PARTNERS WHERE K = N.I % 6),
       (N.I * 37) % 500 + 20,
       round(((N.I * 37) % 500 + 20) * (1.25 + (N.I % 9) * 0.35), 2),
       CASE WHEN N.I % 10 < 7 THEN 'Y' WHEN N.I % 10 < 9 THEN 'N' ELSE 'V' END
FROM COMPANIES C JOIN N ON N.I <= C.FORMS;

DROP TABLE temp.PARTNERS;

-- Common phrases of the phrase picker (GetPhrase); USERID '' means every user.
CREATE TABLE QMTPHRASE (
  COMPANYKEY TEXT NOT NULL,   -- '' for every company
  USERID     TEXT NOT NULL,
  SEQ        INTEGER NOT NULL,
  PHRASE     TEXT NOT NULL,
  PRIMARY KEY (COMPANYKEY, USERID, SEQ)
);

INSERT INTO QMTPHRASE VALUES
  ('', '', 1, '本报表仅供公司内部使用'),
  ('', '', 2, '数据截至上月月底'),
  ('', '', 3, '请于每月五日前完成结转核对'),
  ('SDTest60', '796', 1, '结转单已与对方企业核对无误'),
  ('SDTest60', '796', 2, '报关资料已提交海关审核');

-- The server's copies of the report server libraries, for the self-update check
-- (HostApp.GetFileList).
CREATE TABLE QMTFILELIST (
  FILENAME TEXT PRIMARY KEY,   -- lower case
  MODIFY   TEXT NOT NULL,      -- modification mark
  PATH     TEXT NOT NULL       -- the server's copy
);

INSERT INTO QMTFILELIST VALUES
  ('kxbr07s.so', '20240318102205', '\\ERPSERVER\Orvant\S_PKG\KXBR07S.so'),
  ('kxbr01s.so', '20240102083011', '\\ERPSERVER\Orvant\S_PKG\KXBR01S.so');

-- The message catalogue: the text of each coded message (type letter and six-digit
-- number) in simplified Chinese, traditional Chinese and English. Placeholders are
-- those of the form's Format ("%s", "%1:s"); each language uses the same arguments.
CREATE TABLE QMTMESSAGE (
  MSGTYPE TEXT NOT NULL CHECK (length(MSGTYPE) = 1),
  MSGNO   TEXT NOT NULL CHECK (length(MSGNO) = 6),
  CHS     TEXT NOT NULL,
  CHT     TEXT NOT NULL,
  ENG     TEXT NOT NULL,
  ARGS    TEXT NOT NULL,   -- what the arguments are, for maintainers
  PRIMARY KEY (MSGTYPE, MSGNO)
);

INSERT INTO QMTMESSAGE VALUES
  ('E', '000001', '资料检查错误：%s', '資料檢查錯誤：%s', 'Data check failed: %s',
   'reason (text of I 000008)'),
  ('E', '000005', '日期输入错误！%s', '日期輸入錯誤！%s', 'Invalid date. %s',
   'optional hint (texts of I 000009 and I 000010)'),
  ('E', '000006', '无法连接应用服务器，请检查服务器设置！', '無法連接應用伺服器，請檢查伺服器設定！',
   'Cannot connect to the application server. Please check the server settings.', ''),
  ('E', '000013', '服务器拒绝了作业请求：%s', '伺服器拒絕了作業請求：%s',
   'The server refused the job request: %s', 'the server''s error description'),
  ('E', '000015', '找不到系统注册信息（Software\QMT\Orvant），请重新安装客户端！',
   '找不到系統註冊資訊（Software\QMT\Orvant），請重新安裝用戶端！',
   'The registry key Software\QMT\Orvant is missing. Please reinstall the client.', ''),
  ('E', '000016', '未设置应用服务器，请在客户端设置中指定服务器！', '未設定應用伺服器，請在用戶端設定中指定伺服器！',
   'No application server is configured. Please name one in the client settings.', ''),
  ('E', '000030', '建立条件信息失败！%s', '建立條件資訊失敗！%s', 'The conditions could not be built. %s',
   'optional hint (text of I 000011)'),
  ('E', '000036', '报表画面与程序代号不符，无法开启！', '報表畫面與程式代號不符，無法開啟！',
   'The report form does not match the program code and cannot be opened.', ''),
  ('E', '000037', '必填条件尚未输入，请输入后再执行！', '必填條件尚未輸入，請輸入後再執行！',
   'A required condition is empty. Please fill it in first.', ''),
  ('E', '000038', '启动参数不足，无法开启报表！', '啟動參數不足，無法開啟報表！',
   'Too few start-up parameters: the report cannot be opened.', ''),
  ('E', '100082', '%s不可早于%s！', '%s不可早於%s！', '%s must not be earlier than %s.',
   'caption of the end date, caption of the start date'),
  ('W', '000002', '%s：应有 %s 项，实际上界为 %s！', '%s：應有 %s 項，實際上界為 %s！',
   '%s: %s items expected, but the upper bound is %s.', 'title, expected count, actual upper bound'),
  ('W', '000003', '%s：共 %s 项，第 %s 项未设置！', '%s：共 %s 項，第 %s 項未設定！',
   '%0:s: item %2:s of %1:s is not set.', 'title, count, index of the first empty item'),
  ('W', '000004', '%s，请重新输入！', '%s，請重新輸入！', '%s. Please enter it again.',
   'what is wrong (text of R 100235, R 100236 or I 000008)'),
  ('W', '000014', '自动填入失败：画面上找不到指定的栏位，或栏位不接受数值！',
   '自動填入失敗：畫面上找不到指定的欄位，或欄位不接受數值！',
   'Automatic fill failed: a named field is missing from the form or cannot take a value.', ''),
  ('I', '000003', '没有可处理的条件！', '沒有可處理的條件！', 'There are no conditions to process.', ''),
  ('I', '000004', '作业已提交，作业编号：%s', '作業已提交，作業編號：%s',
   'The job was submitted. Job number: %s', 'the job number'),
  ('I', '000005', '请至少选择一种报表生成选项！', '請至少選擇一種報表生成選項！',
   'Please choose at least one report output option.', ''),
  ('I', '000008', '在资料库中找不到符合的资料', '在資料庫中找不到符合的資料',
   'No matching data was found in the database', ''),
  ('I', '000009', '请检查生成日期及时间，', '請檢查生成日期及時間，', 'Please check the run date and time; ', ''),
  ('I', '000010', '日期须依公司设置的日期类型输入。', '日期須依公司設定的日期類型輸入。',
   'dates follow the company''s date display type.', ''),
  ('I', '000011', '请检查条件设置是否正确。', '請檢查條件設定是否正確。', 'Please check the conditions.', ''),
  ('R', '100235', '页脚编号不存在', '頁腳編號不存在', 'The page footer number does not exist', ''),
  ('R', '100236', '签核编号不存在', '簽核編號不存在', 'The sign-off number does not exist', ''),
  ('R', '200235', '开启方案失败：方案内容与画面不符！', '開啟方案失敗：方案內容與畫面不符！',
   'The scheme could not be opened: its values do not fit the form.', '');

COMMIT;
