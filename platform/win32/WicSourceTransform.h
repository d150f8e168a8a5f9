// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
//
// IWICBitmapSourceTransform, which mingw-w64's wincodec.h (10.0) leaves out:
// a frame decoder that has it can scale and turn while it decodes. The
// methods are in the order of the interface's vtable.
#pragma once

#include <wincodec.h>

#ifndef __IWICBitmapSourceTransform_INTERFACE_DEFINED__
#define __IWICBitmapSourceTransform_INTERFACE_DEFINED__

// COM interfaces are released, never deleted: like every interface in the
// SDK headers, this one has no virtual destructor.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
// MIDL_INTERFACE(...) is plain "struct" in mingw-w64; __uuidof() comes from
// __CRT_UUID_DECL below.
struct IWICBitmapSourceTransform : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE CopyPixels(const WICRect *prc, UINT uiWidth, UINT uiHeight,
                                                 WICPixelFormatGUID *pguidDstFormat,
                                                 WICBitmapTransformOptions dstTransform,
                                                 UINT nStride, UINT cbBufferSize, BYTE *pbBuffer)
            = 0;
    virtual HRESULT STDMETHODCALLTYPE GetClosestSize(UINT *puiWidth, UINT *puiHeight) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetClosestPixelFormat(WICPixelFormatGUID *pguidDstFormat) = 0;
    virtual HRESULT STDMETHODCALLTYPE DoesSupportTransform(WICBitmapTransformOptions dstTransform,
                                                           BOOL *pfIsSupported)
            = 0;
};
#pragma GCC diagnostic pop
__CRT_UUID_DECL(IWICBitmapSourceTransform, 0x3b16811b, 0x6a43, 0x4ec9, 0xb7, 0x13, 0x3d, 0x5a, 0x0c,
                0x13, 0xb9, 0x40)

#endif
