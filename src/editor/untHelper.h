#pragma once
// Small shell helpers of the editor and the product's web address.

#include <QString>

// The product's web address: opened by the web command and shown in the caption.
inline constexpr char16_t PRODUCT_WEB_ADDRESS[] = u"https://vuplora.example.com";

class TMisc {
public:
    // Asks the desktop to open a document or web address; a failure passes
    // silently.
    static void Open(const QString &sCommand);
};
