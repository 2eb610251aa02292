-- ERP database, schema qadx: staging tables of the warehouse interface.
-- The warehouse document work adds them; the file exists so that every
-- schema of the ERP database has its SQLite file.
SELECT 1;
