-- ERP database, schema dbo: the exchange table the ERP side fills with the
-- records waiting for transfer.
CREATE TABLE Wymiana_Danych (
    Id             INT NOT NULL PRIMARY KEY,
    Id_obiektu     INT NULL,
    Typ_obiektu    VARCHAR(50) NULL,
    Data_operacji  DATETIME NULL,
    Num1           INT NULL,
    Num2           INT NULL,
    Num3           DECIMAL(18,4) NULL
);
CREATE INDEX Wymiana_Danych_Typ ON Wymiana_Danych (Typ_obiektu, Id_obiektu);
