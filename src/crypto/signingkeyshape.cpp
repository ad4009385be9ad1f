#include "crypto/signingkeyshape.h"

namespace veltrin {

const char kNotP256Key[] = "not an ECDSA P-256 key";
const char kPointOffCurve[] = "the key's point is not on the curve P-256";

std::string SigningKeyShapeProblem(bool ecPublicKey, CurveParameters curve,
                                   const unsigned char* point, std::size_t pointSize) {
    if (!ecPublicKey)
        return kNotP256Key;
    if (curve == CurveParameters::Explicit) {
        return "the key spells out its curve's parameters; only the named curve P-256 is taken "
               "(openssl ec -pubin -param_enc named_curve)";
    }
    if (curve != CurveParameters::NamedP256)
        return kNotP256Key;
    if (pointSize == 33 && point != nullptr && (point[0] == 0x02 || point[0] == 0x03)) {
        return "the key's point is compressed; only uncompressed points are taken "
               "(openssl ec -pubin -conv_form uncompressed)";
    }
    if (pointSize != 65 || point == nullptr || point[0] != 0x04)
        return "the key's point is not in the uncompressed form";
    return {};
}

}  // namespace veltrin
