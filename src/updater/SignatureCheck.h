// Checks an installer against its detached signature: ECDSA P-256 over the
// SHA-256 of the file, with the public key the updater was built with.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tmr {

// derSignature as openssl writes it; publicKey is the point X||Y (64 bytes).
// False for anything that does not verify, including an unreadable file, a
// damaged signature or an unusable key.
bool VerifyFileSignature(const std::string& file, const std::vector<uint8_t>& derSignature,
                         const std::vector<uint8_t>& publicKey);

}  // namespace tmr
