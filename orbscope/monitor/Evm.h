#pragma once

// Error vector magnitude of a constellation, in dB, against the ideal
// levels of each modem model. Samples are bytes 0..255 with the origin at
// 128; type is the modulation code minus one (0 BPSK, 1 QPSK, 2 OQPSK,
// 3 8PSK, 4 16QAM, 5 8QAM). A type the model does not have gives -1.

namespace orbscope {

enum ConstellationType { kBpsk = 0, kQpsk = 1, kOqpsk = 2, k8Psk = 3, k16Qam = 4, k8Qam = 5 };

// The value returned for a constellation type that the model lacks.
inline constexpr double kEvmUnsupported = -1.0;

}  // namespace orbscope

double EvmMelgar(int type, int n, const double* i, const double* q);
double EvmHalden(int type, int n, const double* i, const double* q);
double EvmTorvik(int type, int n, const double* i, const double* q);

namespace orbscope {
// The routine of a model byte: 2 Torvik, 1 Halden, any other Melgar.
double EvmForModel(int model, int type, int n, const double* i, const double* q);
// The folded 8QAM error term of the Torvik modems for a = |I-128|, b = |Q-128|.
double Torvik8QamError(double a, double b);
}  // namespace orbscope
