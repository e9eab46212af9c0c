#pragma once

#include <string>

#include "BitmapImage.h"
#include "ToolkitPictures.h"

// The toolkit's bitmaps and pictures, one guarded operation each: every
// wrapper writes its trace lines, turns any failure into an ERROR line and
// a false result (or no object), and never lets anything escape.

TBitmap* TBitmap_Create();
bool TBitmap_Destroy(TBitmap* bitmap);
bool TBitmap_SetDimensions(TBitmap* bitmap, int width, int height, ToolkitPixelFormat format);
bool TBitmap_Assign(TBitmap* bitmap, const TPngImage* picture);
bool TBitmap_Assign(TBitmap* bitmap, const TJPEGImage* picture);
// 16-bit samples of PNG and TIFF pictures are scaled to 8 bits by their
// significant bits (see SampleScaling.h).
bool TBitmap_Assign(TBitmap* bitmap, const TTiffImage* picture);
// Raster image to bitmap: pixel rows only, bottom-up rows to top-down
// scanlines.
bool TBitmap_Assign(TBitmap* bitmap, const BitmapImageClass* image);
// A BMP file (of any depth the toolkit reads) into the bitmap. The file
// loaders check the file's bytes first; on failure `why` (when given) gets
// the reason in words, without the file's name ("cut off after 1200
// bytes", "permission denied").
bool TBitmap_LoadFromFile(TBitmap* bitmap, const std::string& fileName, std::string* why = nullptr);

TJPEGImage* TJPEGImage_Create();
bool TJPEGImage_Destroy(TJPEGImage* picture);
bool TJPEGImage_SetQuality(TJPEGImage* picture, int quality);
bool TJPEGImage_LoadFromFile(TJPEGImage* picture, const std::string& fileName,
                             std::string* why = nullptr);
bool TJPEGImage_SaveToFile(TJPEGImage* picture, const std::string& fileName);
// Compresses the bitmap at the picture's quality.
bool TJPEGImage_Assign(TJPEGImage* picture, const TBitmap* bitmap);
// Compresses the raster image; always reports success (the save reports).
bool TJPEGImage_Assign(TJPEGImage* picture, const BitmapImageClass* image);
// A new picture of the raster image at the given quality; not traced itself.
TJPEGImage* TJPEGImage_CreateFromImage(const BitmapImageClass& image, int quality);

TPngImage* TPngImage_Create();
bool TPngImage_Destroy(TPngImage* picture);
bool TPngImage_LoadFromFile(TPngImage* picture, const std::string& fileName,
                            std::string* why = nullptr);

TTiffImage* TTiffImage_Create();
bool TTiffImage_Destroy(TTiffImage* picture);
// The first page of a TIFF file; a file of several pages says so in the
// event log.
bool TTiffImage_LoadFromFile(TTiffImage* picture, const std::string& fileName,
                             std::string* why = nullptr);

// Writes a raster image as a PNG file (replacing any file of that name).
bool SaveRasterAsPng(const BitmapImageClass& image, const std::string& fileName);

// The largest image the toolkit decodes, in megabytes of decoded pixels.
constexpr int kDecodeLimitMegabytes = 512;
constexpr std::uint64_t kDecodeLimitBytes = std::uint64_t{kDecodeLimitMegabytes} << 20;

// Qt's own warnings (a corrupt JPEG's, say) go to the event log instead of
// the terminal.
void RouteToolkitMessagesToLog();

// Makes the calling thread known to the toolkit before worker threads decode
// images. Without an application object the toolkit takes the first thread
// that makes one of its objects for its main thread; were that a worker, its
// thread data would be freed when the worker ends while the toolkit still
// refers to it, and the program's heap would be corrupted by the time it
// exits. Call it on the thread that starts the workers; harmless to repeat.
void PrepareToolkitForWorkerThreads();
