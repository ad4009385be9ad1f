#include "download/trustedkeys.h"

#include <fstream>
#include <iterator>
#include <sstream>

#include "common/utf8path.h"
#include "crypto/sha256.h"
#include "crypto/signingkey.h"

namespace veltrin {

namespace {

constexpr char kBegin[] = "-----BEGIN PUBLIC KEY-----";
constexpr char kEnd[] = "-----END PUBLIC KEY-----";
constexpr std::size_t kMaxKeyFileBytes = 1024 * 1024;

// Set by the build: the text of the trusted key files, possibly empty.
constexpr char kBuiltInKeys[] = {
#include "updatesigningkeys.inc"
};

}  // namespace

std::string AddTrustedKeys(const std::string& pemText, UpdateTrust& trust) {
    trust.Required = true;
    try {
        std::vector<TrustedKey> found;
        for (std::size_t at = pemText.find(kBegin); at != std::string::npos;
             at = pemText.find(kBegin, at + 1)) {
            const std::size_t end = pemText.find(kEnd, at);
            if (end == std::string::npos)
                return "a PEM public key without its end line";
            TrustedKey key;
            const std::string problem =
                ReadP256PublicKey(pemText.substr(at, end + sizeof(kEnd) - 1 - at), key.SpkiDer);
            if (!problem.empty())
                return "key " + std::to_string(found.size() + 1) + ": " + problem;
            key.Fingerprint = Sha256Hex(key.SpkiDer.data(), key.SpkiDer.size());
            found.push_back(std::move(key));
        }
        if (found.empty())
            return "no PEM public key (-----BEGIN PUBLIC KEY-----)";
        trust.Keys.insert(trust.Keys.end(), found.begin(), found.end());
        return {};
    } catch (const std::exception& exception) {
        return exception.what();
    }
}

std::string AddTrustedKeyFile(const std::string& fileName, UpdateTrust& trust) {
    trust.Required = true;
    try {
        std::ifstream file(PathFromUtf8(fileName), std::ios::binary);
        std::string text;
        if (file) {
            text.assign(std::istreambuf_iterator<char>(file), {});
        }
        if (!file && !file.eof())
            return fileName + ": cannot be read";
        if (text.size() > kMaxKeyFileBytes)
            return fileName + ": too large for a key file";
        const std::string problem = AddTrustedKeys(text, trust);
        return problem.empty() ? problem : fileName + ": " + problem;
    } catch (const std::exception& exception) {
        return fileName + ": " + exception.what();
    }
}

const UpdateTrust& BuiltInUpdateTrust() {
    static const UpdateTrust trust = [] {
        UpdateTrust keys;
        const std::string text(kBuiltInKeys);
        if (!text.empty() && !AddTrustedKeys(text, keys).empty())
            keys.Keys.clear();  // the build cannot check; refuse all update data instead
        return keys;
    }();
    return trust;
}

}  // namespace veltrin
