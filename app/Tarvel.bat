@REM 水平寸法（寸法値引出し）Tarvel
@echo off
REM #jww
REM #cd
REM #h0
REM #1 計測点１を指示してください
REM #2 計測点２を指示してください
REM #3 寸法線の位置を指示してください
REM #4 寸法値の位置を指示してください
REM #e
Tarvel.exe
