#ifndef PAVENDA_PAVENDA_H
#define PAVENDA_PAVENDA_H

// Everything a C++ caller needs: generation, encoding and validation, the field dictionary, the tag
// constants, the error objects and constants, and the decoded record.

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
