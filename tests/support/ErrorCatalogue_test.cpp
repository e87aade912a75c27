#include <gtest/gtest.h>

#include <iterator>

#include <pavenda/ErrorConstants.h>

#include "support/PublishedCatalogue.h"

namespace pavenda {
namespace {

TEST(ErrorCatalogue, EveryMessageAsPublished) {
  const auto& dict = ZArodezErrorConstantsMap::errorDict();
  EXPECT_EQ(dict.size(), std::size(testing_support::publishedCatalogue));
  for (const auto& [code, message] : testing_support::publishedCatalogue) {
    EXPECT_EQ(ZArodezErrorConstantsMap::message(code), message) << code;
    const auto found = dict.find(code);
    ASSERT_NE(found, dict.end()) << code;
    EXPECT_EQ(found->second, message) << code;
  }
}

TEST(ErrorCatalogue, CodesWithoutMessageFindNothing) {
  for (const char* code : {"19", "33", "37", "40"}) {
    EXPECT_FALSE(ZArodezErrorConstantsMap::message(code)) << code;
    EXPECT_FALSE(ZArodezErrorConstantsMap::errorDict().contains(code)) << code;
  }
}

TEST(ErrorCatalogue, LookupIsByExactText) {
  for (const char* notACode : {"07", "+7", " 7", "56", "100", "", "x"})
    EXPECT_FALSE(ZArodezErrorConstantsMap::message(notACode)) << notACode;
}

TEST(ErrorCatalogue, ConstantsNameTheirCodes) {
  namespace C = ZArodezErrorConstants;
  EXPECT_EQ(C::currencyCodeInvaidLength, "14");
  EXPECT_EQ(C::convenienceFeePercentageInvalidTagPresent, "40");
  EXPECT_EQ(C::merchantAccountInformationTemplate::invalidLength, "50");
  EXPECT_EQ(C::merchantLanguageInformationTemplate::invalidLengthTag, "55");
  EXPECT_FALSE(ZArodezErrorConstantsMap::message(C::convenienceFeePercentageInvalidTagPresent));
}

} // namespace
} // namespace pavenda
