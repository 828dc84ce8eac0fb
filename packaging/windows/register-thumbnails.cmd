@echo off
rem Shows the pictures of .ebo models and .fsh archives in Explorer, for the
rem current user only (no administrator needed). Run it from the unpacked
rem folder's own place; unregister-thumbnails.cmd undoes it.
setlocal
set "DLL=%~dp0kelvane-thumbnails.dll"
if not exist "%DLL%" (
  echo kelvane-thumbnails.dll is not next to %~nx0.
  exit /b 1
)
call :register {71799B5F-6AAC-4929-AFA3-D733AE5A2E11} .ebo "Kelvane model thumbnails"
if errorlevel 1 goto failed
call :register {6D3E8C73-D3AA-48C4-B404-7AE83342131B} .fsh "Kelvane archive thumbnails"
if errorlevel 1 goto failed
echo Kelvane's thumbnails are registered for .ebo and .fsh files.
exit /b 0
:failed
echo Could not write the registry; nothing of Kelvane's thumbnails is left half-registered.
call "%~dp0unregister-thumbnails.cmd" >nul 2>&1
exit /b 1

rem The class %1 (its DLL, in Explorer's apartment) and the thumbnail
rem handler of extension %2.
:register
reg add "HKCU\Software\Classes\CLSID\%~1" /ve /d "%~3" /f >nul
if errorlevel 1 exit /b 1
reg add "HKCU\Software\Classes\CLSID\%~1\InprocServer32" /ve /d "%DLL%" /f >nul
if errorlevel 1 exit /b 1
reg add "HKCU\Software\Classes\CLSID\%~1\InprocServer32" /v ThreadingModel /d Apartment /f >nul
if errorlevel 1 exit /b 1
reg add "HKCU\Software\Classes\%~2\ShellEx\{e357fccd-a995-4576-b01f-234630154e96}" /ve /d "%~1" /f >nul
if errorlevel 1 exit /b 1
exit /b 0
