@echo off
rem Drag the game's program file (.exe) onto this file: vorlix-sim.exe, beside it, says whether
rem Vorlix supports the game.
if "%~1"=="" (
    echo Drag your game's program file ^(the .exe that starts the game^) onto "Check my game.cmd".
    echo.
    pause
    exit /b 2
)
"%~dp0vorlix-sim.exe" game "%~1"
set status=%errorlevel%
echo.
pause
exit /b %status%
