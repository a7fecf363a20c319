// MD5 over OpenSSL's EVP interface.
#include "Md5.h"

#include <openssl/evp.h>

#include <cstdio>
#include <memory>

namespace {

struct ContextFree {
  void operator()(EVP_MD_CTX* c) const { EVP_MD_CTX_free(c); }
};
using Context = std::unique_ptr<EVP_MD_CTX, ContextFree>;

Context Begin() {
  Context ctx(EVP_MD_CTX_new());
  if (ctx && EVP_DigestInit_ex(ctx.get(), EVP_md5(), nullptr) != 1) ctx.reset();
  return ctx;
}

std::string Finish(EVP_MD_CTX* ctx) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (EVP_DigestFinal_ex(ctx, digest, &length) != 1) return std::string();
  static const char kHex[] = "0123456789abcdef";
  std::string out;
  for (unsigned int i = 0; i < length; ++i) {
    out += kHex[digest[i] >> 4];
    out += kHex[digest[i] & 15];
  }
  return out;
}

}  // namespace

std::string Md5Hex(const void* data, size_t size) {
  Context ctx = Begin();
  if (!ctx || (size && EVP_DigestUpdate(ctx.get(), data, size) != 1)) return std::string();
  return Finish(ctx.get());
}

std::string Md5Hex(const std::string& text) { return Md5Hex(text.data(), text.size()); }

std::string FileMd5Hex(const std::string& path) {
  const std::string unreadable = "-1";
  if (path.empty()) return unreadable;
  FILE* file = fopen(path.c_str(), "rb");
  if (!file) return unreadable;
  Context ctx = Begin();
  bool ok = ctx != nullptr;
  unsigned char buffer[65536];
  while (ok) {
    size_t n = fread(buffer, 1, sizeof(buffer), file);
    if (n && EVP_DigestUpdate(ctx.get(), buffer, n) != 1) ok = false;
    if (n < sizeof(buffer)) {
      // A folder opens but cannot be read: that is not an empty file.
      if (ferror(file)) ok = false;
      break;
    }
  }
  fclose(file);
  if (!ok) return unreadable;
  std::string hex = Finish(ctx.get());
  return hex.empty() ? unreadable : hex;
}
