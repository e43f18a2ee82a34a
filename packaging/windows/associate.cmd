@echo off
rem Makes a double click on a .pic picture open it in Lumbrel.exe from this
rem folder, for the current user only, so no administrator rights are needed.
rem unassociate.cmd undoes it and puts back what opened .pic pictures before.
rem After moving the folder, run it again.
rem Each step is checked on a line of its own: some command interpreters
rem (Wine's among them) run what follows || even after a step that worked.
setlocal
set "classes=HKCU\Software\Classes"
set "type=Lumbrel.PicFile"
set "viewer=%~dp0Lumbrel.exe"
if not exist "%viewer%" (
    echo associate.cmd: there is no Lumbrel.exe beside it, in %~dp0
    exit /b 1
)

rem The first run keeps a copy of the .pic key as it is, under the type's own
rem key, for unassociate.cmd; a later run finds Lumbrel there already and
rem keeps the copy it has. No copy means there was no .pic key.
reg query "%classes%\.pic" /ve 2>nul | find "%type%" >nul
if not errorlevel 1 goto register
reg delete "%classes%\%type%" /f >nul 2>&1
reg query "%classes%\.pic" >nul 2>&1
if errorlevel 1 goto register
reg copy "%classes%\.pic" "%classes%\%type%\Before" /s /f >nul
if errorlevel 1 goto failed

:register
reg add "%classes%\%type%" /ve /d "Fenwolds picture" /f >nul
if errorlevel 1 goto failed
reg add "%classes%\%type%\DefaultIcon" /ve /d "\"%viewer%\",0" /f >nul
if errorlevel 1 goto failed
reg add "%classes%\%type%\shell\open\command" /ve /d "\"%viewer%\" \"%%1\"" /f >nul
if errorlevel 1 goto failed
reg add "%classes%\.pic" /ve /d "%type%" /f >nul
if errorlevel 1 goto failed
rem Lists Lumbrel under "Open with" too.
reg add "%classes%\.pic\OpenWithProgids" /v "%type%" /t REG_NONE /f >nul
if errorlevel 1 goto failed
echo .pic pictures now open with %viewer%
echo unassociate.cmd undoes this.
exit /b 0

:failed
echo associate.cmd: the registry did not take the change; see the message above.
exit /b 1
