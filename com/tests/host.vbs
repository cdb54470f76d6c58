' A PC-management client written in VBScript, run by the system's script host:
'
'   cscript //nologo host.vbs SCRIPT OUTPUT [SPECVERSION]
'
' It creates DavIrizevez.CCDavIrizevez late-bound, as such clients do, initialises it with an
' object of a class of its own as the host application, and hands it the commands of SCRIPT,
' one per line: the command, a TAB and the protocol, with the escapes \t \n \r \\ \xHH and
' "@FILE" in front naming a document file (ANSI) whose text takes the name's place, up to
' the first \x1d. FILE is relative to the current folder. OUTPUT (UTF-16) gets the identity
' and, in order, each notice as "NOTICE component code stage" and each reply as its text,
' as davhost prints them.
Option Explicit

Dim fso, out
Set fso = CreateObject("Scripting.FileSystemObject")

Class ReplyChannel
  Public Sub SendReply(text, flags)
    out.WriteLine text
  End Sub
End Class

Class HostApplication
  Public SpecVersion
  Public Sub PostNotice(component, code, stage)
    out.WriteLine "NOTICE " & component & " " & code & " " & stage
  End Sub
  Public Function GetReplyChannel()
    Set GetReplyChannel = New ReplyChannel
  End Function
  Public Function GetClientFolder()
    GetClientFolder = "C:\Program Files\brisal client"
  End Function
  Public Function GetClientRegistryKey()
    GetClientRegistryKey = "Software\quorel\brisal client"
  End Function
  Public Function GetSpecVersion()
    GetSpecVersion = SpecVersion
  End Function
End Class

' The protocol with its escapes replaced.
Function Unescape(text)
  Dim result, i, c
  result = ""
  i = 1
  Do While i <= Len(text)
    c = Mid(text, i, 1)
    If c = "\" And i < Len(text) Then
      i = i + 1
      Select Case Mid(text, i, 1)
        Case "t": c = vbTab
        Case "n": c = vbLf
        Case "r": c = vbCr
        Case "\": c = "\"
        Case "x"
          c = Chr(CLng("&H" & Mid(text, i + 1, 2)))
          i = i + 2
        Case Else
          Err.Raise 5, "host.vbs", "unknown escape in " & text
      End Select
    End If
    result = result & c
    i = i + 1
  Loop
  Unescape = result
End Function

' A Boolean as "True" or "False" whatever the locale (a Korean one writes 참 and 거짓).
Function Flag(value)
  If value Then Flag = "True" Else Flag = "False"
End Function

Function ReadDocument(path)
  Dim file
  Set file = fso.OpenTextFile(path, 1, False, 0)
  ReadDocument = file.ReadAll
  file.Close
End Function

' The protocol of a script line: "@FILE" replaced by the file's text.
Function Protocol(text)
  Dim cut, name
  Protocol = Unescape(text)
  If Left(Protocol, 1) = "@" Then
    cut = InStr(Protocol, Chr(29))
    If cut = 0 Then cut = Len(Protocol) + 1
    name = Mid(Protocol, 2, cut - 2)
    Protocol = ReadDocument(fso.GetAbsolutePathName(name)) & Mid(Protocol, cut)
  End If
End Function

Dim arguments, script, host, component, line, tab, installed
Set arguments = WScript.Arguments
If arguments.Count < 2 Then
  WScript.StdErr.WriteLine "usage: cscript host.vbs SCRIPT OUTPUT [SPECVERSION]"
  WScript.Quit 2
End If
Set out = fso.CreateTextFile(arguments(1), True, True)

Set host = New HostApplication
host.SpecVersion = "2.5.1"
If arguments.Count > 2 Then host.SpecVersion = arguments(2)

Set component = CreateObject("DavIrizevez.CCDavIrizevez")
installed = "False"
If component.Installed Then installed = "True"
out.WriteLine "IDENTITY " & component.Company & " " & component.Name & " " & _
              component.Version & " " & installed
component.IClientComponent_Initialize host, False

Set script = fso.OpenTextFile(arguments(0), 1, False, 0)
Do While Not script.AtEndOfStream
  line = script.ReadLine
  If Len(line) > 0 Then
    tab = InStr(line, vbTab)
    If tab = 0 Then
      component.IClientComponent_Handle line, ""
    Else
      component.IClientComponent_Handle Left(line, tab - 1), Protocol(Mid(line, tab + 1))
    End If
  End If
Loop
script.Close

' The public properties, each read and assigned the value it has (which changes nothing the
' differential check compares), and the desktop recovery while auto recover is on, which
' the start has made already.
Dim protection, recovery
protection = component.EnableOpt
component.EnableOpt = protection
recovery = component.EnableAutoRecover
component.EnableAutoRecover = recovery
If recovery Then component.RecoverDesktopIcon
out.WriteLine "PUBLIC EnableOpt " & Flag(component.EnableOpt) & " EnableAutoRecover " & _
              Flag(component.EnableAutoRecover)

component.IClientComponent_Terminate
Set component = Nothing
out.Close
