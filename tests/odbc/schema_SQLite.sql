-- Tables beside the sample database's own, for the pattern cases, and the
-- date and time columns the other products' Customers have.
ALTER TABLE Customers ADD COLUMN FirstOrder DATE;
ALTER TABLE Customers ADD COLUMN CallAfter TIME;
CREATE TABLE "Order_Details" (A INTEGER);
CREATE TABLE USERS (X INTEGER);
CREATE TABLE USER_ (Y INTEGER);
