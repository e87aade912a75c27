#ifndef PAVENDA_PAVENDA_H
#define PAVENDA_PAVENDA_H

/// @file
/// Everything a C++ caller needs: generation, encoding and validation, the field dictionary, the
/// tag constants, the error objects and constants, and the decoded record.
///
/// @code
/// #include <iostream>
/// #include <pavenda/pavenda.h>
///
/// int main() {
///   using pavenda::FieldDictionary;
///   const FieldDictionary fields{
///       {"payloadFormatIndicator", "01"}, {"zArodezMerchantID", "4000000000000002"},
///       {"merchantCategoryCode", "5812"}, {"currencyCode", "356"},
///       {"countryCode", "IN"}, {"merchantName", "Saffron Kitchen"}, {"cityName", "Bengaluru"},
///       {"additionalDataFieldTemplate", FieldDictionary{{"billID", "INV-17"}}}};
///   const auto response = pavenda::QRCodeGenerator::generateQRCodeString(fields);
///   if (response.tlvString()) return std::cout << *response.tlvString() << '\n', 0;
///   for (const pavenda::QRError& error : *response.qrErrors())
///     std::cout << error.errorCode() << ": " << error.errorDescription() << '\n';
///   return 1;
/// }
/// @endcode
///
/// The calls run on the caller's thread; calls that generate or validate must not overlap.

#include <pavenda/DecodedFields.h>
#include <pavenda/ErrorConstants.h>
#include <pavenda/FieldDictionary.h>
#include <pavenda/Findings.h>
#include <pavenda/MerchantTLV.h>
#include <pavenda/PavendaResponse.h>
#include <pavenda/PayMerchantTLV.h>
#include <pavenda/QRCodeError.h>
#include <pavenda/QRCodeGenerator.h>
#include <pavenda/QRCodeTag.h>
#include <pavenda/TLVGenerator.h>
#include <pavenda/TextMap.h>
#include <pavenda/Version.h>

#endif
