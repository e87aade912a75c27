#include <pavenda/Findings.h>

#include <algorithm>

#include <pavenda/QRCodeGenerator.h>

#include "decoding/DecodeStop.h"
#include "encoding/TLVEncoder.h"
#include "explanation/Advisories.h"
#include "explanation/Findings.h"
#include "public/PayloadValidation.h"

namespace pavenda {

bool CrcCheck::matches() const noexcept {
  if (!given || !computed || given->size() != computed->size())
    return false;
  return std::equal(given->begin(), given->end(), computed->begin(),
                    [](char a, char b) { return (a >= 'a' && a <= 'f' ? a - 32 : a) == b; });
}

Explanation explainPayload(std::string_view payload, ErrorCorrection level) {
  Explanation out;
  // The codes, and the facts of their findings, come from validation as it always runs; the record
  // decoded here, by the same decoder, is only read to explain them.
  validation::Facts facts;
  out.errorCodes = detail::validatePayload(payload, false, &facts).codes;
  ZArodezPayMerchantTLV record;
  decoding::DecodeStop stop;
  if (!decoding::decode(record, payload, &stop).ok()) {
    out.decodeError = explain::describeStop(stop, payload);
    out.findings.push_back(explain::malformedFinding(*out.decodeError));
  } else {
    out.findings = explain::findingsFor(record, out.errorCodes, payload, facts);
    out.crc = explain::crcCheck(record, payload);
  }
  out.advisories = explain::advisoriesFor(record, payload, level);
  return out;
}

std::vector<Advisory> adviseOnPayload(std::string_view payload, ErrorCorrection level) {
  ZArodezPayMerchantTLV record;
  // A payload that does not decode still gets the advisories of what was read before it stopped.
  static_cast<void>(record.decodeTLV(payload));
  return explain::advisoriesFor(record, payload, level);
}

ExplainedResponse generateQRCodeStringExplained(const FieldDictionary& qrCodeDictionary,
                                                ErrorCorrection level) {
  PavendaResponse response = QRCodeGenerator::generateQRCodeString(qrCodeDictionary);
  // A refused payload is dropped from the response; write it again to say what readers would meet.
  std::vector<Advisory> advisories =
      response.tlvString() ? adviseOnPayload(*response.tlvString(), level)
                           : adviseOnPayload(encoding::encode(qrCodeDictionary, nullptr), level);
  return {std::move(response), std::move(advisories)};
}

} // namespace pavenda
