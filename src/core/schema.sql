-- The database of the program. The build turns this file into the empty
-- template "hxdataE97.mdb"; the program copies the template to
-- "hxdata97.mdb" when the program folder has no database.
--
-- The file stays an ordinary SQLite database: nothing here names a
-- collation or function that only this program knows, so the sqlite3
-- shell and other tools can read, change and check it.
--
-- Names the program lists in name order carry a key column beside them
-- (anthemkey beside Anthem, and so on): the name upper-cased, accents
-- taken off and the upper-cased name added when they differ (see
-- Db::nameKey). Keys compare as plain text, so an ordinary index on a key
-- gives the case-blind name order, for all of Unicode. The program writes
-- every key itself and fills the keys missing from rows other tools have
-- added; a trigger clears the key of a name that another tool changes
-- without it, so the next start fills it anew. The triggers compare names
-- with SQLite's own upper(), which only knows ASCII, and the program
-- leaves upper() so on its connections: a name whose upper() is unchanged
-- has the same key, and a name the program changes only in the case of a
-- letter beyond ASCII ('ölberg' to 'Ölberg') has its key cleared here and
-- set again at once by the program's temporary triggers
-- (Db::installKeyTriggers).
--
-- Dates are ISO text "yyyy-MM-dd"; Yes/No columns hold -1 (true) or 0.
-- Keys are AUTOINCREMENT so an id is never given out twice.

CREATE TABLE anthem (
  anthemid INTEGER PRIMARY KEY AUTOINCREMENT,
  Anthem TEXT,
  Catalog TEXT,
  Location TEXT,
  Memo1 TEXT,
  Memo2 TEXT,
  Pages TEXT,
  LoanedTo TEXT,
  PerformTime TEXT,
  u1 TEXT,
  u2 TEXT,
  u3 TEXT,
  u4 TEXT,
  u5 TEXT,
  DatePurchased TEXT,
  CostPerCopy REAL DEFAULT 0,
  NumCopies INTEGER DEFAULT 0,
  collectionid INTEGER DEFAULT 0,
  displayit INTEGER NOT NULL DEFAULT 0 CHECK (displayit IN (-1, 0)),
  anthemkey TEXT
);
CREATE INDEX anthem_name ON anthem (anthemkey, anthemid, Anthem);
CREATE TRIGGER anthem_anthemkey_stale AFTER UPDATE OF Anthem ON anthem
  WHEN new.anthemkey IS old.anthemkey AND upper(new.Anthem) IS NOT upper(old.Anthem)
  BEGIN UPDATE anthem SET anthemkey = NULL WHERE anthemid = new.anthemid AND anthemkey IS old.anthemkey; END;
CREATE INDEX anthem_collection ON anthem (collectionid);
CREATE INDEX anthem_displayit ON anthem (displayit);

CREATE TABLE collection (
  collectionid INTEGER PRIMARY KEY AUTOINCREMENT,
  Collection TEXT,
  Catalog TEXT,
  Location TEXT,
  Memo1 TEXT,
  Pages TEXT,
  LoanedTo TEXT,
  PerformTime TEXT,
  u1 TEXT,
  u2 TEXT,
  u3 TEXT,
  u4 TEXT,
  u5 TEXT,
  DatePurchased TEXT,
  CostPerCopy REAL DEFAULT 0,
  NumCopies INTEGER DEFAULT 0,
  displayit INTEGER NOT NULL DEFAULT 0 CHECK (displayit IN (-1, 0)),
  collectionkey TEXT
);
CREATE INDEX collection_name ON collection (collectionkey, collectionid, Collection);
CREATE TRIGGER collection_collectionkey_stale AFTER UPDATE OF Collection ON collection
  WHEN new.collectionkey IS old.collectionkey AND upper(new.Collection) IS NOT upper(old.Collection)
  BEGIN UPDATE collection SET collectionkey = NULL WHERE collectionid = new.collectionid AND collectionkey IS old.collectionkey; END;

CREATE TABLE member (
  memberid INTEGER PRIMARY KEY AUTOINCREMENT,
  LName TEXT,
  FName TEXT,
  MName TEXT,
  Street1 TEXT,
  Street2 TEXT,
  State TEXT,
  CityID INTEGER DEFAULT 0,
  ZipID INTEGER DEFAULT 0,
  SchoolID INTEGER DEFAULT 0,
  HPhone TEXT,
  CPhone TEXT,
  FPhone TEXT,
  grade TEXT,
  Age INTEGER,
  Sex INTEGER DEFAULT 0,
  Parent TEXT,
  Email TEXT,
  Memo1 TEXT,
  u1 TEXT,
  u2 TEXT,
  u3 TEXT,
  u4 TEXT,
  u5 TEXT,
  Birthday TEXT,
  Aniversary TEXT,
  displayit INTEGER NOT NULL DEFAULT 0 CHECK (displayit IN (-1, 0)),
  lnamekey TEXT,
  fnamekey TEXT,
  mnamekey TEXT
);
CREATE INDEX member_name ON member (lnamekey, fnamekey, mnamekey);
CREATE TRIGGER member_lnamekey_stale AFTER UPDATE OF LName ON member
  WHEN new.lnamekey IS old.lnamekey AND upper(new.LName) IS NOT upper(old.LName)
  BEGIN UPDATE member SET lnamekey = NULL WHERE memberid = new.memberid AND lnamekey IS old.lnamekey; END;
CREATE TRIGGER member_fnamekey_stale AFTER UPDATE OF FName ON member
  WHEN new.fnamekey IS old.fnamekey AND upper(new.FName) IS NOT upper(old.FName)
  BEGIN UPDATE member SET fnamekey = NULL WHERE memberid = new.memberid AND fnamekey IS old.fnamekey; END;
CREATE TRIGGER member_mnamekey_stale AFTER UPDATE OF MName ON member
  WHEN new.mnamekey IS old.mnamekey AND upper(new.MName) IS NOT upper(old.MName)
  BEGIN UPDATE member SET mnamekey = NULL WHERE memberid = new.memberid AND mnamekey IS old.mnamekey; END;
CREATE INDEX member_city ON member (CityID);
CREATE INDEX member_zip ON member (ZipID);
CREATE INDEX member_school ON member (SchoolID);

CREATE TABLE themes (
  themeid INTEGER PRIMARY KEY AUTOINCREMENT,
  theme TEXT,
  Description TEXT,
  themekey TEXT
);
CREATE INDEX themes_name ON themes (themekey);
CREATE TRIGGER themes_themekey_stale AFTER UPDATE OF theme ON themes
  WHEN new.themekey IS old.themekey AND upper(new.theme) IS NOT upper(old.theme)
  BEGIN UPDATE themes SET themekey = NULL WHERE themeid = new.themeid AND themekey IS old.themekey; END;

CREATE TABLE vocals (
  vocalsid INTEGER PRIMARY KEY AUTOINCREMENT,
  vocals TEXT,
  vocalskey TEXT
);
CREATE INDEX vocals_name ON vocals (vocalskey);
CREATE TRIGGER vocals_vocalskey_stale AFTER UPDATE OF vocals ON vocals
  WHEN new.vocalskey IS old.vocalskey AND upper(new.vocals) IS NOT upper(old.vocals)
  BEGIN UPDATE vocals SET vocalskey = NULL WHERE vocalsid = new.vocalsid AND vocalskey IS old.vocalskey; END;

CREATE TABLE composer (
  composerid INTEGER PRIMARY KEY AUTOINCREMENT,
  composer TEXT,
  composerkey TEXT
);
CREATE INDEX composer_name ON composer (composerkey);
CREATE TRIGGER composer_composerkey_stale AFTER UPDATE OF composer ON composer
  WHEN new.composerkey IS old.composerkey AND upper(new.composer) IS NOT upper(old.composer)
  BEGIN UPDATE composer SET composerkey = NULL WHERE composerid = new.composerid AND composerkey IS old.composerkey; END;

CREATE TABLE orchestration (
  orchid INTEGER PRIMARY KEY AUTOINCREMENT,
  orchestration TEXT,
  orchestrationkey TEXT
);
CREATE INDEX orchestration_name ON orchestration (orchestrationkey);
CREATE TRIGGER orchestration_orchestrationkey_stale AFTER UPDATE OF orchestration ON orchestration
  WHEN new.orchestrationkey IS old.orchestrationkey AND upper(new.orchestration) IS NOT upper(old.orchestration)
  BEGIN UPDATE orchestration SET orchestrationkey = NULL WHERE orchid = new.orchid AND orchestrationkey IS old.orchestrationkey; END;

CREATE TABLE choir (
  ChoirID INTEGER PRIMARY KEY AUTOINCREMENT,
  choir TEXT,
  Description TEXT,
  info TEXT,
  choirkey TEXT
);
CREATE INDEX choir_name ON choir (choirkey);
CREATE TRIGGER choir_choirkey_stale AFTER UPDATE OF choir ON choir
  WHEN new.choirkey IS old.choirkey AND upper(new.choir) IS NOT upper(old.choir)
  BEGIN UPDATE choir SET choirkey = NULL WHERE ChoirID = new.ChoirID AND choirkey IS old.choirkey; END;

CREATE TABLE vocalsm (
  vocalsmid INTEGER PRIMARY KEY AUTOINCREMENT,
  vocals TEXT,
  vocalskey TEXT
);
CREATE INDEX vocalsm_name ON vocalsm (vocalskey);
CREATE TRIGGER vocalsm_vocalskey_stale AFTER UPDATE OF vocals ON vocalsm
  WHEN new.vocalskey IS old.vocalskey AND upper(new.vocals) IS NOT upper(old.vocals)
  BEGIN UPDATE vocalsm SET vocalskey = NULL WHERE vocalsmid = new.vocalsmid AND vocalskey IS old.vocalskey; END;

CREATE TABLE city (
  CityID INTEGER PRIMARY KEY AUTOINCREMENT,
  City TEXT,
  citykey TEXT
);
CREATE INDEX city_name ON city (citykey);
CREATE TRIGGER city_citykey_stale AFTER UPDATE OF City ON city
  WHEN new.citykey IS old.citykey AND upper(new.City) IS NOT upper(old.City)
  BEGIN UPDATE city SET citykey = NULL WHERE CityID = new.CityID AND citykey IS old.citykey; END;

CREATE TABLE zip (
  ZipID INTEGER PRIMARY KEY AUTOINCREMENT,
  Zip TEXT,
  zipkey TEXT
);
CREATE INDEX zip_name ON zip (zipkey);
CREATE TRIGGER zip_zipkey_stale AFTER UPDATE OF Zip ON zip
  WHEN new.zipkey IS old.zipkey AND upper(new.Zip) IS NOT upper(old.Zip)
  BEGIN UPDATE zip SET zipkey = NULL WHERE ZipID = new.ZipID AND zipkey IS old.zipkey; END;

CREATE TABLE school (
  SchoolID INTEGER PRIMARY KEY AUTOINCREMENT,
  School TEXT,
  schoolkey TEXT
);
CREATE INDEX school_name ON school (schoolkey);
CREATE TRIGGER school_schoolkey_stale AFTER UPDATE OF School ON school
  WHEN new.schoolkey IS old.schoolkey AND upper(new.School) IS NOT upper(old.School)
  BEGIN UPDATE school SET schoolkey = NULL WHERE SchoolID = new.SchoolID AND schoolkey IS old.schoolkey; END;

CREATE TABLE state (
  statea TEXT COLLATE NOCASE
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
  AMPM TEXT COLLATE NOCASE,
  call INTEGER NOT NULL DEFAULT 0 CHECK (call IN (-1, 0)),
  Anthem INTEGER NOT NULL DEFAULT 0 CHECK (Anthem IN (-1, 0)),
  Offertory INTEGER NOT NULL DEFAULT 0 CHECK (Offertory IN (-1, 0)),
  Benediction INTEGER NOT NULL DEFAULT 0 CHECK (Benediction IN (-1, 0)),
  other TEXT,
  collectionid INTEGER DEFAULT 0,
  anthemid INTEGER DEFAULT 0
);
CREATE INDEX schedule_date ON schedule (SchedDate, AMPM);
CREATE INDEX schedule_choir ON schedule (ChoirID);
CREATE INDEX schedule_anthem ON schedule (anthemid);
CREATE INDEX schedule_collection ON schedule (collectionid);

CREATE TABLE schednotes (
  SchedDate TEXT,
  AMPM TEXT COLLATE NOCASE,
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
  other TEXT
);
CREATE INDEX a_lperform_anthem ON a_lperform (anthemid, Lperform);
CREATE INDEX a_lperform_choir ON a_lperform (ChoirID);

CREATE TABLE col_lperform (
  RNum INTEGER PRIMARY KEY AUTOINCREMENT,
  Lperform TEXT,
  collectionid INTEGER DEFAULT 0,
  ChoirID INTEGER DEFAULT 0,
  other TEXT
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

-- Fixed rows.
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
