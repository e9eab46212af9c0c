#pragma once

#include <QImage>
#include <string>
#include <string_view>

// Decoded images with 16-bit samples made 8-bit by their significant bits
// (see SampleScaling.h), rather than by the toolkit's 1/257.

// Whether the decoded image holds 16-bit samples (grey or colour).
bool HasWideSamples(const QImage& decoded);

// The image as 8-bit grey (from 16-bit grey) or 24-bit Blue, Green, Red
// (from 16-bit colour, any alpha dropped), each sample scaled by the
// significant bits taken from `fileBits` (0 when the file states none) and
// the largest sample. The scaling used goes to the event log, after the
// name of the `source` file, whatever the log's setting.
QImage EightBitSamples(const QImage& decoded, int fileBits, const std::string& source = "");

// The significant bits a PNG file's sBIT chunk states for its colour (or
// grey) samples, the largest of them; 0 without the chunk. The bytes are
// a PNG file whose chunks were checked.
int PngSignificantBits(std::string_view bytes);
