#pragma once
// The schema as the program wrote it before the name keys: every text
// column declared with the program's own UNOCASE collation, which
// ordinary SQLite tools do not know. The tests and the conversion
// benchmark make their files of the previous format from it.

inline const char *const kPreviousSchema = R"sql(
CREATE TABLE anthem (
  anthemid INTEGER PRIMARY KEY AUTOINCREMENT,
  Anthem TEXT COLLATE UNOCASE,
  Catalog TEXT COLLATE UNOCASE,
  Location TEXT COLLATE UNOCASE,
  Memo1 TEXT COLLATE UNOCASE,
  Memo2 TEXT COLLATE UNOCASE,
  Pages TEXT COLLATE UNOCASE,
  LoanedTo TEXT COLLATE UNOCASE,
  PerformTime TEXT COLLATE UNOCASE,
  u1 TEXT COLLATE UNOCASE,
  u2 TEXT COLLATE UNOCASE,
  u3 TEXT COLLATE UNOCASE,
  u4 TEXT COLLATE UNOCASE,
  u5 TEXT COLLATE UNOCASE,
  DatePurchased TEXT,
  CostPerCopy REAL DEFAULT 0,
  NumCopies INTEGER DEFAULT 0,
  collectionid INTEGER DEFAULT 0,
  displayit INTEGER NOT NULL DEFAULT 0 CHECK (displayit IN (-1, 0))
);
CREATE INDEX anthem_name ON anthem (Anthem);
CREATE INDEX anthem_collection ON anthem (collectionid);
CREATE INDEX anthem_displayit ON anthem (displayit);

CREATE TABLE collection (
  collectionid INTEGER PRIMARY KEY AUTOINCREMENT,
  Collection TEXT COLLATE UNOCASE,
  Catalog TEXT COLLATE UNOCASE,
  Location TEXT COLLATE UNOCASE,
  Memo1 TEXT COLLATE UNOCASE,
  Pages TEXT COLLATE UNOCASE,
  LoanedTo TEXT COLLATE UNOCASE,
  PerformTime TEXT COLLATE UNOCASE,
  u1 TEXT COLLATE UNOCASE,
  u2 TEXT COLLATE UNOCASE,
  u3 TEXT COLLATE UNOCASE,
  u4 TEXT COLLATE UNOCASE,
  u5 TEXT COLLATE UNOCASE,
  DatePurchased TEXT,
  CostPerCopy REAL DEFAULT 0,
  NumCopies INTEGER DEFAULT 0,
  displayit INTEGER NOT NULL DEFAULT 0 CHECK (displayit IN (-1, 0))
);
CREATE INDEX collection_name ON collection (Collection);

CREATE TABLE member (
  memberid INTEGER PRIMARY KEY AUTOINCREMENT,
  LName TEXT COLLATE UNOCASE,
  FName TEXT COLLATE UNOCASE,
  MName TEXT COLLATE UNOCASE,
  Street1 TEXT COLLATE UNOCASE,
  Street2 TEXT COLLATE UNOCASE,
  State TEXT COLLATE UNOCASE,
  CityID INTEGER DEFAULT 0,
  ZipID INTEGER DEFAULT 0,
  SchoolID INTEGER DEFAULT 0,
  HPhone TEXT COLLATE UNOCASE,
  CPhone TEXT COLLATE UNOCASE,
  FPhone TEXT COLLATE UNOCASE,
  grade TEXT COLLATE UNOCASE,
  Age INTEGER,
  Sex INTEGER DEFAULT 0,
  Parent TEXT COLLATE UNOCASE,
  Email TEXT COLLATE UNOCASE,
  Memo1 TEXT COLLATE UNOCASE,
  u1 TEXT COLLATE UNOCASE,
  u2 TEXT COLLATE UNOCASE,
  u3 TEXT COLLATE UNOCASE,
  u4 TEXT COLLATE UNOCASE,
  u5 TEXT COLLATE UNOCASE,
  Birthday TEXT,
  Aniversary TEXT,
  displayit INTEGER NOT NULL DEFAULT 0 CHECK (displayit IN (-1, 0))
);
CREATE INDEX member_name ON member (LName, FName);
CREATE INDEX member_city ON member (CityID);
CREATE INDEX member_zip ON member (ZipID);
CREATE INDEX member_school ON member (SchoolID);

CREATE TABLE themes (
  themeid INTEGER PRIMARY KEY AUTOINCREMENT,
  theme TEXT COLLATE UNOCASE,
  Description TEXT COLLATE UNOCASE
);
CREATE INDEX themes_name ON themes (theme);

CREATE TABLE vocals (
  vocalsid INTEGER PRIMARY KEY AUTOINCREMENT,
  vocals TEXT COLLATE UNOCASE
);
CREATE INDEX vocals_name ON vocals (vocals);

CREATE TABLE composer (
  composerid INTEGER PRIMARY KEY AUTOINCREMENT,
  composer TEXT COLLATE UNOCASE
);
CREATE INDEX composer_name ON composer (composer);

CREATE TABLE orchestration (
  orchid INTEGER PRIMARY KEY AUTOINCREMENT,
  orchestration TEXT COLLATE UNOCASE
);
CREATE INDEX orchestration_name ON orchestration (orchestration);

CREATE TABLE choir (
  ChoirID INTEGER PRIMARY KEY AUTOINCREMENT,
  choir TEXT COLLATE UNOCASE,
  Description TEXT COLLATE UNOCASE,
  info TEXT
);
CREATE INDEX choir_name ON choir (choir);

CREATE TABLE vocalsm (
  vocalsmid INTEGER PRIMARY KEY AUTOINCREMENT,
  vocals TEXT COLLATE UNOCASE
);
CREATE INDEX vocalsm_name ON vocalsm (vocals);

CREATE TABLE city (
  CityID INTEGER PRIMARY KEY AUTOINCREMENT,
  City TEXT COLLATE UNOCASE
);
CREATE INDEX city_name ON city (City);

CREATE TABLE zip (
  ZipID INTEGER PRIMARY KEY AUTOINCREMENT,
  Zip TEXT COLLATE UNOCASE
);
CREATE INDEX zip_name ON zip (Zip);

CREATE TABLE school (
  SchoolID INTEGER PRIMARY KEY AUTOINCREMENT,
  School TEXT COLLATE UNOCASE
);
CREATE INDEX school_name ON school (School);

CREATE TABLE state (
  statea TEXT COLLATE UNOCASE
);

CREATE TABLE labels (
  datatype INTEGER NOT NULL UNIQUE,
  label1 TEXT,
  label2 TEXT,
  label3 TEXT,
  label4 TEXT,
  label5 TEXT
);

CREATE TABLE schedule (
  schedid INTEGER PRIMARY KEY AUTOINCREMENT,
  ChoirID INTEGER DEFAULT 0,
  SchedDate TEXT,
  AMPM TEXT COLLATE UNOCASE,
  call INTEGER NOT NULL DEFAULT 0 CHECK (call IN (-1, 0)),
  Anthem INTEGER NOT NULL DEFAULT 0 CHECK (Anthem IN (-1, 0)),
  Offertory INTEGER NOT NULL DEFAULT 0 CHECK (Offertory IN (-1, 0)),
  Benediction INTEGER NOT NULL DEFAULT 0 CHECK (Benediction IN (-1, 0)),
  other TEXT COLLATE UNOCASE,
  collectionid INTEGER DEFAULT 0,
  anthemid INTEGER DEFAULT 0
);
CREATE INDEX schedule_date ON schedule (SchedDate, AMPM);
CREATE INDEX schedule_choir ON schedule (ChoirID);
CREATE INDEX schedule_anthem ON schedule (anthemid);
CREATE INDEX schedule_collection ON schedule (collectionid);

CREATE TABLE schednotes (
  SchedDate TEXT,
  AMPM TEXT COLLATE UNOCASE,
  notes TEXT
);
CREATE INDEX schednotes_date ON schednotes (SchedDate, AMPM);

CREATE TABLE schedinfo (
  info TEXT,
  ChoirID INTEGER DEFAULT 0
);

CREATE TABLE a_lperform (
  RNum INTEGER PRIMARY KEY AUTOINCREMENT,
  Lperform TEXT,
  anthemid INTEGER DEFAULT 0,
  ChoirID INTEGER DEFAULT 0,
  other TEXT COLLATE UNOCASE
);
CREATE INDEX a_lperform_anthem ON a_lperform (anthemid, Lperform);
CREATE INDEX a_lperform_choir ON a_lperform (ChoirID);

CREATE TABLE col_lperform (
  RNum INTEGER PRIMARY KEY AUTOINCREMENT,
  Lperform TEXT,
  collectionid INTEGER DEFAULT 0,
  ChoirID INTEGER DEFAULT 0,
  other TEXT COLLATE UNOCASE
);
CREATE INDEX col_lperform_collection ON col_lperform (collectionid, Lperform);
CREATE INDEX col_lperform_choir ON col_lperform (ChoirID);

CREATE TABLE a_th_l (anthemid INTEGER NOT NULL, themeid INTEGER NOT NULL);
CREATE INDEX a_th_l_owner ON a_th_l (anthemid, themeid);
CREATE INDEX a_th_l_item ON a_th_l (themeid, anthemid);

CREATE TABLE a_chr_l (anthemid INTEGER NOT NULL, choirid INTEGER NOT NULL);
CREATE INDEX a_chr_l_owner ON a_chr_l (anthemid, choirid);
CREATE INDEX a_chr_l_item ON a_chr_l (choirid, anthemid);

CREATE TABLE a_orch_l (anthemid INTEGER NOT NULL, orchid INTEGER NOT NULL);
CREATE INDEX a_orch_l_owner ON a_orch_l (anthemid, orchid);
CREATE INDEX a_orch_l_item ON a_orch_l (orchid, anthemid);

CREATE TABLE a_com_l (anthemid INTEGER NOT NULL, composerid INTEGER NOT NULL);
CREATE INDEX a_com_l_owner ON a_com_l (anthemid, composerid);
CREATE INDEX a_com_l_item ON a_com_l (composerid, anthemid);

CREATE TABLE a_v_l (anthemid INTEGER NOT NULL, vocalsid INTEGER NOT NULL);
CREATE INDEX a_v_l_owner ON a_v_l (anthemid, vocalsid);
CREATE INDEX a_v_l_item ON a_v_l (vocalsid, anthemid);

CREATE TABLE col_th_l (collectionid INTEGER NOT NULL, themeid INTEGER NOT NULL);
CREATE INDEX col_th_l_owner ON col_th_l (collectionid, themeid);
CREATE INDEX col_th_l_item ON col_th_l (themeid, collectionid);

CREATE TABLE col_chr_l (collectionid INTEGER NOT NULL, choirid INTEGER NOT NULL);
CREATE INDEX col_chr_l_owner ON col_chr_l (collectionid, choirid);
CREATE INDEX col_chr_l_item ON col_chr_l (choirid, collectionid);

CREATE TABLE col_orch_l (collectionid INTEGER NOT NULL, orchid INTEGER NOT NULL);
CREATE INDEX col_orch_l_owner ON col_orch_l (collectionid, orchid);
CREATE INDEX col_orch_l_item ON col_orch_l (orchid, collectionid);

CREATE TABLE col_com_l (collectionid INTEGER NOT NULL, composerid INTEGER NOT NULL);
CREATE INDEX col_com_l_owner ON col_com_l (collectionid, composerid);
CREATE INDEX col_com_l_item ON col_com_l (composerid, collectionid);

CREATE TABLE col_v_l (collectionid INTEGER NOT NULL, vocalsid INTEGER NOT NULL);
CREATE INDEX col_v_l_owner ON col_v_l (collectionid, vocalsid);
CREATE INDEX col_v_l_item ON col_v_l (vocalsid, collectionid);

CREATE TABLE chr_m_l (
  memberid INTEGER NOT NULL,
  choirid INTEGER NOT NULL,
  isactive INTEGER NOT NULL DEFAULT 0 CHECK (isactive IN (-1, 0))
);
CREATE INDEX chr_m_l_owner ON chr_m_l (memberid, choirid);
CREATE INDEX chr_m_l_item ON chr_m_l (choirid, memberid);

CREATE TABLE m_vm_l (memberid INTEGER NOT NULL, vocalsmid INTEGER NOT NULL);
CREATE INDEX m_vm_l_owner ON m_vm_l (memberid, vocalsmid);
CREATE INDEX m_vm_l_item ON m_vm_l (vocalsmid, memberid);

CREATE TABLE m_orch_l (memberid INTEGER NOT NULL, orchid INTEGER NOT NULL);
CREATE INDEX m_orch_l_owner ON m_orch_l (memberid, orchid);
CREATE INDEX m_orch_l_item ON m_orch_l (orchid, memberid);

INSERT INTO labels (datatype, label1, label2, label3, label4, label5) VALUES
  (1, 'My Field 1', 'My Field 2', 'My Field 3', 'My Field 4', 'My Field 5'),
  (2, 'My Field 1', 'My Field 2', 'My Field 3', 'My Field 4', 'My Field 5'),
  (3, 'My Field 1', 'My Field 2', 'My Field 3', 'My Field 4', 'My Field 5');

INSERT INTO state (statea) VALUES
  ('AK'), ('AL'), ('AR'), ('AZ'), ('CA'), ('CO'), ('CT'), ('DC'), ('DE'), ('FL'),
  ('GA'), ('HI'), ('IA'), ('ID'), ('IL'), ('IN'), ('KS'), ('KY'), ('LA'), ('MA'),
  ('MD'), ('ME'), ('MI'), ('MN'), ('MO'), ('MS'), ('MT'), ('NC'), ('ND'), ('NE'),
  ('NH'), ('NJ'), ('NM'), ('NV'), ('NY'), ('OH'), ('OK'), ('OR'), ('PA'), ('RI'),
  ('SC'), ('SD'), ('TN'), ('TX'), ('UT'), ('VA'), ('VT'), ('WA'), ('WI'), ('WV'),
  ('WY');
)sql";
