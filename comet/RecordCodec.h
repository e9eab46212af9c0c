#pragma once

#include <cstdint>

#include "CometRecords.h"

// The records as file bytes, little-endian whatever the host, every byte
// (padding and reserved ones too) carried both ways.
constexpr std::size_t kWellHeaderBytes = 748;
constexpr std::size_t kCometRecordBytes = 216;

void DecodeWellHeader(const std::uint8_t* bytes, WellHeader& well);
void EncodeWellHeader(const WellHeader& well, std::uint8_t* bytes);
void DecodeCometRecord(const std::uint8_t* bytes, CometRecord& comet);
void EncodeCometRecord(const CometRecord& comet, std::uint8_t* bytes);
