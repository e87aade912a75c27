#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <latch>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <pavenda/QRCodeGenerator.h>
#include <pavenda/TLVGenerator.h>

#include "validation/SharedValidator.h"

namespace pavenda {
namespace {

// Sanitizers slow each call tenfold or more: fewer calls keep the run short; interleavings still
// come from the threads starting together.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr std::size_t threadCount = 4;
constexpr std::size_t callsPerThread = 150;
#else
constexpr std::size_t threadCount = 8;
constexpr std::size_t callsPerThread = 1500;
#endif

// The dictionary of call `i` of thread `t`: a dynamic code with its own amount and bill number,
// every fifth one in Chinese, every seventh one with a wrong category code, so that successes and
// findings interleave.
FieldDictionary dictionaryOf(std::size_t t, std::size_t i) {
  const std::string n = std::to_string(t * callsPerThread + i);
  FieldDictionary dictionary{{"payloadFormatIndicator", "01"},
                             {"pointOfInitiation", "12"},
                             {"zArodezMerchantID", "4000000000000002"},
                             {"merchantCategoryCode", i % 7 == 3 ? "58A2" : "5812"},
                             {"currencyCode", "356"},
                             {"transactionAmount", std::to_string(1 + i % 9000) + ".50"},
                             {"tipAndFeeIndicator", "02"},
                             {"convenienceFeeAmount", "10.00"},
                             {"countryCode", "IN"},
                             {"merchantName", "Shop " + n},
                             {"cityName", "Bengaluru"},
                             {"additionalDataFieldTemplate",
                              FieldDictionary{{"billID", "INV-" + n}, {"terminalID", "T-07"}}}};
  if (i % 5 == 0)
    dictionary.set("merchantInformationLanguageTemplate",
                   FieldDictionary{{"languagePreference", "ZH"},
                                   {"merchantNameAlternateLanguage", "金龙茶馆" + n}});
  return dictionary;
}

// The payload call `i` validates: the encoder's text, its CRC spoilt in every third one.
std::string payloadOf(std::size_t t, std::size_t i) {
  std::string payload = TLVGenerator::encodeDictToTLV(dictionaryOf(t, i));
  if (i % 3 == 1)
    payload.back() = payload.back() == '0' ? '1' : '0';
  return payload;
}

struct Expected {
  PavendaResponse generated;
  std::vector<std::string> codes;
};

TEST(Concurrency, EightThreadsGenerateAndValidateTheirOwnPayloadsAtOnce) {
  std::vector<std::vector<Expected>> expected(threadCount);
  for (std::size_t t = 0; t < threadCount; ++t) {
    expected[t].reserve(callsPerThread);
    for (std::size_t i = 0; i < callsPerThread; ++i)
      expected[t].push_back({QRCodeGenerator::generateQRCodeString(dictionaryOf(t, i)),
                             TLVGenerator::tlvValidation(payloadOf(t, i))});
  }

  std::latch start(threadCount);
  std::vector<std::size_t> mismatches(threadCount, 0);
  std::vector<std::thread> threads;
  for (std::size_t t = 0; t < threadCount; ++t)
    threads.emplace_back([&, t] {
      start.arrive_and_wait();
      for (std::size_t i = 0; i < callsPerThread; ++i) {
        if (QRCodeGenerator::generateQRCodeString(dictionaryOf(t, i)) != expected[t][i].generated)
          ++mismatches[t];
        if (TLVGenerator::tlvValidation(payloadOf(t, i)) != expected[t][i].codes)
          ++mismatches[t];
      }
    });
  for (std::thread& thread : threads)
    thread.join();

  for (std::size_t t = 0; t < threadCount; ++t)
    EXPECT_EQ(mismatches[t], 0U) << "thread " << t;
  // The cases must really differ in outcome, or the comparison proves little.
  const auto successes = std::count_if(expected[0].begin(), expected[0].end(),
                                       [](const Expected& e) { return e.generated.tlvString(); });
  EXPECT_GT(successes, 0);
  EXPECT_LT(successes, static_cast<std::ptrdiff_t>(callsPerThread));
}

// The library's own validations share nothing: they finish while another caller holds the shared
// validator's lock.
TEST(Concurrency, ValidationAndGenerationTakeNoSharedLock) {
  std::atomic<bool> done = false;
  auto lock = ZArodezPayMerchantTLVValidator::sharedValidator().lock();
  std::thread worker([&] {
    (void)TLVGenerator::tlvValidation(payloadOf(0, 1));
    (void)QRCodeGenerator::generateQRCodeString(dictionaryOf(0, 1));
    done = true;
  });
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!done && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_TRUE(done);
  lock.unlock();
  worker.join();
}

} // namespace
} // namespace pavenda
