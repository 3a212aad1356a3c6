#pragma once
// Frame capture on its own: the YUY2 Sample Grabber put between two pins and the frames taken
// from it or from a mixing renderer's current image. The video window holds the interfaces and
// picks the way by renderer kind; tests drive these on graphs of their own.
#include "dshow/DShow.h"

#include <d3d9.h>
#include <qedit.h>
#include <vmr9.h>

#include <memory>

class TBitmap;

inline constexpr CLSID CLSID_SampleGrabberFilter = {0xC1F400A0, 0x3F08, 0x11D3, {0x9F, 0x0B, 0x00, 0x60, 0x08, 0x03, 0x9E, 0x37}};

// Adds a Sample Grabber that asks for YUY2 video with sample buffering on and links
// upstream -> grabber -> downstream; the two pins are already disconnected. On failure the grabber
// is unlinked, out of the graph and `grabber` is empty; the caller restores the direct link.
HRESULT InsertYUY2Grabber(IGraphBuilder* graph, IPin* upstream, IPin* downstream, ComPtr<ISampleGrabber>& grabber);
// The grabber's last frame; none before the first frame has passed or for a type that is no
// YUY2 VIDEOINFOHEADER.
std::unique_ptr<TBitmap> GrabberFrame(ISampleGrabber* grabber);
// A packed DIB (info header, masks, colour table, bits) of `size` bytes as a bitmap; none for
// a picture the reader does not take.
std::unique_ptr<TBitmap> BitmapFromPackedDib(const uint8_t* dib, size_t size);
// A mixing renderer's current image through its windowless control.
std::unique_ptr<TBitmap> CurrentImage(IVMRWindowlessControl9* windowless);
std::unique_ptr<TBitmap> CurrentImage(IVMRWindowlessControl* windowless);
