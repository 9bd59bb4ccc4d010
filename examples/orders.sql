-- The sample database: a small order-processing schema for SQLite.
-- The build turns it into orders.db (sqlite3 orders.db < orders.sql), which
-- the command-line tool reads through the SQLite3 ODBC driver:
--   Driver=SQLite3;Database=build/examples/orders.db
--
-- It has something of every kind the generators treat differently: text,
-- whole and fractional numbers, Booleans, date-times, binary data; nullable
-- and non-nullable columns; a single, a composite and an auto-number key; a
-- table and a column whose names hold a space; a table whose name starts
-- with a lower-case letter; and a view, which the table page leaves out.
-- Dates are DATETIME columns: the generated classes quote date-times, while
-- a plain DATE column would be written into their SQL unquoted.

PRAGMA foreign_keys = ON;

CREATE TABLE Customers (
    CustomerID     CHAR(5)        NOT NULL PRIMARY KEY,
    CompanyName    VARCHAR(40)    NOT NULL,
    ContactName    VARCHAR(30),
    Phone          VARCHAR(24),
    CreditLimit    NUMERIC(10,2),
    IsActive       BOOLEAN        NOT NULL DEFAULT 1,
    CustomerSince  DATETIME,
    Notes          TEXT
);

CREATE TABLE Employees (
    EmployeeID     INTEGER        PRIMARY KEY AUTOINCREMENT,
    LastName       VARCHAR(20)    NOT NULL,
    FirstName      VARCHAR(10)    NOT NULL,
    HireDate       DATETIME,
    ReportsTo      INTEGER        REFERENCES Employees (EmployeeID),
    Photo          BLOB
);

-- A name that starts with a lower-case letter.
CREATE TABLE shippers (
    ShipperID      INTEGER        PRIMARY KEY AUTOINCREMENT,
    CompanyName    VARCHAR(40)    NOT NULL,
    Phone          VARCHAR(24)
);

CREATE TABLE Products (
    ProductID        INTEGER        PRIMARY KEY AUTOINCREMENT,
    ProductName      VARCHAR(40)    NOT NULL,
    QuantityPerUnit  VARCHAR(20),
    UnitPrice        NUMERIC(10,2)  NOT NULL DEFAULT 0,
    UnitsInStock     SMALLINT,
    ReorderLevel     TINYINT,
    Weight           REAL,
    Barcode          BIGINT,
    Discontinued     BOOLEAN        NOT NULL DEFAULT 0
);

CREATE TABLE Orders (
    OrderID        INTEGER        PRIMARY KEY AUTOINCREMENT,
    CustomerID     CHAR(5)        NOT NULL REFERENCES Customers (CustomerID),
    EmployeeID     INTEGER        REFERENCES Employees (EmployeeID),
    OrderDate      DATETIME       NOT NULL,
    ShippedDate    DATETIME,
    ShipVia        INTEGER        REFERENCES shippers (ShipperID),
    Freight        DOUBLE,
    "Ship Name"    VARCHAR(40),
    Comments       TEXT
);

-- A composite key, and a name with a space.
CREATE TABLE "Order Details" (
    OrderID        INTEGER        NOT NULL REFERENCES Orders (OrderID),
    ProductID      INTEGER        NOT NULL REFERENCES Products (ProductID),
    UnitPrice      NUMERIC(10,2)  NOT NULL,
    Quantity       SMALLINT       NOT NULL DEFAULT 1,
    Discount       REAL           NOT NULL DEFAULT 0,
    PRIMARY KEY (OrderID, ProductID)
);

CREATE VIEW "Order Totals" AS
    SELECT o.OrderID, o.CustomerID, SUM(d.UnitPrice * d.Quantity * (1 - d.Discount)) AS Total
    FROM Orders o JOIN "Order Details" d ON d.OrderID = o.OrderID
    GROUP BY o.OrderID, o.CustomerID;

INSERT INTO Customers VALUES
    ('ALFKI', 'Alfreds Futterkiste', 'Maria Anders', '030-0074321', 5000.00, 1, '2019-08-25 00:00:00', NULL),
    ('BONAP', 'Bon app''', 'Laurence Lebihan', '91.24.45.40', 12500.50, 1, '2020-03-01 09:30:00', 'Pays on delivery'),
    ('OCEAN', 'Océano Atlántico Ltda.', NULL, NULL, NULL, 0, NULL, NULL);

INSERT INTO Employees (LastName, FirstName, HireDate, ReportsTo, Photo) VALUES
    ('Fuller', 'Andrew', '2018-08-14 00:00:00', NULL, NULL),
    ('Davolio', 'Nancy', '2019-05-01 00:00:00', 1, X'89504E47');

INSERT INTO shippers (CompanyName, Phone) VALUES
    ('Speedy Express', '(503) 555-9831'),
    ('United Package', '(503) 555-3199');

INSERT INTO Products (ProductName, QuantityPerUnit, UnitPrice, UnitsInStock, ReorderLevel, Weight, Barcode, Discontinued) VALUES
    ('Chai', '10 boxes x 20 bags', 18.00, 39, 10, 0.5, 4006381333931, 0),
    ('Aniseed Syrup', '12 - 550 ml bottles', 10.00, 13, 25, 6.6, NULL, 0),
    ('Mishi Kobe Niku', '18 - 500 g pkgs.', 97.00, 29, 0, 9.0, NULL, 1);

INSERT INTO Orders (CustomerID, EmployeeID, OrderDate, ShippedDate, ShipVia, Freight, "Ship Name", Comments) VALUES
    ('ALFKI', 2, '2026-11-02 10:15:00', '2026-11-05 16:00:00', 1, 29.46, 'Alfreds Futterkiste', NULL),
    ('BONAP', 1, '2026-11-20 14:00:00', NULL, 2, 8.53, 'Bon app''', 'Ring twice');

INSERT INTO "Order Details" VALUES
    (1, 1, 18.00, 12, 0),
    (1, 2, 10.00, 10, 0.05),
    (2, 3, 97.00, 1, 0);
