#pragma once
// Whole files in and out of the gzip format (RFC 1952), streamed, so that a
// backup of gigabytes never has to fit in memory. Texts for the user are the
// caller's: a result says which side failed and carries the system's detail.
#include <cstdint>
#include <functional>
#include <string>

namespace odb::gzip {

enum class TFailure {
  None,
  ReadSource,   // the source could not be opened or read
  WriteTarget,  // the target could not be created (or exists), written or synced
  Corrupt,      // the source is not a whole gzip stream
};

struct TResult {
  TFailure failure = TFailure::None;
  std::string detail;  // the system's or zlib's words, when it gave any
  uint64_t bytesIn = 0;
  uint64_t bytesOut = 0;
  explicit operator bool() const { return failure == TFailure::None; }
};

// Called between blocks of a long stream, so that a program with a window
// can handle its messages while gigabytes go through.
using TBreathe = std::function<void()>;

// Compresses `from` into the new file `to`, flushed to the disk. The target
// must not exist; what a failure left of it is removed.
TResult CompressFile(const std::string& from, const std::string& to, const TBreathe& breathe = {});
// Decompresses the gzip file `from` into the new file `to`, on the same terms.
TResult DecompressFile(const std::string& from, const std::string& to);
// Whether `compressed` is a whole gzip stream of exactly the bytes of `original`.
bool DecompressesTo(const std::string& compressed, const std::string& original, const TBreathe& breathe = {});

}  // namespace odb::gzip
