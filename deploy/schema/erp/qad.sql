-- ERP database, schema qad: master tables read by the warehouse interface's
-- checks. The u## columns hold the upper-cased keys.
CREATE TABLE pt_mstr (
    pt_part     VARCHAR(30) NOT NULL PRIMARY KEY,
    "u##pt_part" VARCHAR(30) NOT NULL
);
CREATE INDEX pt_mstr_u ON pt_mstr ("u##pt_part");

CREATE TABLE cm_mstr (
    cm_addr     VARCHAR(30) NOT NULL PRIMARY KEY,
    "u##cm_addr" VARCHAR(30) NOT NULL
);
CREATE INDEX cm_mstr_u ON cm_mstr ("u##cm_addr");

CREATE TABLE sp_mstr (
    sp_addr     VARCHAR(30) NOT NULL PRIMARY KEY,
    "u##sp_addr" VARCHAR(30) NOT NULL
);
CREATE INDEX sp_mstr_u ON sp_mstr ("u##sp_addr");
