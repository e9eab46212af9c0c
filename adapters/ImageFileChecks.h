#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Checks of an image file's bytes before the toolkit decodes them, each
// failure given as a reason in words ("not a PNG file (it holds a JPEG
// image)", "cut off after 1200 bytes", "its size is 0 x 480 pixels", "its
// 100000 x 100000 pixels need more than 512 MB"). A PNG file passes only
// when every chunk is whole and matches its checksum, its header is valid
// and it ends with its end chunk, so the PNG decoder never meets a broken
// file (it would complain on the terminal of its own accord).

enum class ImageFileKind { kJpeg, kPng, kBmp };

// The kind's name as users know it: "JPEG", "PNG", "BMP".
const char* ImageFileKindName(ImageFileKind kind);

// The reason the bytes cannot be decoded as the kind, or nothing.
// `limitBytes` bounds the decoded pixels.
std::optional<std::string> CheckImageFile(std::string_view bytes, ImageFileKind kind,
                                          std::uint64_t limitBytes);

// The CRC-32 of PNG chunks (and zlib), of the bytes given.
std::uint32_t Crc32(std::string_view bytes);
