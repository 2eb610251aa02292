-- ERP database, schema qadx: staging tables of the warehouse interface.
-- The warehouse document work adds its tables here.

-- Sequence of the staging rows, read as qadx.x7ln_mstr_seq.nextval.
-- NOTE: a sequence is a one-column, one-row table, as src/db/EmbeddedDatabase.h sets out.
CREATE TABLE x7ln_mstr_seq (Value INTEGER NOT NULL);
INSERT INTO x7ln_mstr_seq VALUES (0);
