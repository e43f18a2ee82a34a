@echo off
rem Undoes associate.cmd for the current user, from the record it left under
rem HKCU\Software\Classes\Lumbrel.PicFile\Undo: .pic's default goes back to
rem the value associate.cmd replaced (or goes, if there was none), Lumbrel
rem leaves "Open with", and Lumbrel's file type goes. Where another program has
rem taken .pic pictures over since, that program keeps them; whatever other
rem programs added to .pic since stays, and the keys associate.cmd made go
rem only when nothing else is left in them.
rem The folder's name is never parsed (see associate.cmd), so any folder does.
rem Each step is checked on a line of its own: some command interpreters
rem (Wine's among them) run what follows || even after a step that worked.
setlocal DisableDelayedExpansion
set "self=%~f0"
setlocal EnableDelayedExpansion
set "classes=HKEY_CURRENT_USER\Software\Classes"
set "type=Lumbrel.PicFile"
set "undo=!classes!\!type!\Undo"
set "unset="
call :note_double_click
set status=1

rem The record's key, made afresh when associate.cmd left none, has no
rem default (see associate.cmd): its line is how reg shows an unset one.
reg add "!undo!" /v Made /t REG_SZ /d unassociate.cmd /f >nul
if errorlevel 1 goto failed
call :read_default "!undo!"
set "unset=!line!"

call :read_default "!classes!\.pic"
if not "!found!"=="1" goto not_ours
if /i "!data!"=="!type!" goto restore
:not_ours
echo .pic pictures were not opened with Lumbrel; they are left as they are.
goto tidy

:restore
call :read_value "!undo!" Default
if "!found!"=="1" (
    reg add "!classes!\.pic" /ve /t !kind! /d "!data!" /f >nul
    if errorlevel 1 goto failed
) else (
    reg delete "!classes!\.pic" /ve /f >nul
    if errorlevel 1 goto failed
)
echo .pic pictures open again with what opened them before associate.cmd.

:tidy
reg query "!classes!\.pic\OpenWithProgids" /v "!type!" >nul 2>&1
if errorlevel 1 goto tidied_value
reg delete "!classes!\.pic\OpenWithProgids" /v "!type!" /f >nul
if errorlevel 1 goto failed
:tidied_value
reg query "!undo!" /v CreatedOpenWithProgids >nul 2>&1
if errorlevel 1 goto tidied_list
call :delete_if_empty "!classes!\.pic\OpenWithProgids"
if errorlevel 1 goto failed
:tidied_list
reg query "!undo!" /v CreatedExtension >nul 2>&1
if errorlevel 1 goto tidied_extension
call :delete_if_empty "!classes!\.pic"
if errorlevel 1 goto failed
:tidied_extension
reg delete "!classes!\!type!" /f >nul
if errorlevel 1 goto failed
set status=0
goto finish

:failed
echo unassociate.cmd: the registry did not take the change; see the message above.

:finish
if defined clicked (
    echo.
    echo Press any key to close this window.
    pause >nul
)
exit /b !status!

rem As in associate.cmd: a double click's window waits for a key.
:note_double_click
set "clicked="
set "line=!cmdcmdline!"
if not defined line goto :eof
for %%s in ("!self!") do set "others=!line:%%~s=!"
if "!others!"=="!line!" goto :eof
if "!line: /c =!"=="!line!" goto :eof
set clicked=1
goto :eof

rem A value of a key, as in associate.cmd: found, kind and data.
:read_default
call :read_line "%~1" /ve
goto :eof
:read_value
call :read_line "%~1" /v %2
goto :eof
:read_line
set "found=0"
set "line="
set "kind="
set "data="
for /f "delims=" %%l in ('reg query "%~1" %2 %3 2^>nul ^| find "REG_"') do set "line=%%l"
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

rem Deletes a key that holds no value (an unset default aside) and no subkey;
rem a key that is not there is no failure. reg lists the key itself first,
rem or not at all when it has no values, then its values, then its subkeys.
:delete_if_empty
set "others=0"
for /f "delims=" %%l in ('reg query "%~1" /s 2^>nul') do (
    set "entry=%%l"
    call :count_entry "%~1"
)
if not "!others!"=="0" exit /b 0
reg delete "%~1" /f >nul
goto :eof
:count_entry
if /i "!entry!"=="%~1" goto :eof
if "!entry!"=="!unset!" goto :eof
set /a others+=1
goto :eof
