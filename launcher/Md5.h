// MD5 digests as 32 lower-case hexadecimal digits, for the update check's form.
#pragma once

#include <cstddef>
#include <string>

std::string Md5Hex(const void* data, size_t size);
std::string Md5Hex(const std::string& text);
// The digest of a file's bytes; "-1" when the file cannot be read.
std::string FileMd5Hex(const std::string& path);
