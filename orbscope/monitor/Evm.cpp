#include "Evm.h"

#include <algorithm>
#include <cmath>

namespace {
using namespace orbscope;

// The tangent of 22.5 degrees, from the constant the modems' tools use.
const double kTan = std::tan(0.39269875);
constexpr double kOrigin = 128.0;

double Sq(double x) { return x * x; }

// The 8PSK term: the larger folded coordinate against the level, the
// smaller against level * tan(22.5); a is the larger when they are equal.
double Psk8Error(double a, double b, double level) {
  const double hi = a >= b ? a : b;
  const double lo = a >= b ? b : a;
  return Sq(hi - level) + Sq(lo - level * kTan);
}

double Psk8Power(double level) { return Sq(level) * (1.0 + Sq(kTan)); }

// 16QAM folds each coordinate once more onto the inner point.
double Qam16Error(double a, double b, double fold, double level) {
  const double a2 = a > fold ? a - fold : a;
  const double b2 = b > fold ? b - fold : b;
  return Sq(a2 - level) + Sq(b2 - level);
}

// -10 log10 of the mean error over the reference power.
template <typename Term>
double Evm(int n, const double* i, const double* q, double power, Term term) {
  double sum = 0.0;
  for (int k = 0; k < n; ++k) sum += term(std::fabs(i[k] - kOrigin), std::fabs(q[k] - kOrigin));
  return -10.0 * std::log10((sum / n) / power);
}
}  // namespace

double EvmMelgar(int type, int n, const double* i, const double* q) {
  switch (type) {
    case kBpsk:
      return Evm(n, i, q, Sq(64), [](double a, double b) { return Sq(a - 64) + Sq(b); });
    case kQpsk:
    case kOqpsk:
      return Evm(n, i, q, 2 * Sq(64), [](double a, double b) { return Sq(a - 64) + Sq(b - 64); });
    case k8Psk:
      return Evm(n, i, q, Psk8Power(64), [](double a, double b) { return Psk8Error(a, b, 64); });
    case k16Qam:
      return Evm(n, i, q, 2.5 * Sq(64), [](double a, double b) { return Qam16Error(a, b, 64, 32); });
    default:
      return kEvmUnsupported;
  }
}

double EvmHalden(int type, int n, const double* i, const double* q) {
  switch (type) {
    case kBpsk:
      return Evm(n, i, q, Sq(72), [](double a, double) { return Sq(a - 72); });
    case kQpsk:
    case kOqpsk:
      return Evm(n, i, q, 2 * Sq(64), [](double a, double b) { return Sq(a - 64) + Sq(b - 64); });
    case k8Psk:
      return Evm(n, i, q, Psk8Power(88), [](double a, double b) { return Psk8Error(a, b, 88); });
    case k16Qam:
      return Evm(n, i, q, 2.5 * Sq(56), [](double a, double b) { return Qam16Error(a, b, 56, 28); });
    default:
      return kEvmUnsupported;
  }
}

double EvmTorvik(int type, int n, const double* i, const double* q) {
  switch (type) {
    case kBpsk:
      return Evm(n, i, q, Sq(68), [](double a, double b) { return Sq(a - 68) + Sq(b); });
    case kQpsk:
    case kOqpsk:
      return Evm(n, i, q, 2 * Sq(68), [](double a, double b) { return Sq(a - 68) + Sq(b - 68); });
    case k8Psk:
      return Evm(n, i, q, Psk8Power(88), [](double a, double b) { return Psk8Error(a, b, 88); });
    case k16Qam:
      return Evm(n, i, q, 2.5 * Sq(62), [](double a, double b) { return Qam16Error(a, b, 62, 31); });
    case k8Qam:
      return Evm(n, i, q, 1.25 * Sq(80), Torvik8QamError);
    default:
      return kEvmUnsupported;
  }
}

namespace orbscope {

double EvmForModel(int model, int type, int n, const double* i, const double* q) {
  switch (model) {
    case 2:
      return EvmTorvik(type, n, i, q);
    case 1:
      return EvmHalden(type, n, i, q);
    default:
      return EvmMelgar(type, n, i, q);
  }
}

double Torvik8QamError(double a, double b) {
  // The ideal points of the folded quadrant are (40, 0), (40, 80), (120, 0).
  double a2 = 0.0;
  double b2 = 0.0;
  if (a <= 80) {
    a2 = a - 40;
    b2 = b > 40 ? b - 80 : b;
  } else if (b <= 40) {
    a2 = a - 120;
    b2 = b;
  } else if (b > a - 40) {
    a2 = a - 40;
    b2 = b - 80;
  } else {
    a2 = a - 120;
    b2 = b;
  }
  return Sq(a2) + Sq(b2);
}

}  // namespace orbscope
