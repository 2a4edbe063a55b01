#include "updater/SignatureCheck.h"

#include <windows.h>
#include <bcrypt.h>

#include <cstring>

#include "platform/Handles.h"
#include "platform/WinText.h"
#include "updater/UpdaterText.h"

namespace tmr {
namespace {

struct Algorithm {
  BCRYPT_ALG_HANDLE handle = nullptr;
  explicit Algorithm(const wchar_t* id) {
    if (BCryptOpenAlgorithmProvider(&handle, id, nullptr, 0) != 0) handle = nullptr;
  }
  ~Algorithm() {
    if (handle) BCryptCloseAlgorithmProvider(handle, 0);
  }
  Algorithm(const Algorithm&) = delete;
  Algorithm& operator=(const Algorithm&) = delete;
};

bool Sha256OfFile(const std::string& path, std::vector<uint8_t>& digest) {
  UniqueFileHandle file(CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  Algorithm sha(BCRYPT_SHA256_ALGORITHM);
  if (!sha.handle) return false;
  BCRYPT_HASH_HANDLE hash = nullptr;
  if (BCryptCreateHash(sha.handle, &hash, nullptr, 0, nullptr, 0, 0) != 0) return false;
  ScopeExit destroy([&] { BCryptDestroyHash(hash); });
  std::vector<uint8_t> buffer(64 * 1024);
  while (true) {
    DWORD read = 0;
    if (!ReadFile(file.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr)) return false;
    if (read == 0) break;
    if (BCryptHashData(hash, buffer.data(), read, 0) != 0) return false;
  }
  digest.assign(32, 0);
  return BCryptFinishHash(hash, digest.data(), 32, 0) == 0;
}

}  // namespace

bool VerifyFileSignature(const std::string& file, const std::vector<uint8_t>& derSignature,
                         const std::vector<uint8_t>& publicKey) {
  if (publicKey.size() != 64) return false;
  auto raw = DerSignatureToRaw(derSignature, 32);
  if (!raw) return false;
  std::vector<uint8_t> digest;
  if (!Sha256OfFile(file, digest)) return false;

  Algorithm ecdsa(BCRYPT_ECDSA_P256_ALGORITHM);
  if (!ecdsa.handle) return false;
  std::vector<uint8_t> blob(sizeof(BCRYPT_ECCKEY_BLOB) + 64);
  BCRYPT_ECCKEY_BLOB header{BCRYPT_ECDSA_PUBLIC_P256_MAGIC, 32};
  std::memcpy(blob.data(), &header, sizeof(header));
  std::memcpy(blob.data() + sizeof(header), publicKey.data(), 64);
  BCRYPT_KEY_HANDLE key = nullptr;
  if (BCryptImportKeyPair(ecdsa.handle, nullptr, BCRYPT_ECCPUBLIC_BLOB, &key, blob.data(),
                          static_cast<ULONG>(blob.size()), 0) != 0) {
    return false;
  }
  NTSTATUS status = BCryptVerifySignature(key, nullptr, digest.data(), 32, raw->data(), 64, 0);
  BCryptDestroyKey(key);
  return status == 0;
}

}  // namespace tmr
