#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

#include <pavenda/PayMerchantTLV.h>

#include "validation/Checks.h"

namespace pavenda {
namespace {

using validation::CodeList;
using validation::Facts;

// The Luhn test runs over the 16-digit form of the ID: that form is the fact of code "3".
TEST(Facts, TheMerchantIdCheckRecordsTheFormTheLuhnTestFailedOn) {
  struct Case {
    const char* id;
    const char* pan; // "" when code "3" is not raised
  };
  for (const Case& c : {Case{"41234567", "4123450000000067"}, Case{"41234568", ""},
                        Case{"4123456", "4123450000000006"}, Case{"4000000000000002", ""},
                        Case{"4A23456789012345", "4A23456789012345"}}) {
    Facts facts;
    CodeList codes(&facts);
    validation::validateMerchantID(codes, validation::Text(std::string_view(c.id)));
    EXPECT_EQ(facts.merchantPan, c.pan) << c.id;
  }
}

// Which of the tip and fee combinations raised "39" or "40".
TEST(Facts, TheTipAndFeeCheckRecordsWhichCombinationItRefused) {
  struct Case {
    const char* name;
    std::optional<std::string> formatIndicator, indicator, amount, percentage;
    bool insteadOfPercentage, percentageMissing, fixedFeeMissing, percentageWithFixedFee;
  };
  const Case cases[] = {
      {"fixed fee without amount", "01", "02", std::nullopt, std::nullopt, false, false, true,
       false},
      {"fixed fee with percentage", "01", "02", "5.00", "2", false, false, false, true},
      {"fixed fee with neither amount but percentage", "01", "02", std::nullopt, "2", false, false,
       true, true},
      {"percentage without either", "01", "03", std::nullopt, std::nullopt, false, true, false,
       false},
      {"percentage given as amount, two-digit", "01", "03", "5.00", std::nullopt, true, false,
       false, false},
      {"percentage given as amount, single-character", std::nullopt, "03", "5.00", std::nullopt,
       true, false, false, false},
      {"percentage as due", "01", "03", std::nullopt, "2", false, false, false, false},
  };
  for (const Case& c : cases) {
    ZArodezPayMerchantTLV record;
    record.setPayloadFormatIndicator(c.formatIndicator);
    record.setTipAndFeeIndicator(c.indicator);
    record.setConvenienceFeeAmount(c.amount);
    record.setConvenienceFeePercentage(c.percentage);
    Facts facts;
    CodeList codes(&facts);
    validation::validateTipAndFeeIndicator(codes, validation::RecordView(record));
    EXPECT_EQ(facts.feeAmountInsteadOfPercentage, c.insteadOfPercentage) << c.name;
    EXPECT_EQ(facts.percentageMissing, c.percentageMissing) << c.name;
    EXPECT_EQ(facts.fixedFeeMissing, c.fixedFeeMissing) << c.name;
    EXPECT_EQ(facts.percentageWithFixedFee, c.percentageWithFixedFee) << c.name;
  }
}

// The CRC of "...6304" over everything before its value (CRC-16/CCITT-FALSE of "123456789" is
// 29B1), whether the given value is a wrong number or no number at all.
TEST(Facts, TheCrcCheckRecordsTheCrcItComputed) {
  struct Case {
    const char* crc;
    std::optional<std::uint16_t> computed;
    bool notHexadecimal;
  };
  for (const Case& c : {Case{"29B1", std::nullopt, false}, Case{"29b1", std::nullopt, false},
                        Case{"0000", 0x29B1, false}, Case{"29G1", 0x29B1, true},
                        Case{"29B", std::nullopt, false}}) {
    const std::string payload = std::string("123456789") + c.crc;
    Facts facts;
    CodeList codes(&facts);
    validation::validateCRC(codes, validation::Text(std::string_view(c.crc)),
                            validation::Text(std::string_view(payload)));
    EXPECT_EQ(facts.computedCrc, c.computed) << c.crc;
    EXPECT_EQ(facts.crcNotHexadecimal, c.notHexadecimal) << c.crc;
  }
}

// Without a place for facts the checks raise the same codes and record nothing.
TEST(Facts, AListWithoutFactsRaisesTheSameCodes) {
  Facts facts;
  CodeList withFacts(&facts);
  CodeList without;
  validation::validateMerchantID(withFacts, validation::Text(std::string_view("41234567")));
  validation::validateMerchantID(without, validation::Text(std::string_view("41234567")));
  EXPECT_EQ(withFacts.texts(), without.texts());
  EXPECT_EQ(without.facts(), nullptr);
}

} // namespace
} // namespace pavenda
