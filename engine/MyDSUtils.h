#pragma once
// Graph utilities on the objects the caller hands in: binding devices by moniker name, probing
// filter classes and pins, emptying a graph, and adding splitters. An out interface is cleared
// first and holds a reference only on success.
#include "dshow/DShow.h"
#include "engine/DSUtil.h"
#include "engine/GraphBuildCore.h"
#include "framework/SysUtils.h"

// Binds the moniker named by displayName: the filter (left empty when binding fails) and its
// "FriendlyName" ("Unknown" when that cannot be read). Result: that of the name's read, or of
// the step before it that failed.
HRESULT GetFriendlyNameFromDisplayName(const WideString& displayName, ComPtr<IBaseFilter>& filter, WideString& friendlyName);
// True when an instance of the class can be created in process (it is released at once).
bool CanCreateFilter(const CLSID& classId);
// The first input pin that accepts Dolby AC3 over S/PDIF; E_FAIL without a filter or pin.
HRESULT FindAC3SpdifPin(IBaseFilter* filter, ComPtr<IPin>& pin);
// Empties the graph and its filter cache; S_OK, or the failure of EnumFilters.
HRESULT RemoveAllFilters(IGraphBuilder* graph);
// Stops a graph the way this platform's splitters survive. Stopped straight off, a splitter's
// stream thread can ask the parser for one more buffer that never comes (the parser waits to
// hand over another stream's buffer, whose thread has already ended) and the stop waits on it
// for ever. So a running graph is paused and settled first, its splitters are told to stop
// while their stream threads still wait in the renderers, and only then are the renderers
// stopped, so that every stream thread finds its splitter stopping and ends.
// A splitter that still has not stopped after StopGraphTimeoutMs is left stopping on a thread
// of its own: VFW_E_TIMEOUT then, and the graph must not be called again (every call that
// reaches that splitter, its release too, would wait for ever).
constexpr DWORD StopGraphTimeoutMs = 5000;
HRESULT StopGraph(IMediaControl* control);
// Moves a graph to an absolute position (100 ns units) and leaves it in the state it had.
// A running or paused graph is stopped for the seek: this platform's splitter wakes only one
// of its stream threads when a seek's flush ends, and a later stop waits for the other one
// for ever. A stopped graph only takes the position, and starts its threads afresh there.
// VFW_E_TIMEOUT, with nothing else done, when that stop does not end (see StopGraph).
HRESULT SeekGraph(IMediaControl* control, IMediaSeeking* seeking, LONGLONG position);
// The pin's first preferred media type; E_FAIL without a pin, VFW_E_NO_TYPES when it offers
// none (so a success always comes with a media type).
HRESULT GetPinMediaType(IPin* pin, TMediaTypePtr& mediaType);
HRESULT RemoveGraphFromRot(DWORD cookie);
// Adds the MPEG-1 stream splitter ("MPEG I Stream Splitter") and connects the pin to its input.
HRESULT AddMPEG1Splitter(IGraphBuilder* graph, IPin* sourcePin, ComPtr<IBaseFilter>& splitter);
// Adds the registered filters that take the pin's media type, one after another, until one
// connects directly: those registered for its exact subtype first, then, when none connects,
// those registered under any subtype (each filter tried once). The caller judges success by
// the splitter, which is connected or empty; a pin nothing takes leaves the graph unchanged.
HRESULT ConnectMatchingSplitter(IGraphBuilder* graph, IPin* sourcePin, ComPtr<IBaseFilter>& splitter);
// The same with a chosen search, never trying the filters of `skip` (keys as FilterKey gives).
HRESULT ConnectMatchingSplitter(IGraphBuilder* graph, IPin* sourcePin, ComPtr<IBaseFilter>& splitter, TSplitterSearch search,
                                const std::vector<std::string>& skip);
// The keys of the filters registered for a byte stream of that type only under a wildcard
// subtype, less `skip`, in the mapper's order.
HRESULT FindWildcardRegisteredSplitters(const AM_MEDIA_TYPE& streamType, const std::vector<std::string>& skip, std::vector<std::string>& keys);
// A filter's key in the splitter searches (its class id); empty without one.
std::string FilterKey(IBaseFilter* filter);
// S_OK when connected, the pin's own failure (VFW_E_NOT_CONNECTED) when not; E_POINTER without a pin.
HRESULT IsPinConnected(IPin* pin);
// Disconnects a pin and then its peer through the graph.
HRESULT DisconnectPair(IGraphBuilder* graph, IPin* pin);
