#!/usr/bin/env python3
"""Reference figures for the exact-decimal test, worked out with Python's decimal module.

Reads lines "<op> <a> <b>" from the file named on the command line (or standard input) and
prints one answer line for each:
  op is one of + - * / (a and b are decimal texts) or r (round a to b places).
Arithmetic keeps 28 significant digits, rounding half to even, and then at most 28 places.
A result of 2^96 or more in magnitude prints "Overflow", a zero divisor "Division by zero".
Answers are plain texts without trailing zeros or exponent, and never "-0".
"""

import sys
from decimal import Decimal, Context, ROUND_HALF_EVEN, DivisionByZero, InvalidOperation

ARITH = Context(prec=28, rounding=ROUND_HALF_EVEN, Emax=999999, Emin=-999999,
                traps=[DivisionByZero, InvalidOperation])
WIDE = Context(prec=200, rounding=ROUND_HALF_EVEN, Emax=999999, Emin=-999999,
               traps=[InvalidOperation])
LIMIT = 2 ** 96


def plain(d):
    if d == 0:
        return "0"
    s = format(d, "f")
    if "." in s:
        s = s.rstrip("0").rstrip(".")
    return s


def at_most(d, places):
    if d.as_tuple().exponent < -places:
        d = d.quantize(Decimal(1).scaleb(-places), rounding=ROUND_HALF_EVEN, context=WIDE)
    return d


def answer(op, a, b):
    x = Decimal(a)
    if op == "r":
        return plain(at_most(x, int(b)))
    y = Decimal(b)
    try:
        if op == "+":
            r = ARITH.add(x, y)
        elif op == "-":
            r = ARITH.subtract(x, y)
        elif op == "*":
            r = ARITH.multiply(x, y)
        elif op == "/":
            r = ARITH.divide(x, y)
        else:
            return "Bad operation"
    except DivisionByZero:
        return "Division by zero"
    except InvalidOperation:  # 0 / 0
        return "Division by zero"
    r = at_most(r, 28)
    if abs(r) >= LIMIT:
        return "Overflow"
    return plain(r)


def main():
    source = open(sys.argv[1], encoding="ascii") if len(sys.argv) > 1 else sys.stdin
    out = []
    for line in source:
        parts = line.split()
        if len(parts) == 3:
            out.append(answer(*parts))
    sys.stdout.write("\n".join(out) + ("\n" if out else ""))


if __name__ == "__main__":
    main()
