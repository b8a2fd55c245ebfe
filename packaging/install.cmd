@echo off
rem Installs Vantoric: vantoric.exe into "%ProgramFiles%\Vantoric" and the help
rem file into the HELP folder of the Windows directory, where the program's
rem Help button looks for it. Both need administrator rights: without them
rem the script starts itself again through the elevation prompt.
rem
rem   install.cmd [/nopause]
rem
rem Exit codes: 0 installed, 1 a copy failed, 2 a file of the package is
rem missing, 3 administrator rights could not be asked for.
setlocal EnableExtensions

set "SOURCE=%~dp0"
if defined ProgramW6432 (set "PROGRAMS=%ProgramW6432%") else set "PROGRAMS=%ProgramFiles%"
set "TARGET=%PROGRAMS%\Vantoric"
set "HELPDIR=%SystemRoot%\HELP"
set "NOPAUSE="
set "ELEVATED="
for %%A in (%*) do (
  if /i "%%~A"=="/nopause" set "NOPAUSE=1"
  if /i "%%~A"=="/elevated" set "ELEVATED=1"
)

rem "net session" answers only to an administrator. A copy that was started
rem through the prompt goes on even if it fails (the Server service may be
rem off), so that it can never start itself again and again.
net session >nul 2>&1
if not errorlevel 1 goto install
if defined ELEVATED goto install

echo Vantoric setup needs administrator rights; Windows will ask for them.
set "LAUNCHER=%TEMP%\vantoric-install-%RANDOM%.vbs"
> "%LAUNCHER%" echo Set shell = CreateObject("Shell.Application")
>> "%LAUNCHER%" echo shell.ShellExecute "cmd.exe", "/c """"%~f0"" /elevated %*""", "%SOURCE%", "runas", 1
cscript //nologo "%LAUNCHER%"
set "RC=%ERRORLEVEL%"
del "%LAUNCHER%" >nul 2>&1
if not "%RC%"=="0" (
  echo The elevation prompt could not be shown ^(exit code %RC%^).
  echo Right-click install.cmd and choose "Run as administrator".
  set "RC=3"
  goto done
)
echo Setup goes on in the new window.
goto done

:install
set "RC=2"
if not exist "%SOURCE%vantoric.exe" (
  echo vantoric.exe was not found beside install.cmd in "%SOURCE%".
  goto done
)
if not exist "%SOURCE%Vantoric.chm" (
  echo Vantoric.chm was not found beside install.cmd in "%SOURCE%".
  goto done
)
set "RC=1"
if not exist "%TARGET%\" mkdir "%TARGET%"
copy /y "%SOURCE%vantoric.exe" "%TARGET%\vantoric.exe" >nul
if errorlevel 1 (
  echo Could not copy vantoric.exe to "%TARGET%".
  goto done
)
if not exist "%HELPDIR%\" mkdir "%HELPDIR%"
copy /y "%SOURCE%Vantoric.chm" "%HELPDIR%\Vantoric.chm" >nul
if errorlevel 1 (
  echo Could not copy Vantoric.chm to "%HELPDIR%".
  goto done
)
set "RC=0"
echo Vantoric is installed:
echo   "%TARGET%\vantoric.exe"
echo   "%HELPDIR%\Vantoric.chm"

:done
if not "%RC%"=="0" echo Vantoric setup failed ^(exit code %RC%^).
if not defined NOPAUSE pause
exit /b %RC%
