@echo off
rem Undoes associate.cmd for the current user: .pic pictures open again with
rem what opened them before, and Lumbrel's file type goes. Where another
rem program has taken .pic pictures over since, that program keeps them.
setlocal
set "classes=HKCU\Software\Classes"
set "type=Lumbrel.PicFile"

reg query "%classes%\.pic" /ve 2>nul | find "%type%" >nul
if not errorlevel 1 goto restore
reg delete "%classes%\.pic\OpenWithProgids" /v "%type%" /f >nul 2>&1
echo .pic pictures were not opened with Lumbrel; they are left as they are.
goto forget

:restore
reg delete "%classes%\.pic" /f >nul
if errorlevel 1 goto failed
reg query "%classes%\%type%\Before" >nul 2>&1
if errorlevel 1 goto restored
reg copy "%classes%\%type%\Before" "%classes%\.pic" /s /f >nul
if errorlevel 1 goto failed
:restored
echo .pic pictures open again with what opened them before associate.cmd.

:forget
reg delete "%classes%\%type%" /f >nul 2>&1
exit /b 0

:failed
echo unassociate.cmd: the registry did not take the change; see the message above.
exit /b 1
