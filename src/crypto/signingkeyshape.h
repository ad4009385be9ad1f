#pragma once

#include <cstddef>
#include <string>

namespace veltrin {

// How a SubjectPublicKeyInfo names the curve of an elliptic-curve key.
enum class CurveParameters {
    NamedP256,   // the named curve P-256 (prime256v1)
    NamedOther,  // another named curve, or none at all
    Explicit,    // the curve spelt out as explicit parameters
};

// Why a decoded public key is no key both systems take alike (a named P-256 curve and an
// uncompressed 65-byte point), or empty when its shape is right. Both backends decode with their
// own library and ask this, so a key gets the same verdict and the same words everywhere; whether
// the point lies on the curve is the library's question, asked afterwards (kPointOffCurve).
std::string SigningKeyShapeProblem(bool ecPublicKey, CurveParameters curve,
                                   const unsigned char* point, std::size_t pointSize);

extern const char kNotP256Key[];
extern const char kPointOffCurve[];

}  // namespace veltrin
