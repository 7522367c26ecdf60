#pragma once
#include "capture/MediaGraphServices.h"

// The real media graph service: in-process COM servers of the system.
class DirectShowServices : public MediaGraphServices {
public:
    HRESULT CreateInstance(REFCLSID classId, REFIID interfaceId, void** object) override {
        return CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER,
                                interfaceId, object);
    }
};
