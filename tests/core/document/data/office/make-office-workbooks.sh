#!/bin/sh
# Makes office.xlsx and office.ods, the workbooks a spreadsheet program writes, from office.fods
# (a flat OpenDocument spreadsheet written by hand: two sheets, numbers in several formats,
# dates, date-times, times, booleans, a zip code as text, formulas with their values, a merged
# cell, a cell of two paragraphs) with LibreOffice Calc (Debian libreoffice-calc-nogui). Run from
# this folder:
#     sh make-office-workbooks.sh
set -e
dir=$(mktemp -d)
soffice -env:UserInstallation=file://$dir/profile --headless --convert-to xlsx:"Calc MS Excel 2007 XML" --outdir "$dir" office.fods
soffice -env:UserInstallation=file://$dir/profile --headless --convert-to ods --outdir "$dir" office.fods
cp "$dir/office.xlsx" "$dir/office.ods" .
rm -rf "$dir"
