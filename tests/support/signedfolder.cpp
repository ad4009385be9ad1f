#include "support/signedfolder.h"

#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/pem.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "crypto/sha256.h"
#include "support/tempdirectory.h"

namespace veltrin::test {

namespace {

std::string ReadFile(const std::filesystem::path& path, bool& ok) {
    std::ifstream file(path, std::ios::binary);
    ok = static_cast<bool>(file);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

std::string BioText(BIO* bio) {
    char* data = nullptr;
    const long length = BIO_get_mem_data(bio, &data);
    return length > 0 ? std::string(data, static_cast<std::size_t>(length)) : std::string();
}

std::string Sign(const std::string& message, const std::string& privatePem,
                 std::string& signature) {
    BIO* bio = BIO_new_mem_buf(privatePem.data(), static_cast<int>(privatePem.size()));
    EVP_PKEY* key = bio ? PEM_read_bio_PrivateKey(bio, nullptr, nullptr, nullptr) : nullptr;
    BIO_free(bio);
    EVP_MD_CTX* context = EVP_MD_CTX_new();
    std::size_t length = 0;
    bool ok =
        key != nullptr && context != nullptr &&
        EVP_DigestSignInit(context, nullptr, EVP_sha256(), nullptr, key) == 1 &&
        EVP_DigestSign(context, nullptr, &length,
                       reinterpret_cast<const unsigned char*>(message.data()), message.size()) == 1;
    signature.assign(length, '\0');
    ok = ok && EVP_DigestSign(context, reinterpret_cast<unsigned char*>(signature.data()), &length,
                              reinterpret_cast<const unsigned char*>(message.data()),
                              message.size()) == 1;
    signature.resize(ok ? length : 0);
    EVP_MD_CTX_free(context);
    EVP_PKEY_free(key);
    return ok ? std::string() : "cannot sign";
}

}  // namespace

SigningKeyPair MakeSigningKeyPair() {
    SigningKeyPair pair;
    EVP_PKEY* key = EVP_EC_gen("P-256");
    BIO* privateBio = BIO_new(BIO_s_mem());
    BIO* publicBio = BIO_new(BIO_s_mem());
    if (key != nullptr && privateBio != nullptr && publicBio != nullptr &&
        PEM_write_bio_PrivateKey(privateBio, key, nullptr, nullptr, 0, nullptr, nullptr) == 1 &&
        PEM_write_bio_PUBKEY(publicBio, key) == 1) {
        pair.PrivatePem = BioText(privateBio);
        pair.PublicPem = BioText(publicBio);
    }
    BIO_free(privateBio);
    BIO_free(publicBio);
    EVP_PKEY_free(key);
    return pair;
}

std::string SignUpdateFolder(const std::string& folder, const std::vector<std::string>& names,
                             const SigningKeyPair& key) {
    std::string sums;
    for (const std::string& name : names) {
        bool ok = false;
        const std::string bytes = ReadFile(std::filesystem::path(folder) / name, ok);
        if (!ok)
            return "cannot read " + name;
        sums += Sha256Hex(bytes.data(), bytes.size()) + "  " + name + "\n";
    }
    std::string signature;
    if (const std::string problem = Sign(sums, key.PrivatePem, signature); !problem.empty())
        return problem;
    const std::filesystem::path base(folder);
    if (!WriteFileText((base / "SHA256SUMS").string(), sums) ||
        !WriteFileText((base / "SHA256SUMS.sig").string(), signature)) {
        return "cannot write the signature files";
    }
    return {};
}

bool ChangeOneByte(const std::string& fileName) {
    bool ok = false;
    std::string bytes = ReadFile(fileName, ok);
    if (!ok || bytes.empty())
        return false;
    std::size_t at = bytes.find_first_of("abcdef", bytes.find('\n'));
    if (std::filesystem::path(fileName).extension() != ".hex" || at == std::string::npos)
        at = bytes.size() - 1;
    bytes[at] = bytes[at] >= 'a' && bytes[at] <= 'f' ? static_cast<char>(bytes[at] - 32)
                                                     : static_cast<char>(bytes[at] ^ 0x01);
    return WriteFileText(fileName, bytes);
}

std::vector<std::string> SampleFolderNames(const std::string& folder) {
    bool ok = false;
    std::istringstream index(ReadFile(std::filesystem::path(folder) / "files.txt", ok));
    std::vector<std::string> names{"files.txt"};
    for (std::string line; std::getline(index, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line[0] != '#' &&
            std::filesystem::exists(std::filesystem::path(folder) / line))
            names.push_back(line);
    }
    return names;
}

}  // namespace veltrin::test
