#!/usr/bin/env python3
# A copy of the project's shared benchmark generator, kept here so that the benchmarks
# and tests of a fresh clone can make the same long histories.
"""A long, realistic history of one fund, for benchmarks.

Usage: gen_ledger.py N OUT.dat [--csv OUT.csv] [--seed S]

Writes an investment file of N transactions (a header record, then N records of
41 bytes) and, with --csv, the same history as an import source with the columns
Date,Description,Amount,Price,Shares (dates MM/DD/YYYY). Purchases and reinvestments
carry a positive amount and shares; a sale a negative amount and the positive number
of shares sold; a price update only its price; a split the new share balance.

The history: about 35 % purchases, 15 % reinvested distributions, 25 % sales,
25 % price updates, and a 2-for-1 split at N/3 and 2N/3. Prices are whole cents
of a mean-reverting random walk, so many lots share a price; shares are kept to
0.001. Dates run forward from 1970-01-02, max(1, round(N / 20000)) a day; about
5 % of the records are stored out of date order (entered late), so a reader
must sort. The same N and seed always give the same bytes.
"""
import argparse
import datetime as dt
import math
import random
import struct

REC = struct.Struct("<hih9sddd")
VERSION = 6


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("n", type=int)
    ap.add_argument("out")
    ap.add_argument("--csv")
    ap.add_argument("--seed", type=int, default=1)
    a = ap.parse_args()
    rnd = random.Random(a.seed)
    per_day = max(1, round(a.n / 20000))
    day0 = dt.date(1970, 1, 2)
    target = lp = math.log(10.0)
    held = 0                      # thousandths of a share
    splits = {a.n // 3, (2 * a.n) // 3}
    recs, lines = [], []
    seq, prev = 0, None
    for i in range(a.n):
        d = day0 + dt.timedelta(days=i // per_day)
        seq = seq + 1 if d == prev else 1
        prev = d
        lp += 0.002 * (target + 0.05 * (i // per_day) / 365.25 - lp) + rnd.gauss(0, 0.01)
        cents = max(100, int(round(100 * math.exp(lp))))
        if i in splits and held > 0:
            kind = "Split"
        else:
            r = rnd.random()
            kind = "Buy" if r < 0.35 else "Reinvest" if r < 0.50 else "Sell" if r < 0.75 else "Price"
            if kind == "Sell" and held == 0:
                kind = "Buy"
        if kind in ("Buy", "Reinvest"):
            q = rnd.randint(5000, 100000) if kind == "Buy" else rnd.randint(500, 5000)
            held += q
            amt, sh = q * cents / 100000, q / 1000
        elif kind == "Sell":
            q = min(held, rnd.randint(5000, 150000))
            held -= q
            amt, sh = -q * cents / 100000, q / 1000      # a sale: negative amount, shares sold
        elif kind == "Price":
            amt, sh = 0.0, 0.0
        else:
            target -= math.log(2.0)
            lp -= math.log(2.0)
            cents = max(100, cents // 2)
            held *= 2
            amt, sh = 0.0, held / 1000
        price = cents / 100
        ymd = d.year * 10000 + d.month * 100 + d.day
        recs.append(REC.pack(VERSION, ymd, seq, kind.encode().ljust(9), amt, price, sh))
        lines.append("%02d/%02d/%d,%s,%r,%r,%r\n" % (d.month, d.day, d.year, kind, amt, price, sh))
    for i in range(len(recs)):
        if rnd.random() < 0.05:
            j = max(0, i - rnd.randint(1, 200))
            recs[i], recs[j] = recs[j], recs[i]
    with open(a.out, "wb") as f:
        f.write(struct.pack("<hii", VERSION, -1, 0) + b"\0" * 31)
        f.write(b"".join(recs))
    if a.csv:
        with open(a.csv, "w") as f:
            f.write("".join(lines))


if __name__ == "__main__":
    main()
