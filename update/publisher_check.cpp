#include "update/publisher_check.h"

#include <algorithm>
#include <cstdio>

#include "base/text.h"
#include "platform/system_error.h"

namespace {

std::u16string SignedBy(const platform::SignatureCheck& check) {
  return check.signer ? u"signed by " + check.signer->name : u"signed";
}

std::u16string Hex(uint32_t code) {
  char text[16];
  std::snprintf(text, sizeof(text), "0x%08X", code);
  return FromUtf8(text);
}

// Why a signature the system did not accept is refused.
std::u16string Refusal(const platform::SignatureCheck& check) {
  switch (check.result) {
    case 0:
      return u"signed, but its signer could not be read";
    case platform::kTrustNoSignature:
    case platform::kTrustSubjectFormUnknown:
      return u"not signed";
    case platform::kTrustBadDigest:
      return u"altered after it was " + SignedBy(check);
    case platform::kCertUntrustedRoot:
      return SignedBy(check) + u" with a certificate that chains to no trusted root";
    case platform::kCertRevoked:
    case platform::kCryptRevoked:
      return SignedBy(check) + u" with a revoked certificate";
    case platform::kCertExpired:
      return SignedBy(check) + u" with a certificate that has expired";
    default: {
      const std::u16string text = platform::SystemErrorText(check.result);
      return SignedBy(check) + u", but the signature is not accepted (" + (text.empty() ? u"" : text + u", ") +
             Hex(check.result) + u")";
    }
  }
}

bool NamedInPin(const PublisherPin& pin, const std::u16string& name) {
  return std::any_of(pin.publishers.begin(), pin.publishers.end(),
                     [&](const std::u16string& publisher) { return platform::EqualsIgnoringCase(publisher, name); });
}

bool ThumbprintInPin(const PublisherPin& pin, const platform::Signer& signer) {
  if (pin.thumbprints.empty()) return true;
  return std::any_of(pin.thumbprints.begin(), pin.thumbprints.end(), [&](const std::vector<uint8_t>& thumbprint) {
    return thumbprint == signer.sha1 || thumbprint == signer.sha256;
  });
}

}  // namespace

PublisherVerdict JudgeSignature(const PublisherPin& pin, const platform::SignatureCheck& check) {
  if (check.result != 0 || !check.signer) return {.accepted = false, .finding = Refusal(check)};
  const std::u16string signedBy = SignedBy(check);
  if (!NamedInPin(pin, check.signer->name)) return {.accepted = false, .finding = signedBy};
  if (!ThumbprintInPin(pin, *check.signer)) {
    return {.accepted = false, .finding = signedBy + u" with a certificate whose thumbprint is not pinned"};
  }
  return {.accepted = true, .finding = signedBy, .revocationUnknown = check.revocationUnknown};
}

EPublisherRefused::EPublisherRefused(std::u16string finding)
    : Exception(u"Not updated, it is not the pinned publisher's: " + finding), finding_(std::move(finding)) {}

PublisherVerdict CheckPublisher(const PublisherPin& pin, const std::u16string& file) {
  PublisherVerdict verdict = JudgeSignature(pin, platform::CheckSignature(file));
  if (!verdict.accepted) throw EPublisherRefused(verdict.finding);
  return verdict;
}
