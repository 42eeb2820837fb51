#!/usr/bin/python3
# python3-openpyxl's streaming modes on the records of big.csv, for bench_workbook's figures:
# write_only to write the .xlsx (numbers as numbers, as Pellumar writes typed columns; here every
# cell is a string, as an untyped table is written), read_only to read it back.
#
#   /usr/bin/python3 bench/workbook_openpyxl.py DIR      (DIR holds big.csv)
import csv
import os
import sys
import time

import openpyxl

folder = sys.argv[1]
with open(os.path.join(folder, "big.csv"), newline="", encoding="utf-8") as f:
    rows = list(csv.reader(f))
path = os.path.join(folder, "bench-openpyxl.xlsx")

start = time.perf_counter()
cpu = time.process_time()
book = openpyxl.Workbook(write_only=True)
sheet = book.create_sheet("Sheet1")
for row in rows:
    sheet.append(row)
book.save(path)
written = time.perf_counter() - start
writtenCpu = time.process_time() - cpu

start = time.perf_counter()
cpu = time.process_time()
book = openpyxl.load_workbook(path, read_only=True)
count = 0
for row in book.active.iter_rows(values_only=True):
    count += 1
book.close()
read = time.perf_counter() - start
readCpu = time.process_time() - cpu
print("openpyxl %d rows: write_only %.1f s (CPU %.1f s), read_only %.1f s (CPU %.1f s), %.1f MB"
      % (count, written, writtenCpu, read, readCpu, os.path.getsize(path) / 1e6))
