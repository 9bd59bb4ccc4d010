Attribute VB_Name = "modOrderRules"
'---------------------------------------------------------------------------
' Module    : modOrderRules
' Purpose   : Business rules shared by the order services: line totals,
'             freight and the checks an order must pass before it is saved.
' Author    : J. Müller
'---------------------------------------------------------------------------
Option Explicit

Public Const MAX_DISCOUNT As Single = 0.25
Public Const FREE_FREIGHT_LIMIT As Currency = 500
Public Const STANDARD_FREIGHT As Currency = 12.5

' The value of one order line after its discount, rounded to the cent.
Public Function LineTotal(ByVal UnitPrice As Currency, ByVal Quantity As Integer, _
                          ByVal Discount As Single) As Currency
    If Discount < 0 Or Discount > MAX_DISCOUNT Then
        Err.Raise vbObjectError + 1001, "modOrderRules.LineTotal", "The discount must lie between 0 and 25%."
    End If
    LineTotal = Round(UnitPrice * Quantity * (1 - Discount), 2)
End Function

' Orders worth FREE_FREIGHT_LIMIT or more ship free of charge.
Public Function FreightFor(ByVal OrderValue As Currency) As Currency
    If OrderValue >= FREE_FREIGHT_LIMIT Then
        FreightFor = 0
    Else
        FreightFor = STANDARD_FREIGHT
    End If
End Function

' A customer ID is five letters, as the Customers table keeps them.
Public Function IsValidCustomerID(ByVal CustomerID As String) As Boolean
    IsValidCustomerID = (Len(CustomerID) = 5 And CustomerID Like "[A-Za-z][A-Za-z][A-Za-z][A-Za-z][A-Za-z]")
End Function

' An order may not ship before it was placed.
Public Function IsValidShipDate(ByVal OrderDate As Date, ByVal ShippedDate As Variant) As Boolean
    If IsNull(ShippedDate) Then
        IsValidShipDate = True
    Else
        IsValidShipDate = (CDate(ShippedDate) >= OrderDate)
    End If
End Function
