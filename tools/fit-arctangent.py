#!/usr/bin/env python3
# The coefficients of the lobe searches' arctangent (model/search_rounds.h): u(t), t = s², on
# [0, tan²(π/8)] with atan(s) = s + s·t·u(t), interpolated at the Chebyshev nodes in 80-digit
# decimals, then its worst relative error against the C library in double. Usage:
# fit-arctangent.py 8 (eight coefficients, degree 7)
from decimal import Decimal as D, getcontext
import math
getcontext().prec = 80
def datan(x):
    # atan by halving the argument: atan(x) = 2 atan(x / (1 + sqrt(1 + x^2)))
    k = 0
    while abs(x) > D('0.05'):
        x = x / (1 + (1 + x*x).sqrt()); k += 1
    s = D(0); term = x; n = 1; x2 = x*x; sign = 1
    while True:
        add = term / n
        if abs(add) < D(10) ** -75: break
        s += sign * add; term *= x2; n += 2; sign = -sign
    return s * (2 ** k)
def u_of(t):
    s = t.sqrt()
    if t == 0: return D(-1)/3
    return (datan(s) - s) / (s * t)
N = int(__import__('sys').argv[1])  # number of coefficients
pi = D('3.14159265358979323846264338327950288419716939937510582097494459')
def dcos(x):
    s = D(0); term = D(1); n = 0
    while abs(term) > D(10) ** -75:
        s += term; n += 2; term = -term * x * x / (n * (n - 1))
    return s
T = (2 - D(2).sqrt()) / (2 + D(2).sqrt())  # tan²(π/8) = (√2 − 1)²
nodes = [T * (1 - dcos((2*i + 1) * pi / (2*N))) / 2 for i in range(N)]
A = [[t ** j for j in range(N)] for t in nodes]
b = [u_of(t) for t in nodes]
# Gaussian elimination
n = N
M = [row[:] + [bb] for row, bb in zip(A, b)]
for c in range(n):
    p = max(range(c, n), key=lambda r: abs(M[r][c])); M[c], M[p] = M[p], M[c]
    for r in range(n):
        if r != c:
            f = M[r][c] / M[c][c]
            M[r] = [x - f * y for x, y in zip(M[r], M[c])]
coef = [M[i][n] / M[i][i] for i in range(n)]
cd = [float(c) for c in coef]
# error check in double, Horner with fma-free arithmetic
worst = 0
for i in range(20001):
    s = i / 20000 * math.sqrt(float(T))
    t = s * s
    u = cd[-1]
    for c in reversed(cd[:-1]): u = u * t + c
    r = s + s * (t * u)
    ex = float(datan(D(s))) if i % 50 == 0 else math.atan(s)
    if s > 0: worst = max(worst, abs(r - ex) / ex)
print("worst rel", worst)
for c in cd: print(repr(c))
