-- The order-processing schema of the sample database, in MariaDB's dialect.
CREATE TABLE Customers (CustomerID CHAR(5) NOT NULL PRIMARY KEY, CompanyName VARCHAR(40) NOT NULL,
  ContactName VARCHAR(30), CreditLimit NUMERIC(10,2), IsActive BOOLEAN NOT NULL DEFAULT 1,
  CustomerSince DATETIME, Notes TEXT, FirstOrder DATE, CallAfter TIME);
CREATE TABLE Products (ProductID INTEGER AUTO_INCREMENT PRIMARY KEY, ProductName VARCHAR(40) NOT NULL,
  UnitPrice NUMERIC(10,2) NOT NULL, UnitsInStock SMALLINT, ReorderLevel TINYINT UNSIGNED, Weight FLOAT,
  Barcode BIGINT, Discontinued BIT(1) NOT NULL, Photo BLOB);
CREATE TABLE Orders (OrderID INTEGER AUTO_INCREMENT PRIMARY KEY, CustomerID CHAR(5) NOT NULL,
  OrderDate DATETIME NOT NULL, Freight DOUBLE, `Ship Name` VARCHAR(40),
  FOREIGN KEY (CustomerID) REFERENCES Customers (CustomerID));
CREATE TABLE `Order Details` (OrderID INTEGER NOT NULL, ProductID INTEGER NOT NULL,
  UnitPrice NUMERIC(10,2) NOT NULL, Quantity SMALLINT NOT NULL, PRIMARY KEY (OrderID, ProductID));
CREATE TABLE Order_Details (A INTEGER);
CREATE TABLE USERS (X INTEGER);
CREATE TABLE USER_ (Y INTEGER);
CREATE VIEW OrderTotals AS SELECT OrderID, SUM(UnitPrice * Quantity) AS Total FROM `Order Details`
  GROUP BY OrderID;
