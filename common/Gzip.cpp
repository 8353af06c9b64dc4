#include "common/Gzip.h"

#include <zlib.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include "common/FileSystem.h"

namespace odb::gzip {
namespace {

constexpr size_t kChunk = 1 << 18;
// 15 window bits, plus 16 for the gzip wrapper instead of zlib's.
constexpr int kGzipWindow = 15 + 16;
// Level 6 is gzip's own default; higher levels cost far more time than they save.
constexpr int kLevel = 6;

using TFile = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;
// Takes each block of output; false stops the stream.
using TSink = std::function<bool(const unsigned char*, size_t)>;

TFile Wrap(std::FILE* f) { return TFile(f, &std::fclose); }

std::string SystemDetail() { return errno ? std::strerror(errno) : std::string(); }

TResult Failed(TFailure failure, std::string detail) {
  TResult r;
  r.failure = failure;
  r.detail = std::move(detail);
  return r;
}

// Deflates (or inflates) the whole source into the sink. The stream is
// initialised by the caller and ended here.
TResult Pump(std::FILE* source, z_stream& z, bool deflating, const TSink& sink, const TBreathe& breathe) {
  std::vector<unsigned char> in(kChunk), out(kChunk);
  TResult r;
  int status = Z_OK;
  bool atEnd = false;
  while (status != Z_STREAM_END || (!deflating && !atEnd)) {
    if (z.avail_in == 0 && !atEnd) {
      z.avail_in = static_cast<uInt>(std::fread(in.data(), 1, in.size(), source));
      z.next_in = in.data();
      r.bytesIn += z.avail_in;
      if (std::ferror(source)) return Failed(TFailure::ReadSource, SystemDetail());
      atEnd = std::feof(source) != 0;
      if (breathe) breathe();
    }
    if (!deflating && status == Z_STREAM_END) {
      // Another member follows (a file of concatenated gzip streams).
      if (z.avail_in == 0) break;
      inflateReset(&z);
    }
    z.avail_out = static_cast<uInt>(out.size());
    z.next_out = out.data();
    status = deflating ? deflate(&z, atEnd ? Z_FINISH : Z_NO_FLUSH) : inflate(&z, Z_NO_FLUSH);
    if (status == Z_NEED_DICT || status == Z_DATA_ERROR || status == Z_MEM_ERROR ||
        status == Z_STREAM_ERROR) {
      return Failed(TFailure::Corrupt, z.msg ? z.msg : "");
    }
    const size_t produced = out.size() - z.avail_out;
    r.bytesOut += produced;
    if (produced && !sink(out.data(), produced)) return Failed(TFailure::WriteTarget, SystemDetail());
    // No progress with the input used up: the stream ends before its trailer.
    if (status == Z_BUF_ERROR && atEnd && z.avail_in == 0) return Failed(TFailure::Corrupt, "");
  }
  return r;
}

TResult Stream(const std::string& from, bool deflating, const TSink& sink, const TBreathe& breathe = {}) {
  errno = 0;
  TFile source = Wrap(fs::OpenForReading(from));
  if (!source) return Failed(TFailure::ReadSource, SystemDetail());
  z_stream z{};
  const int init = deflating ? deflateInit2(&z, kLevel, Z_DEFLATED, kGzipWindow, 8, Z_DEFAULT_STRATEGY)
                             : inflateInit2(&z, kGzipWindow);
  if (init != Z_OK) return Failed(TFailure::Corrupt, z.msg ? z.msg : "");
  TResult r = Pump(source.get(), z, deflating, sink, breathe);
  deflating ? deflateEnd(&z) : inflateEnd(&z);
  return r;
}

TResult ToNewFile(const std::string& from, const std::string& to, bool deflating, const TBreathe& breathe = {}) {
  errno = 0;
  TFile target = Wrap(fs::CreateNewFile(to));
  if (!target) return Failed(TFailure::WriteTarget, SystemDetail());
  std::FILE* out = target.get();
  TResult r = Stream(from, deflating, [out](const unsigned char* data, size_t size) {
    return std::fwrite(data, 1, size, out) == size;
  }, breathe);
  if (r && !fs::SyncFile(out)) r = Failed(TFailure::WriteTarget, SystemDetail());
  if (std::fclose(target.release()) != 0 && r) r = Failed(TFailure::WriteTarget, SystemDetail());
  if (!r) fs::RemoveFile(to);
  return r;
}

}  // namespace

TResult CompressFile(const std::string& from, const std::string& to, const TBreathe& breathe) {
  return ToNewFile(from, to, true, breathe);
}

TResult DecompressFile(const std::string& from, const std::string& to) {
  return ToNewFile(from, to, false);
}

bool DecompressesTo(const std::string& compressed, const std::string& original, const TBreathe& breathe) {
  TFile expected = Wrap(fs::OpenForReading(original));
  if (!expected) return false;
  std::vector<unsigned char> buffer(kChunk);
  std::FILE* in = expected.get();
  const TResult r = Stream(compressed, false, [&](const unsigned char* data, size_t size) {
    return std::fread(buffer.data(), 1, size, in) == size && std::memcmp(buffer.data(), data, size) == 0;
  }, breathe);
  return r && std::fgetc(in) == EOF;
}

}  // namespace odb::gzip
