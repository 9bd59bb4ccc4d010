-- The order-processing schema of the sample database, in PostgreSQL's
-- dialect: unquoted names (which PostgreSQL keeps in lower case) except the
-- ones with a space and the pattern cases.
CREATE TABLE customers (customerid CHAR(5) NOT NULL PRIMARY KEY, companyname VARCHAR(40) NOT NULL,
  contactname VARCHAR(30), creditlimit NUMERIC(10,2), isactive BOOLEAN NOT NULL DEFAULT TRUE,
  customersince TIMESTAMP, notes TEXT, firstorder DATE, callafter TIME);
CREATE TABLE products (productid SERIAL PRIMARY KEY, productname VARCHAR(40) NOT NULL,
  unitprice NUMERIC(10,2) NOT NULL, unitsinstock SMALLINT, reorderlevel NUMERIC(4,0), weight REAL,
  barcode BIGINT, discontinued BOOLEAN NOT NULL, photo BYTEA, code UUID);
CREATE TABLE orders (orderid SERIAL PRIMARY KEY, customerid CHAR(5) NOT NULL REFERENCES customers,
  orderdate TIMESTAMP NOT NULL, freight DOUBLE PRECISION, "Ship Name" VARCHAR(40));
CREATE TABLE "Order Details" (orderid INTEGER NOT NULL, productid INTEGER NOT NULL,
  unitprice NUMERIC(10,2) NOT NULL, quantity SMALLINT NOT NULL, PRIMARY KEY (orderid, productid));
CREATE TABLE "Order_Details" (a INTEGER);
CREATE TABLE "USERS" (x INTEGER);
CREATE TABLE "USER_" (y INTEGER);
CREATE VIEW order_totals AS SELECT orderid, SUM(unitprice * quantity) AS total FROM "Order Details"
  GROUP BY orderid;
