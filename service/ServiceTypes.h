#pragma once
// Value types of the service component's settings.
#include <cstdint>
#include <initializer_list>

namespace odb {

enum class TProtocol : std::uint8_t { TCP = 0, SPX = 1, NamedPipe = 2, Local = 3 };

// Ordinal n sets bit n of the backup's isc_spb_options value.
enum class TBackupOption : std::uint8_t {
  IgnoreChecksums,      // isc_spb_bkp_ignore_checksums
  IgnoreLimbo,          // isc_spb_bkp_ignore_limbo
  MetadataOnly,         // isc_spb_bkp_metadata_only
  NoGarbageCollection,  // isc_spb_bkp_no_garbage_collect
  OldMetadataDesc,      // isc_spb_bkp_old_descriptions
  NonTransportable,     // isc_spb_bkp_non_transportable
  ConvertExtTables,     // isc_spb_bkp_convert
};

// A set of TBackupOption held in one byte; the byte is the options value sent.
class TBackupOptions {
 public:
  constexpr TBackupOptions() = default;
  constexpr TBackupOptions(std::initializer_list<TBackupOption> members) {
    for (TBackupOption m : members) Include(m);
  }
  static constexpr TBackupOptions FromByte(std::uint8_t bits) {
    TBackupOptions set;
    set.bits_ = bits & 0x7F;
    return set;
  }
  constexpr void Include(TBackupOption m) { bits_ |= Bit(m); }
  constexpr void Exclude(TBackupOption m) { bits_ &= static_cast<std::uint8_t>(~Bit(m)); }
  constexpr bool Contains(TBackupOption m) const { return (bits_ & Bit(m)) != 0; }
  constexpr bool Empty() const { return bits_ == 0; }
  constexpr std::uint8_t Byte() const { return bits_; }
  friend constexpr bool operator==(TBackupOptions, TBackupOptions) = default;

 private:
  static constexpr std::uint8_t Bit(TBackupOption m) {
    return static_cast<std::uint8_t>(1u << static_cast<unsigned>(m));
  }
  std::uint8_t bits_ = 0;
};

}  // namespace odb
