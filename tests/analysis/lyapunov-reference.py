# Independent check of the largest Lyapunov exponent of each program as it
# iterates: Gram-Schmidt (QR) on a full basis started at the identity, all
# exponents, the largest reported with the standard error of 20 blocks.
import math, sys

def conv_step(p, s):
    a, b, c, dt = p; x, y, z = s
    dx = a * (y - x); dy = ((b * x) - y) - (x * z); dz = (c * z) + (x * y)
    return (x + dt * dx, y + dt * dy, z + dz * dt)
def conv_jac(p, s):
    a, b, c, dt = p; x, y, z = s
    d = [[-a, a, 0.0], [b - z, -1.0, -x], [y, x, c]]
    return [[(1.0 if i == j else 0.0) + dt * d[i][j] for j in range(3)] for i in range(3)]
def spir_step(p, s):
    a, b, c, dt = p; x, y, z = s
    dx = -(y + z); dy = x + (a * y); dz = ((x * z) - (c * z)) + b
    return (x + dt * dx, y + dt * dy, z + dz * dt)
def spir_jac(p, s):
    a, b, c, dt = p; x, y, z = s
    d = [[0.0, -1.0, -1.0], [1.0, a, 0.0], [z, 0.0, x - c]]
    return [[(1.0 if i == j else 0.0) + dt * d[i][j] for j in range(3)] for i in range(3)]
def rec_step(p, s):
    a, b = p[:2]; x, y = s
    return ((a * x) + y, b + (x * x))
def rec_jac(p, s):
    a, b = p[:2]; x, y = s
    return [[a, 1.0], [2.0 * x, 0.0]]
def quad_step(p, s):
    a, b = p[:2]; x, y = s
    return ((y + 1.0) - (a * (x * x)), b * x)
def quad_jac(p, s):
    a, b = p[:2]; x, y = s
    return [[-2.0 * a * x, 1.0], [b, 0.0]]

def run(step, jac, p, start, transient, n, unit):
    s = start; dim = len(s)
    q = [[1.0 if i == j else 0.0 for i in range(dim)] for j in range(dim)]  # columns
    blocks = [0.0] * 20; total = 0.0
    for i in range(transient + n):
        J = jac(p, s)
        s = step(p, s)
        new = []
        logs = []
        for v in q:
            w = [sum(J[r][k] * v[k] for k in range(dim)) for r in range(dim)]
            for u in new:
                d = sum(w[k] * u[k] for k in range(dim))
                w = [w[k] - d * u[k] for k in range(dim)]
            nrm = math.sqrt(sum(t * t for t in w))
            logs.append(math.log(nrm)); new.append([t / nrm for t in w])
        q = new
        if i >= transient:
            m = i - transient
            blocks[m * 20 // n] += logs[0]
    per = n / 20
    means = [bl / (per * unit) for bl in blocks]
    mean = sum(means) / 20
    se = math.sqrt(sum((m - mean) ** 2 for m in means) / 19 / 20)
    return sum(blocks) / (n * unit), se

c_conv = float("%.15g" % (-8.0 / 3.0))
cases = {
  "BrisutaW7": (conv_step, conv_jac, (10.0, 28.0, c_conv, 1e-4), (1.0, 1.0, 1.0), 100000, 2000000, 1e-4),
  "KelvaneW7": (spir_step, spir_jac, (0.2, 0.2, 5.7, 1e-3), (1.0, 1.0, 1.0), 10000, 2000000, 1e-3),
  "TessivoW7": (rec_step, rec_jac, (-0.1, -1.7), (1.0, 1.0), 1000, 1000000, 1.0),
  "DrumbelW7": (quad_step, quad_jac, (1.4, 0.3), (1.0, 1.0), 1000, 1000000, 1.0),
}
for name in sys.argv[1:]:
    lam, se = run(*cases[name])
    print(name, repr(lam), repr(se), flush=True)
