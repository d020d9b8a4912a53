#include "platform/signature.h"

// clang-format off
#include <windows.h>
#include <wincrypt.h>
#include <wintrust.h>
#include <softpub.h>
// clang-format on

#include "platform/win32/wide.h"

namespace platform {

static_assert(kTrustNoSignature == static_cast<uint32_t>(TRUST_E_NOSIGNATURE));
static_assert(kTrustSubjectFormUnknown == static_cast<uint32_t>(TRUST_E_SUBJECT_FORM_UNKNOWN));
static_assert(kTrustBadDigest == static_cast<uint32_t>(TRUST_E_BAD_DIGEST));
static_assert(kCertUntrustedRoot == static_cast<uint32_t>(CERT_E_UNTRUSTEDROOT));
static_assert(kCertExpired == static_cast<uint32_t>(CERT_E_EXPIRED));
static_assert(kCertRevoked == static_cast<uint32_t>(CERT_E_REVOKED));
static_assert(kCryptRevoked == static_cast<uint32_t>(CRYPT_E_REVOKED));
static_assert(kCertRevocationFailure == static_cast<uint32_t>(CERT_E_REVOCATION_FAILURE));
static_assert(kCryptNoRevocationCheck == static_cast<uint32_t>(CRYPT_E_NO_REVOCATION_CHECK));
static_assert(kCryptRevocationOffline == static_cast<uint32_t>(CRYPT_E_REVOCATION_OFFLINE));

namespace {

bool IsRevocationUnknown(uint32_t result) {
  return result == kCertRevocationFailure || result == kCryptNoRevocationCheck || result == kCryptRevocationOffline;
}

std::vector<uint8_t> Thumbprint(const wchar_t* algorithm, PCCERT_CONTEXT certificate) {
  std::vector<uint8_t> hash(32);
  DWORD size = static_cast<DWORD>(hash.size());
  if (!CryptHashCertificate2(algorithm, 0, nullptr, certificate->pbCertEncoded, certificate->cbCertEncoded, hash.data(),
                             &size))
    return {};
  hash.resize(size);
  return hash;
}

std::u16string SubjectName(PCCERT_CONTEXT certificate) {
  const DWORD chars = CertGetNameStringW(certificate, CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr, nullptr, 0);
  std::wstring name(chars, L'\0');
  CertGetNameStringW(certificate, CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr, name.data(), chars);
  return FromWide(name.c_str());
}

// One verification, its state held until the signer has been read from it and closed on every path.
class Verification {
 public:
  Verification(const std::u16string& file, bool checkRevocation) : path_(file) {
    file_.cbStruct = sizeof(file_);
    file_.pcwszFilePath = Wide(path_);
    data_.cbStruct = sizeof(data_);
    data_.dwUIChoice = WTD_UI_NONE;
    data_.dwUnionChoice = WTD_CHOICE_FILE;
    data_.pFile = &file_;
    data_.dwStateAction = WTD_STATEACTION_VERIFY;
    data_.fdwRevocationChecks = checkRevocation ? WTD_REVOKE_WHOLECHAIN : WTD_REVOKE_NONE;
    // Revocation lists and answers already cached only: a revocation server that cannot be reached
    // must not hold up a sign-in.
    data_.dwProvFlags = WTD_CACHE_ONLY_URL_RETRIEVAL |
                        (checkRevocation ? WTD_REVOCATION_CHECK_CHAIN_EXCLUDE_ROOT : WTD_REVOCATION_CHECK_NONE);
    GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
    result_ = static_cast<uint32_t>(WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data_));
  }
  Verification(const Verification&) = delete;
  Verification& operator=(const Verification&) = delete;
  ~Verification() {
    data_.dwStateAction = WTD_STATEACTION_CLOSE;
    GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
    WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data_);
  }

  uint32_t Result() const { return result_; }

  // The certificate that signed the file, from the state the verification left: also after a
  // failure, as long as it got as far as the signature.
  std::optional<Signer> SignerOf() const {
    if (!data_.hWVTStateData) return std::nullopt;
    CRYPT_PROVIDER_DATA* provider = WTHelperProvDataFromStateData(data_.hWVTStateData);
    if (!provider) return std::nullopt;
    CRYPT_PROVIDER_SGNR* signer = WTHelperGetProvSignerFromChain(provider, 0, FALSE, 0);
    if (!signer) return std::nullopt;
    CRYPT_PROVIDER_CERT* certificate = WTHelperGetProvCertFromChain(signer, 0);
    if (!certificate || !certificate->pCert) return std::nullopt;
    return Signer{.name = SubjectName(certificate->pCert),
                  .sha1 = Thumbprint(BCRYPT_SHA1_ALGORITHM, certificate->pCert),
                  .sha256 = Thumbprint(BCRYPT_SHA256_ALGORITHM, certificate->pCert)};
  }

 private:
  std::u16string path_;
  WINTRUST_FILE_INFO file_{};
  WINTRUST_DATA data_{};
  uint32_t result_ = 0;
};

}  // namespace

SignatureCheck CheckSignature(const std::u16string& file) {
  const Verification verification(file, /*checkRevocation=*/true);
  if (!IsRevocationUnknown(verification.Result())) {
    return {.result = verification.Result(), .revocationUnknown = false, .signer = verification.SignerOf()};
  }
  // Offline, or a certificate that names no revocation server: everything else still has to hold.
  const Verification withoutRevocation(file, /*checkRevocation=*/false);
  return {.result = withoutRevocation.Result(), .revocationUnknown = true, .signer = withoutRevocation.SignerOf()};
}

bool EqualsIgnoringCase(std::u16string_view a, std::u16string_view b) {
  return CompareStringOrdinal(reinterpret_cast<const wchar_t*>(a.data()), static_cast<int>(a.size()),
                              reinterpret_cast<const wchar_t*>(b.data()), static_cast<int>(b.size()),
                              TRUE) == CSTR_EQUAL;
}

}  // namespace platform
