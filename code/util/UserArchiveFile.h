// A small archive file of the player's own (settings.bin, jokes.bin): the engine's
// archive version as int32, then the owner's data. A file is replaced whole: its
// bytes go into a temporary file in the same folder, which is renamed over the old
// one, so a crash or a full disk never leaves a truncated file behind.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

class IVFileInStream;
class VArchive;

class UserArchiveFile {
 public:
  typedef std::function<void(VArchive&)> Body;

  // Opens the file through the engine's file manager, reads the version into the
  // archive's loading version and runs body. False when the file is absent, the
  // version is not a valid archive version or body leaves the archive failed.
  static bool Read(const char* path, const Body& body);
  // The same over an open stream, which the caller keeps and closes.
  static bool Read(IVFileInStream* in, const char* name, const Body& body);
  // Writes the current archive version and body's data. False when any step fails;
  // the old file is then untouched.
  static bool Write(const char* path, const Body& body);
  // Replaces the file with the bytes: temporary file beside it (removed again on
  // failure), every write checked, flushed to the disk, renamed over the old file.
  static bool ReplaceFile(const char* path, const void* data, size_t size);
  // The path of a file of that name in the player's product folder,
  // <documents>/Fenwold/Brinemark, which is made when missing. False without a
  // documents folder or when the product folder cannot be made.
  static bool GetUserFilePath(const char* fileName, std::string& out);
};
