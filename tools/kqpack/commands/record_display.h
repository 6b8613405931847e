// Record metadata as text, for the listings.
#pragma once

#include <cstdint>
#include <string>

namespace kqpack {

std::string FormatDosDate(uint16_t dos_date);  // "2003-09-14"
std::string FormatDosTime(uint16_t dos_time);  // "08:30:46"
std::string FormatAttributes(uint8_t dos_attributes);  // "A", "AR", or "-" for none

}  // namespace kqpack
