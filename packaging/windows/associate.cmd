@echo off
rem Makes a double click on a .pic picture open it in Lumbrel.exe from this
rem folder, for the current user only, so no administrator rights are needed.
rem unassociate.cmd undoes it: it takes away what this script added and puts
rem back the one value it replaced, and keeps what other programs added since.
rem After moving the folder, run it again.
rem
rem What it changes, under HKCU\Software\Classes:
rem   Lumbrel.PicFile        Lumbrel's file type, made here, and its record
rem                          Lumbrel.PicFile\Undo of what follows;
rem   .pic (default)         set to Lumbrel.PicFile; the record keeps the
rem                          value it had, if any (Undo, value Default);
rem   .pic\OpenWithProgids   the value Lumbrel.PicFile, for "Open with".
rem The record also notes whether the keys .pic and .pic\OpenWithProgids were
rem made here (CreatedExtension, CreatedOpenWithProgids), so that they go
rem again only if made here and nothing else is in them by then.
rem
rem The folder's name can hold blanks, parentheses, ampersands (a second
rem download unpacks into "Cantrel-1.0-win32 (1)"): it is read once, with
rem delayed expansion off, and used after that only through !variables!,
rem which cmd expands after it has parsed a line, so that nothing in the
rem name can end a block or a command early.
rem Each step is checked on a line of its own: some command interpreters
rem (Wine's among them) run what follows || even after a step that worked.
setlocal DisableDelayedExpansion
set "self=%~f0"
set "folder=%~dp0"
setlocal EnableDelayedExpansion
set "classes=HKEY_CURRENT_USER\Software\Classes"
set "type=Lumbrel.PicFile"
set "undo=!classes!\!type!\Undo"
set "unset="
set "viewer=!folder!Lumbrel.exe"
call :note_double_click
set status=1
if not exist "!viewer!" (
    echo associate.cmd: there is no Lumbrel.exe beside it, in !folder!
    goto finish
)

rem The record is made by the first run; a later run finds Lumbrel's type as
rem .pic's default and keeps the record it has. Another program that took
rem .pic over in between is what the next unassociate.cmd puts back.
rem The record's key is made with a value in it, so that it has no default
rem (made empty, some reg tools give a key an empty one): its line is how reg
rem shows an unset default.
reg add "!undo!" /v Made /t REG_SZ /d associate.cmd /f >nul
if errorlevel 1 goto failed
call :read_default "!undo!"
set "unset=!line!"
call :read_default "!classes!\.pic"
if not "!found!"=="1" goto record
if /i "!data!"=="!type!" goto register
:record
reg delete "!undo!" /v Default /f >nul 2>&1
if "!found!"=="1" (
    reg add "!undo!" /v Default /t !kind! /d "!data!" /f >nul
    if errorlevel 1 goto failed
)
reg query "!classes!\.pic" >nul 2>&1
if errorlevel 1 (
    reg add "!undo!" /v CreatedExtension /t REG_DWORD /d 1 /f >nul
    if errorlevel 1 goto failed
)
reg query "!classes!\.pic\OpenWithProgids" >nul 2>&1
if errorlevel 1 (
    reg add "!undo!" /v CreatedOpenWithProgids /t REG_DWORD /d 1 /f >nul
    if errorlevel 1 goto failed
)

:register
reg add "!classes!\!type!" /ve /d "Fenwolds picture" /f >nul
if errorlevel 1 goto failed
reg add "!classes!\!type!\DefaultIcon" /ve /d "\"!viewer!\",0" /f >nul
if errorlevel 1 goto failed
reg add "!classes!\!type!\shell\open\command" /ve /d "\"!viewer!\" \"%%1\"" /f >nul
if errorlevel 1 goto failed
reg add "!classes!\.pic" /ve /d "!type!" /f >nul
if errorlevel 1 goto failed
rem Lists Lumbrel under "Open with" too.
reg add "!classes!\.pic\OpenWithProgids" /v "!type!" /t REG_NONE /f >nul
if errorlevel 1 goto failed
echo .pic pictures now open with !viewer!
echo unassociate.cmd undoes this.
set status=0
goto finish

:failed
echo associate.cmd: the registry did not take the change; see the message above.

:finish
if defined clicked (
    echo.
    echo Press any key to close this window.
    pause >nul
)
exit /b !status!

rem Started by a double click, Explorer runs cmd /c ""<this script>" ", and
rem the window closes when the script ends: the lines above would go unread.
rem From a Command Prompt, or called by another script, cmd's command line is
rem that of the prompt or the other script, and nothing waits.
:note_double_click
set "clicked="
set "line=!cmdcmdline!"
if not defined line goto :eof
for %%s in ("!self!") do set "others=!line:%%~s=!"
if "!others!"=="!line!" goto :eof
if "!line: /c =!"=="!line!" goto :eof
set clicked=1
goto :eof

rem The default value of a key: found is 1 and kind and data its type and
rem data, or found is 0 when the key or its default is not there. reg prints
rem an unset default as a line of its own words, in the language of Windows:
rem such a line equals that of the record's key, which never has a default.
:read_default
set "found=0"
set "line="
set "kind="
set "data="
for /f "delims=" %%l in ('reg query "%~1" /ve 2^>nul ^| find "REG_"') do set "line=%%l"
if not defined line goto :eof
if not defined unset goto found
if "!line!"=="!unset!" goto :eof
:found
set "found=1"
set "rest=!line!"
rem The value's name can have blanks in it, as the word for "(Default)" has in
rem some languages: the words go one by one until the type, REG_ something.
rem (Wine's cmd splits only a %%variable%% into words here, not a !variable!;
rem within its quotes the value's words can hold anything but quotes.)
:next_word
set "kind="
for /f "tokens=1,*" %%t in ("%rest%") do (
    set "kind=%%t"
    set "rest=%%u"
)
if not defined kind goto unreadable
if not "%kind:~0,4%"=="REG_" goto next_word
set "data=!rest!"
goto :eof
:unreadable
set "found=0"
goto :eof
