// The device settings of a printer: the fields of the Windows DEVMODE record
// that the print path writes and reads, with their flag values, so that what a
// page asks for is recorded exactly and then becomes the job's options.
#pragma once

#include <cstdint>

namespace zentavo {

struct DeviceSettings {
  static constexpr std::uint32_t kOrientation = 0x0001;
  static constexpr std::uint32_t kPaperSize = 0x0002;
  static constexpr std::uint32_t kPaperLength = 0x0004;
  static constexpr std::uint32_t kPaperWidth = 0x0008;
  static constexpr std::uint32_t kCopies = 0x0100;
  static constexpr std::uint32_t kDefaultSource = 0x0200;
  static constexpr std::uint32_t kDuplex = 0x1000;

  static constexpr int kPortrait = 1;
  static constexpr int kLandscape = 2;
  static constexpr int kAutoSource = 7;
  static constexpr int kSimplex = 1;
  static constexpr int kVertical = 2;
  static constexpr int kHorizontal = 3;

  std::uint32_t fields = 0;
  int orientation = kPortrait;
  int paperSize = 0;    // paper number; 256 is a custom size
  int paperLength = 0;  // custom size, tenths of a millimetre
  int paperWidth = 0;
  int copies = 1;
  int defaultSource = kAutoSource;
  int duplex = kSimplex;

  friend bool operator==(const DeviceSettings&, const DeviceSettings&) = default;
};

}  // namespace zentavo
