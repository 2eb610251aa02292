-- ERP database, schema CDN (the ERP's own tables).

-- Contractors.
CREATE TABLE Kontrahenci (
    Knt_KntId        INT NOT NULL PRIMARY KEY,
    Knt_Nazwa1       NVARCHAR(50) NULL,
    Knt_Nazwa2       NVARCHAR(50) NULL,
    Knt_Miasto       NVARCHAR(40) NULL,
    Knt_KodPocztowy  VARCHAR(10) NULL,
    Knt_Ulica        NVARCHAR(40) NULL,
    Knt_NrDomu       NVARCHAR(10) NULL,
    Knt_NipE         VARCHAR(13) NULL
);
