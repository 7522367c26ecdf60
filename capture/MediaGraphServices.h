#pragma once
#include <objbase.h>

// Creates the media graph service's objects (filter graph, capture graph builder, "WAV Dest",
// file writer, system device enumerator). Every graph object the recorder uses comes from
// here, so that tests can hand the dialog fake graphs, devices, pins and mixers.
class MediaGraphServices {
public:
    virtual ~MediaGraphServices() = default;
    virtual HRESULT CreateInstance(REFCLSID classId, REFIID interfaceId, void** object) = 0;
};
