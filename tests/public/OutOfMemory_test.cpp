#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <functional>
#include <new>
#include <string>

#include <pavenda/FieldDictionary.h>
#include <pavenda/QRCodeGenerator.h>
#include <pavenda/TLVGenerator.h>
#include <pavenda/pavenda_c.h>

// Every allocation of the test program goes through here, so that a test can make the next one
// fail. Unlimited (-1) unless a test says otherwise.
namespace {
std::atomic<long> allocationsLeft{-1};
} // namespace

void* operator new(std::size_t size) {
  if (const long left = allocationsLeft.load(std::memory_order_relaxed); left >= 0) {
    if (left == 0)
      throw std::bad_alloc();
    allocationsLeft.store(left - 1, std::memory_order_relaxed);
  }
  if (void* memory = std::malloc(size == 0 ? 1 : size))
    return memory;
  throw std::bad_alloc();
}
void operator delete(void* memory) noexcept {
  std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
  std::free(memory);
}

namespace pavenda {
namespace {

constexpr const char* json = R"({"payloadFormatIndicator": "01", "pointOfInitiation": "12",
  "zArodezMerchantID": "4000000000000002", "merchantCategoryCode": "5812", "currencyCode": "356",
  "transactionAmount": "450.00", "countryCode": "IN", "merchantName": "Corner Shop",
  "cityName": "Chennai", "additionalDataFieldTemplate": {"billID": "1234"},
  "merchantInformationLanguageTemplate": {"languagePreference": "ZH"}})";

// Runs `call` with the n-th allocation failing, for n = 0, 1, ... until a run needs no failure:
// each run must either throw std::bad_alloc (nothing else, no abort from a noexcept function) or
// give the same answer as a run with memory enough. Answers the number of failed runs.
int failEachAllocation(const std::function<std::string()>& call) {
  const std::string expected = call();
  for (long n = 0;; ++n) {
    allocationsLeft = n;
    std::string got;
    try {
      got = call();
    } catch (const std::bad_alloc&) {
      allocationsLeft = -1;
      continue;
    } catch (...) {
      allocationsLeft = -1;
      ADD_FAILURE() << "allocation " << n << ": an exception other than std::bad_alloc";
      return static_cast<int>(n);
    }
    const bool exhausted = allocationsLeft == 0;
    allocationsLeft = -1;
    EXPECT_EQ(got, expected) << "allocation " << n << " failed and the answer changed";
    if (!exhausted)
      return static_cast<int>(n);
  }
}

std::string describe(const PavendaResponse& response) {
  if (response.tlvString())
    return *response.tlvString();
  std::string codes;
  for (const std::string& code : response.qrCodeError()->errorCodes())
    codes += code + ' ';
  return codes;
}

TEST(OutOfMemory, OnlyBadAllocLeavesTheLibrary) {
  const FieldDictionary fields = *FieldDictionary::fromJSON(json);
  const std::string payload = TLVGenerator::encodeDictToTLV(fields);
  const std::function<std::string()> calls[] = {
      [] {
        std::string error;
        const auto read = FieldDictionary::fromJSON(json, &error);
        return read ? std::to_string(read->size()) : error;
      },
      [] {
        std::string error;
        FieldDictionary::fromJSON(R"({"transactionAmount": 450.00, "merchantNmae": "x"})", &error);
        return error;
      },
      [&] { return TLVGenerator::encodeDictToTLV(fields); },
      [&] { return std::to_string(TLVGenerator::tlvValidation(payload).size()); },
      [&] { return describe(QRCodeGenerator::generateQRCodeString(fields)); },
      [&] { return fields.firstUnwritableField().value_or("writable"); },
  };
  for (const auto& call : calls)
    EXPECT_GT(failEachAllocation(call), 0) << "the call must allocate, or the test tests nothing";
}

TEST(OutOfMemory, TheCInterfaceAnswersOutOfMemory) {
  int outOfMemory = 0;
  failEachAllocation([&] {
    pavenda_response* response = nullptr;
    const pavenda_status status =
        pavenda_generate_json(json, std::char_traits<char>::length(json), &response);
    pavenda_response_free(response);
    if (status == PAVENDA_OUT_OF_MEMORY) {
      ++outOfMemory;
      throw std::bad_alloc(); // counted as a failed run above
    }
    return std::string(pavenda_status_name(status));
  });
  EXPECT_GT(outOfMemory, 0);
}

} // namespace
} // namespace pavenda
