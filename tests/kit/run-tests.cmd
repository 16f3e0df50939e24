@echo off
rem Runs every test program of this kit on Windows 10 or 11, from an
rem administrator Command Prompt: one line per program, then
rem "N passed, M failed". The programs' whole output goes to run-tests.log
rem beside this file. Exit code: 0 all passed, 1 a program failed, 2 the
rem tests could not start (no administrator rights, C:\OvratDebug in the way).
setlocal EnableExtensions EnableDelayedExpansion
set "KIT=%~dp0"
set "LOG=%KIT%run-tests.log"
cd /d "%KIT%"

"%KIT%check-admin.exe"
if not "!errorlevel!"=="0" exit /b 2

rem setup-debug.exe and the unit tests' launcher load
rem C:\OvratDebug\dropnestlib.dll before anything else: a vendor's own
rem debug folder would decide what they test. The tests mark the folder
rem when they make it, so one left by an interrupted run may stay.
if exist "C:\OvratDebug\" if not exist "C:\OvratDebug\made-by-setup-e2e-tests.txt" (
  echo C:\OvratDebug exists. The tests would load what it holds instead of
  echo their own libraries, and they never delete a folder they did not make.
  echo Move it away ^(for example: move C:\OvratDebug C:\OvratDebug.saved^),
  echo run run-tests.cmd again, then move it back.
  exit /b 2
)

rem Redirections stand first: a digit just before ">" (of a time, an exit
rem code) would be taken for the number of a handle.
>"%LOG%" echo Test kit run: %DATE% %TIME%
>>"%LOG%" ver
>>"%LOG%" echo Processor: %PROCESSOR_ARCHITECTURE% %PROCESSOR_ARCHITEW6432%
if exist "%KIT%kit-info.txt" >>"%LOG%" type "%KIT%kit-info.txt"

set PASSED=0
set FAILED=0
for %%P in (@KIT_PROGRAMS@) do call :run %%P

echo !PASSED! passed, !FAILED! failed
>>"%LOG%" echo.
>>"%LOG%" echo !PASSED! passed, !FAILED! failed
echo The whole output: %LOG%
if not "!FAILED!"=="0" exit /b 1
exit /b 0

rem :run PROGRAM runs one program (a path relative to the kit) and counts it.
rem Exit codes are compared with 0, not with "errorlevel 1": a crash gives a
rem negative code, which "errorlevel 1" would take for success.
:run
>>"%LOG%" echo.
>>"%LOG%" echo ===== %~1
if not exist "%KIT%%~1" (
  echo FAILED  %~1 ^(missing from the kit^)
  >>"%LOG%" echo missing from the kit
  set /a FAILED+=1
  exit /b 0
)
"%KIT%%~1" --gtest_color=no >>"%LOG%" 2>&1
set "CODE=!errorlevel!"
>>"%LOG%" echo ===== %~1: exit code !CODE!
if "!CODE!"=="0" (
  echo passed  %~1
  set /a PASSED+=1
) else (
  echo FAILED  %~1 ^(exit code !CODE!; its output is in run-tests.log^)
  set /a FAILED+=1
)
exit /b 0
