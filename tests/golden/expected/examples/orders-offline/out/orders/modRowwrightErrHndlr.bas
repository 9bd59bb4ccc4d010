Attribute VB_Name = "modRowwrightErrHndlr"
' Module Name: modRowwrightErrHndlr.bas
' This module was created with 'Rowwright' R1.04
' © 2026 Rowwright contributors
' Data-access code generated from the database schema.

' [Developer Notes from 'Rowwright']
'      Obviously, this is a very basic error handler.  Please feel free
'      to customize it as you see fit.
'=========================================================================
Option Explicit
Public Sub RaiseError(vlErrorNumber As Long, vsSource As String, vsDescription As String)

    Err.Raise vlErrorNumber, vsSource, vsDescription

End Sub
