#include <gtest/gtest.h>

#include <pavenda/ErrorConstants.h>

namespace pavenda {
namespace {

TEST(ErrorCatalogue, HasEveryCodeButFour) {
  const auto& dict = ZArodezErrorConstantsMap::errorDict();
  EXPECT_EQ(dict.size(), 52U);
  for (int n = 0; n <= 55; ++n) {
    const std::string code = std::to_string(n);
    const bool withoutMessage = n == 19 || n == 33 || n == 37 || n == 40;
    EXPECT_EQ(dict.contains(code), !withoutMessage) << code;
    EXPECT_EQ(ZArodezErrorConstantsMap::message(code).has_value(), !withoutMessage) << code;
    if (!withoutMessage) {
      EXPECT_EQ(*ZArodezErrorConstantsMap::message(code), dict.at(code));
    }
  }
}

TEST(ErrorCatalogue, SharedAndQuirkyMessagesKeptAsTheyAre) {
  const auto message = [](std::string_view code) {
    return *ZArodezErrorConstantsMap::message(code);
  };
  EXPECT_EQ(message("8"), message("9"));
  EXPECT_EQ(message("54"), "Missing Merchant Name Tag");
  EXPECT_EQ(message("52"), message("54"));
  EXPECT_EQ(message("30").back(), ' ');
  EXPECT_NE(message("48").find("in  tag 63"), std::string_view::npos);
  EXPECT_NE(message("39").find("Indicator02,03)"), std::string_view::npos);
  EXPECT_EQ(message("18"), "Tag ID \"6\" should not be included. Applicable if transaction amount "
                           "is NOT present)");
  EXPECT_EQ(message("0"), "Tags except 00, 63 NOT in sequence/Malformed/Unrecognized tags");
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
