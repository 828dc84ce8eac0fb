@echo off
rem Removes what register-thumbnails.cmd added: both classes and both
rem extensions' thumbnail handlers, then the extension keys it may have made
rem when nothing else is in them.
setlocal
call :remove "Software\Classes\CLSID\{71799B5F-6AAC-4929-AFA3-D733AE5A2E11}"
call :remove "Software\Classes\CLSID\{6D3E8C73-D3AA-48C4-B404-7AE83342131B}"
for %%e in (.ebo .fsh) do (
  call :remove "Software\Classes\%%e\ShellEx\{e357fccd-a995-4576-b01f-234630154e96}"
  call :prune "Software\Classes\%%e\ShellEx"
  call :prune "Software\Classes\%%e"
)
echo Kelvane's thumbnails are unregistered.
exit /b 0

:remove
reg query "HKCU\%~1" >nul 2>&1
if errorlevel 1 exit /b 0
reg delete "HKCU\%~1" /f >nul
exit /b 0

rem Deletes key %1 only when it holds no value and no subkey: another
rem program may use it.
:prune
reg query "HKCU\%~1" >nul 2>&1
if errorlevel 1 exit /b 0
reg query "HKCU\%~1" /s 2>nul | find "REG_" >nul
if not errorlevel 1 exit /b 0
reg query "HKCU\%~1" /s 2>nul | find /i "HKEY_CURRENT_USER\%~1\" >nul
if not errorlevel 1 exit /b 0
reg delete "HKCU\%~1" /f >nul
exit /b 0
